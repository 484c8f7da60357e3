#!/usr/bin/env python3
"""Writes the inputs of the golden cases (ROMs, tables, scripts) into their
folders. The expected outputs are not written here: they come from a run of
vorkat-cli and are checked by hand before they are committed (see
docs/DEVELOPING.md). Run from anywhere: python3 tests/golden/make_cases.py"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(case, name, data):
    os.makedirs(os.path.join(HERE, case), exist_ok=True)
    if isinstance(data, str):
        data = data.replace("\n", "\r\n").encode("cp1251")
    with open(os.path.join(HERE, case, name), "wb") as f:
        f.write(data)


def two_text_game():
    """A ROM with two texts behind two GBA pointers, and its table."""
    rom = bytearray(0x100)
    rom[0x10:0x18] = bytes([0x40, 0x00, 0x00, 0x08, 0x50, 0x00, 0x00, 0x08])
    rom[0x40:0x47] = b"ABC AB\xff"
    rom[0x50:0x54] = b"CAB\xff"
    table = "TrTableType=SBCS\n/FF\n41=A\n42=B\n43=C\n20=<$SPACE>\nFF=<$END>\n"
    return bytes(rom), table


def pointer_dumps():
    # The pointer search writes its report; both dumps read the sorted
    # addresses, the second from the list kept after the first (no report named).
    rom, table = two_text_game()
    write("pointer_dumps", "game.gba", rom)
    write("pointer_dumps", "game.tbl", table)
    write("pointer_dumps", "script.txt",
          "LOADROM=game.gba\nLOADTABLE=game.tbl\nFINDPOINTERS=&h40,&h60,0,0,report.txt\n"
          "DUMPVIAPOINTERS=report.txt,sorted.txt,dump.txt\nDUMPVIAPOINTERS= ,sorted.txt , again.txt\n")


def ips_round_trip():
    # Three changed bytes found by the eco comparison without merging blocks,
    # written as an IPS patch and applied to a copy of the original (which
    # keeps a .bak of its old bytes); then a comparison with merging.
    original = bytes((i * 7) & 0xFF for i in range(0x2000))
    working = bytearray(original)
    for at in (0x100, 0x103, 0x1FFF):
        working[at] ^= 1
    case = "ips_round_trip"
    write(case, "orig.gba", original)
    write(case, "work.gba", bytes(working))
    write(case, "copy.gba", original)
    write(case, "script.txt",
          "LOADROM=work.gba\nLOADORIGINALROM=orig.gba\nECOMODE=1\nOPTIMIZECHANGESBLOCKS=0\nCOMPAREROMS\n"
          "SAVEIPS=fix\nLOADROM=copy.gba\nLOADIPS=fix.ips\nAPPLYIPSTOROM\nSAVEROM=copy.gba\n"
          "OPTIMIZECHANGESBLOCKS=1\nECOMODE=0\nLOADORIGINALROM=orig.gba\nLOADROM=work.gba\nCOMPAREROMS\n")


def missing_table_stops():
    # A table that is not there stops the script at its line; the exit status is 1.
    write("missing_table_stops", "script.txt", "LOADTABLE=absent.tbl\nDOLOG=after\n")


def error_line_goes_on():
    # A missing argument logs an error line and the script goes on; the exit status is still 1.
    write("error_line_goes_on", "script.txt", "SAVEIPS=\nDOLOG=after\n")


if __name__ == "__main__":
    pointer_dumps()
    ips_round_trip()
    missing_table_stops()
    error_line_goes_on()

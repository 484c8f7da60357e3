#!/usr/bin/env python3
"""Builds the offset-pointer example of Vorkat.

Writes a small GBA ROM (128 KiB) whose dialogue stands behind a table of
16-bit offsets from the start of its text bank (0x10000), and whose item
names are 8-byte fixed fields padded with 00, with no pointer at all. Also
writes its translation table, its settings (the dialogs files carry
PtrsAddrZones) and the two batch scripts; runs extract.txt through
vorkat-cli, which reads the declared table and dumps the texts its entries
address and the name fields; cuts every dumped dialogue after its end code
into dialogs_en.txt, the names after them; then writes dialogs_ru.txt, the
same dialogs translated into Russian. Run it from the
repository root:

    python3 examples/offsets/make_offsets.py build/vorkat-cli
"""
import os
import subprocess
import sys

EXAMPLE = "examples/offsets"
ROM_SIZE = 0x20000
BANK = 0x10000            # the dialogue's text bank: the table's offsets count from here
TABLE = 0x8000            # the dialogue table: one 16-bit little-endian offset per line
NAMES = 0x9000            # the item names: 8-byte fields
FIELD = 8
FREE = (0x1F000, 0x20000)  # free space, still within 0xFFFF of the bank's start

DIALOGUE = [
    ("Welcome, traveller.", "Добро пожаловать, путник."),
    ("The road north is closed.", "Дорога на север закрыта."),
    ("Buy something or leave!", "Купи или уходи!"),
    ("My brother went into the cave and never came back.", "Мой брат ушел в пещеру и так и не вернулся."),
    ("Take this sword.", "Возьми этот меч, он тебе пригодится."),
    ("The bridge is out.", "Мост разрушен, придется искать брод."),
]
# The last line of the table leads to the same text as the first.
POINTS_TO = [0, 1, 2, 3, 4, 5, 0]
ITEMS = [
    ("Sword", "Меч"),
    ("Shield", "Щит"),
    ("Bow", "Лук"),
    ("Potion", "Зелье"),
    ("Key", "Ключ"),
    ("Ring", "Кольцо"),
]

CYRILLIC = "".join(chr(c) for c in range(0x410, 0x450))  # А..Я, а..я
UPPER = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
LOWER = UPPER.lower()
PUNCTUATION = " !?.,'-:"
END_CODE = 0x00


def table():
    codes = {ch: 0x40 + i for i, ch in enumerate(CYRILLIC)}
    codes.update({ch: 0x80 + i for i, ch in enumerate(UPPER)})
    codes.update({ch: 0xA0 + i for i, ch in enumerate(LOWER)})
    codes.update({ch: 0xD0 + i for i, ch in enumerate(PUNCTUATION)})
    assert END_CODE not in codes.values()
    return codes


def table_text(codes):
    lines = ["TrTableType=SBCS", "/00",
             "Vorkat offsets example: Russian 40-7F, Latin 80-B9, punctuation D0-D7; 00 ends a text and pads a field"]
    for ch, code in sorted(codes.items(), key=lambda item: item[1]):
        lines.append("%02X=%s" % (code, "<$SPACE>" if ch == " " else ch))
    lines.append("00=<$END>")
    return "\r\n".join(lines) + "\r\n"


def encode(text, codes):
    return bytes(codes[ch] for ch in text) + bytes([END_CODE])


def filler(length, seed):
    """Stand-in code and graphics: pseudo-random bytes."""
    out = bytearray(length)
    x = seed
    for i in range(length):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        out[i] = (x >> 16) & 0xFF
    return out


def header(rom):
    rom[0:4] = bytes([0x2E, 0x00, 0x00, 0xEA])  # b 0xC0
    rom[0xA0:0xAC] = b"VORKAT OFFS "
    rom[0xAC:0xB0] = b"AVOE"
    rom[0xB0:0xB2] = b"01"
    rom[0xB2] = 0x96
    rom[0xB3:0xBD] = bytes(10)
    rom[0xBD] = (-sum(rom[0xA0:0xBD]) - 0x19) & 0xFF
    rom[0xBE:0xC0] = bytes(2)


def build_rom(codes):
    rom = bytearray(filler(ROM_SIZE, 7))
    rom[0:0xC0] = bytes(0xC0)
    header(rom)
    rom[FREE[0]:FREE[1]] = b"\xFF" * (FREE[1] - FREE[0])
    texts = []
    at = BANK
    for english, _ in DIALOGUE:
        e = encode(english, codes)
        rom[at:at + len(e)] = e
        texts.append(at)
        at += len(e)
    rom[at] = 0xFF  # the last text's block ends here: what follows is no text
    offsets = [texts[i] for i in POINTS_TO]
    rom[TABLE:TABLE + 2 * len(offsets)] = b"".join((o - BANK).to_bytes(2, "little") for o in offsets)
    for k, (english, _) in enumerate(ITEMS):
        field = encode(english, codes).ljust(FIELD, b"\0")
        assert len(field) == FIELD
        rom[NAMES + FIELD * k:NAMES + FIELD * (k + 1)] = field
    assert len(rom) == ROM_SIZE
    return bytes(rom), offsets


def write(name, data):
    with open(os.path.join(EXAMPLE, name), "wb") as f:
        f.write(data)


def crlf(text):
    return text.replace("\n", "\r\n")


SETTINGS = ("TrDialogFileFormat=dlgID,ExtractedFromAddr,OldDlgSize,NewDlgSize,DoPointerChange,NewDlgAddr,"
            "OldPtrHEX,NewPtrHEX,PtrsAddrListFile,PtrsAddrZones,dlgComments,dlgText 'the dialogs carry PtrsAddrZones\r\n")

EXTRACT_SCRIPT = """' Vorkat offsets example, step 1 (already done; its results are in this folder):
' read the dialogue's table of offsets and dump its texts, and dump the item names.
' Run from the repository root:
'   vorkat-cli --settings examples/offsets/vorkat2.ini examples/offsets/extract.txt
LOADROM=examples/offsets/quest.gba
LOADTABLE=examples/offsets/quest.tbl
' The table holds 16-bit offsets from the text bank's start at 10000: a
' 2-byte value turns up all over a ROM, so the table is declared, not searched.
POINTERFORMAT=OFFSET,2,&h10000
POINTERTABLE=&h%X,%d,2,examples/offsets/dialogue_table.txt
DUMPVIAPOINTERS=examples/offsets/dialogue_table.txt,examples/offsets/dialogue_sorted.txt,examples/offsets/out/dump_dialogue.txt
' The item names are 8-byte fields with no pointer: one block of 8 bytes per field.
DUMPBYADDRESSLIST=examples/offsets/names_list.txt,examples/offsets/out/dump_names.txt,8
POINTERFORMAT=GBA
"""

TRANSLATE_SCRIPT = """' Vorkat offsets example, step 2: put the Russian translation into the ROM.
' Run from the repository root:
'   vorkat-cli --settings examples/offsets/vorkat2.ini examples/offsets/translate.txt
' The results go to examples/offsets/out/.
DOLOG=Пример Vorkat: таблица смещений и имена в полях постоянной длины
LOADROM=examples/offsets/quest.gba
LOADTABLE=examples/offsets/quest.tbl
ADDRESSALIGNBY=0
POINTERFORMAT=OFFSET,2,&h10000
' A translation no longer than its original goes back in its place, padded
' with 00; a longer one goes to free space and its table entries follow it.
' The names are fixed fields (DoPointerChange N): they must fit.
INPLACE=1
PADBYTE=00
LOADDIALOGS=examples/offsets/dialogs_ru.txt
FREESPACESTARTADDR=&h%X
FREESPACEENDADDR=&h%X
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/offsets/out/verify.txt
FREESPACEREPORT=examples/offsets/out/free_space.txt
SAVEDIALOGS=examples/offsets/out/dialogs_placed.txt
SAVEROM=examples/offsets/out/quest_ru.gba
LOADORIGINALROM=examples/offsets/quest.gba
COMPAREROMS
SAVEIPS=examples/offsets/out/quest_ru.ips
' Back to the default format and the untouched game, so that the folder's
' settings file stays as it was.
POINTERFORMAT=GBA
LOADROM=examples/offsets/quest.gba
SAVELOG=examples/offsets/out/translate.log
"""


def pieces(dump):
    for piece in dump.split("\r\n§\r\n"):
        if piece:
            yield piece.split("\r\n¶\r\n", 1)


def cut_at_end(dump):
    """The dumped dialogs with every text cut after its first end code, as a translator would."""
    return "".join(a + "\r\n¶\r\n" + t[:t.index("<$END>") + len("<$END>")] + "\r\n§\r\n" for a, t in pieces(dump))


def translate(dialogs_en, pairs, fixed):
    """Every text replaced by its translation, the original in the comment; fixed fields get DoPointerChange N."""
    by_text = {english + "<$END>": russian + "<$END>" for english, russian in pairs}
    out = []
    for attributes, text in pieces(dialogs_en):
        values = attributes.split(",")
        values += [""] * (11 - len(values))
        if fixed:
            values[4] = "N"
        values[10] = "Оригинал: " + text[:-len("<$END>")]
        out.append(",".join(values) + "\r\n¶\r\n" + by_text[text] + "\r\n§\r\n")
    assert len(out) == len(pairs), "every text was dumped once"
    return "".join(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    codes = table()
    rom, offsets = build_rom(codes)
    write("quest.tbl", table_text(codes).encode("cp1251"))
    write("quest.gba", rom)
    write("names_list.txt", "".join("&h%X\r\n" % (NAMES + FIELD * k) for k in range(len(ITEMS))).encode("cp1251"))
    write("extract.txt", crlf(EXTRACT_SCRIPT % (TABLE, len(offsets))).encode("cp1251"))
    write("translate.txt", crlf(TRANSLATE_SCRIPT % FREE).encode("cp1251"))
    write("vorkat2.ini", SETTINGS.encode("cp1251"))
    os.makedirs(os.path.join(EXAMPLE, "out"), exist_ok=True)
    for name in ("dialogue_table.txt", "dialogue_sorted.txt", "out/dump_dialogue.txt", "out/dump_names.txt"):
        path = os.path.join(EXAMPLE, name)
        if os.path.exists(path):
            os.remove(path)
    subprocess.run([cli, "--settings", EXAMPLE + "/vorkat2.ini", EXAMPLE + "/extract.txt"], check=True)
    for suffix in ("dialogue_table.txt.bak", "dialogue_sorted.txt.bak"):
        path = os.path.join(EXAMPLE, suffix)
        if os.path.exists(path):
            os.remove(path)
    with open(os.path.join(EXAMPLE, "out/dump_dialogue.txt"), "rb") as f:
        dialogue = cut_at_end(f.read().decode("cp1251"))
    with open(os.path.join(EXAMPLE, "out/dump_names.txt"), "rb") as f:
        names = cut_at_end(f.read().decode("cp1251"))
    write("dialogs_en.txt", (dialogue + names).encode("cp1251"))
    write("dialogs_ru.txt", (translate(dialogue, DIALOGUE, False) + translate(names, ITEMS, True)).encode("cp1251"))


if __name__ == "__main__":
    main()

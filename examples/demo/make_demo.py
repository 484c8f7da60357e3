#!/usr/bin/env python3
"""Builds the bundled demo of Vorkat.

Writes a small Game Boy Advance ROM whose eight texts stand behind a table of
GBA pointers and whose font lies in GBA 4 bpp tiles (Latin letters, and empty
cells for the Russian ones), the translation table for it and the batch
scripts; runs extract.txt through vorkat-cli, which finds the pointers and dumps the texts
into dialogs_en.txt; then writes dialogs_ru.txt, the same dialogs translated
into Russian, and team/: the translation exported for translation tools (PO,
XLIFF, CSV) and the script that imports the PO and inserts it; then the
font: font_ru.png, the font's tiles exported as a sheet with the Russian
letters drawn in, and demo.fdt, the FDT font.txt builds from that sheet.
The glyphs are GNU Unifont's (Debian package unifont). Run it from the
repository root:

    python3 examples/demo/make_demo.py build/vorkat-cli
"""
import os
import shutil
import subprocess
import sys
import tempfile

DEMO = "examples/demo"
ROM_SIZE = 0x10000
POINTER_TABLE = 0x100
MENU_POINTER = 0x180      # a second pointer to the save question
FREE_START, FREE_END = 0x4000, 0xC000
DATA_START = 0xC000       # graphics before the texts, which end the ROM: first the font

# The font: glyphs of 8x16 pixels for the codes 20..BF, cell n for code 20+n,
# in GBA 4 bpp tiles laid out as a picture 16 glyphs wide: a row of glyphs is
# a row of their upper tiles, then a row of their lower tiles.
FONT_OFFSET = DATA_START
FONT_FIRST_CODE = 0x20
FONT_GLYPHS = 0xC0 - FONT_FIRST_CODE
GLYPHS_PER_ROW = 16
FONT_TILES = 2 * FONT_GLYPHS
FONT_END = FONT_OFFSET + 32 * FONT_TILES
INK = 0xF                 # the darkest grey of the sheet's ramp; 0 is the white background
UNIFONT = "/usr/share/unifont/unifont.hex"

TEXTS = [
    ("Welcome to Vorkat Village!", "Добро пожаловать в деревню Воркат!"),
    ("The old lighthouse keeper is waiting for you.", "Старый смотритель маяка ждет тебя у причала."),
    ("Take this lamp. The caves are dark.", "Возьми эту лампу. В пещерах очень темно."),
    ("Did you hear that? Something moved.", "Ты слышал? Там что-то шевельнулось."),
    ("Our boat leaves at dawn. Don't be late!", "Наша лодка отходит на рассвете. Не опаздывай!"),
    ("Save your progress?", "Сохранить игру?"),
    ("Yes", "Да"),
    ("No", "Нет"),
]
SAVE_QUESTION = 5

PUNCTUATION = " !',-.:?"
LATIN = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
CYRILLIC = "".join(chr(c) for c in range(0x410, 0x450))  # А..Я, а..я
END_CODE = 0xFF
LINE_BREAK, LINE_BREAK_CODE = "\\", 0xFE
NEW_PAGE, NEW_PAGE_CODE = "^", 0xFD


# The program runs with settings of its own, so a pointer format or other
# option left in the user's settings never changes the files written here.
SETTINGS = tempfile.TemporaryDirectory()


def run_cli(cli, script, **kwargs):
    subprocess.run([cli, "--settings", os.path.join(SETTINGS.name, "vorkat2.ini"), script], check=True, **kwargs)


def table():
    """Code of every character: ASCII for Latin and punctuation, 0x80.. for Cyrillic."""
    codes = {ch: ord(ch) for ch in PUNCTUATION + LATIN}
    codes.update({ch: 0x80 + i for i, ch in enumerate(CYRILLIC)})
    return codes


def table_text(codes):
    lines = ["TrTableType=SBCS", "/FF",
             "Vorkat demo table: Latin, Russian letters, punctuation; FD a new page, FE a line break, FF ends a text"]
    for ch, code in sorted(codes.items(), key=lambda item: item[1]):
        lines.append("%02X=%s" % (code, "<$SPACE>" if ch == " " else ch))
    lines.append("%02X=%s" % (NEW_PAGE_CODE, NEW_PAGE))
    lines.append("%02X=%s" % (LINE_BREAK_CODE, LINE_BREAK))
    lines.append("FF=<$END>")
    return "\r\n".join(lines) + "\r\n"


def encode(text, codes):
    return bytes(codes[ch] for ch in text) + bytes([END_CODE])


def pseudo_random(length, seed):
    """Filler bytes that never hold 0x08, so that no filler reads as a GBA pointer."""
    out = bytearray(length)
    x = seed
    for i in range(length):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        b = (x >> 16) & 0xFF
        out[i] = 0x09 if b == 0x08 else b
    return out


def pointer(offset):
    return bytes([offset & 0xFF, (offset >> 8) & 0xFF, (offset >> 16) & 0xFF, 0x08])


def unifont_glyphs(characters):
    """Rows of 8 pixels (bit 7 leftmost) of each character, from GNU Unifont's 8x16 glyphs."""
    wanted = {"%04X" % ord(ch): ch for ch in characters}
    glyphs = {}
    with open(UNIFONT, encoding="ascii") as f:
        for line in f:
            code, bits = line.strip().split(":")
            if code in wanted and len(bits) == 32:
                glyphs[wanted[code]] = bytes.fromhex(bits)
    missing = [ch for ch in characters if ch not in glyphs]
    assert not missing, "Unifont has no 8x16 glyph for %r" % missing
    return glyphs


def font_tiles(glyph_of_code):
    """The font's tiles: each code's glyph (rows of bits), or an empty cell."""
    tiles = bytearray(32 * FONT_TILES)
    for cell in range(FONT_GLYPHS):
        rows = glyph_of_code.get(FONT_FIRST_CODE + cell)
        if rows is None:
            continue
        glyph_row, column = divmod(cell, GLYPHS_PER_ROW)
        for half in range(2):
            tile = (2 * glyph_row + half) * GLYPHS_PER_ROW + column
            for y in range(8):
                bits = rows[8 * half + y]
                for x in range(0, 8, 2):  # low nibble first: the left pixel of a pair
                    left = INK if bits & (0x80 >> x) else 0
                    right = INK if bits & (0x40 >> x) else 0
                    tiles[32 * tile + 4 * y + x // 2] = left | right << 4
    return bytes(tiles)


def build_rom(codes, font):
    rom = bytearray(ROM_SIZE)
    rom[0:4] = bytes([0x2E, 0x00, 0x00, 0xEA])  # ARM branch over the header
    rom[0xA0:0xB2] = b"VORKAT DEMO VDEM01"
    rom[0x200:FREE_START] = pseudo_random(FREE_START - 0x200, 1)
    rom[FREE_START:FREE_END] = b"\xFF" * (FREE_END - FREE_START)
    encoded = [encode(english, codes) for english, _ in TEXTS]
    start = ROM_SIZE - sum(len(e) for e in encoded)
    # Ink 0F on 00 gives the bytes 00, 0F, F0 and FF: no 08, so nothing in the
    # font reads as a GBA pointer to the pointer search.
    assert 0x08 not in font
    rom[FONT_OFFSET:FONT_END] = font
    rom[FONT_END:start] = pseudo_random(start - FONT_END, 2)
    offsets = []
    for e in encoded:
        offsets.append(start)
        rom[start:start + len(e)] = e
        start += len(e)
    for i, offset in enumerate(offsets):
        rom[POINTER_TABLE + 4 * i:POINTER_TABLE + 4 * i + 4] = pointer(offset)
    rom[MENU_POINTER:MENU_POINTER + 4] = pointer(offsets[SAVE_QUESTION])
    assert len(rom) == ROM_SIZE
    return bytes(rom)


def write(name, data):
    with open(os.path.join(DEMO, name), "wb") as f:
        f.write(data)


EXTRACT_SCRIPT = """' Vorkat demo, step 1 (already done; its results are in this folder):
' find the GBA pointers into the text area and dump the texts they address.
' Run from the repository root:  vorkat-cli examples/demo/extract.txt
LOADROM=examples/demo/demo.gba
LOADTABLE=examples/demo/demo.tbl
FINDPOINTERS=&hC000,0,0,0,examples/demo/pointers.txt
DUMPVIAPOINTERS=examples/demo/pointers.txt,examples/demo/pointers_sorted.txt,examples/demo/dialogs_en.txt
"""

TRANSLATE_SCRIPT = """' Vorkat demo, step 2: put the Russian translation into the ROM and publish it as an IPS patch.
' Run from the repository root:  vorkat-cli examples/demo/translate.txt
' The results go to examples/demo/out/.
DOLOG=Демо Vorkat: вставляем перевод в demo.gba
LOADROM=examples/demo/demo.gba
LOADTABLE=examples/demo/demo.tbl
LOADDIALOGS=examples/demo/dialogs_ru.txt
' The translation is longer than the original, so it goes into the free space
' (bytes FF) from 4000 to BFFF, every dialog at an address divisible by 4.
FREESPACESTARTADDR=&h4000
FREESPACEENDADDR=&hC000
ADDRESSALIGNBY=4
' This game keeps its pointers at offsets divisible by 4.
CHECKBYMOD4=1
CALCNEWPOINTERS
RETURNDIALGS2ROM
' Check the insertion (texts, rewritten pointers, old pointers left behind)
' and write how the free space was used.
VERIFYINSERTION=examples/demo/out/verify.txt
FREESPACEREPORT=examples/demo/out/free_space.txt
SAVEDIALOGS=examples/demo/out/dialogs_ru_placed.txt
SAVEROM=examples/demo/out/demo_ru.gba
' Publish: compare with the untouched original and write the patch.
LOADORIGINALROM=examples/demo/demo.gba
COMPAREROMS
SAVEIPS=examples/demo/out/demo_ru.ips
SAVELOG=examples/demo/out/translate.log
"""

MISTAKES_SCRIPT = """' Vorkat demo: the mistakes the verification of an insertion catches, made one
' after another on the demo (nothing is saved over its files).
' Run from the repository root:  vorkat-cli examples/demo/mistakes.txt
' Each VERIFYINSERTION writes a report with its problems in examples/demo/out/;
' the run ends with exit status 1.
LOADTABLE=examples/demo/demo.tbl
FREESPACEENDADDR=&hC000
ADDRESSALIGNBY=4
CHECKBYMOD4=1
'
' 1. A pointer format left from another game: no pointer is rewritten, so
'    nothing in the game leads to the texts ("нет указателя").
POINTERFORMAT=GB24
LOADROM=examples/demo/demo.gba
LOADDIALOGS=examples/demo/dialogs_ru.txt
FREESPACESTARTADDR=&h4000
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/mistake_format.txt
POINTERFORMAT=GBA
'
' 2. A dialog whose ExtractedFromAddr is off by one (FF2D instead of FF2C):
'    its old pointer is found nowhere ("нет указателя"); and a line break "|"
'    of another game's table, which this one does not have, skipped on the way
'    in ("потерянные символы").
EXTENDEDLOGS=1
SKIPUNKNOWNTRCHARS=1
LOADROM=examples/demo/demo.gba
LOADDIALOGS=examples/demo/mistakes_dialogs.txt
FREESPACESTARTADDR=&h4000
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/mistake_dialogs.txt
'
' 3. Free space declared from 0: the texts cover the ROM's header
'    ("затертые байты"). The placed dialogs are saved and loaded again for a run
'    with the right start, but they keep their addresses at 0: the calculation
'    says so in dark red and the verification finds them outside the free
'    space ("вне 'пустого' места").
LOADROM=examples/demo/demo.gba
LOADDIALOGS=examples/demo/dialogs_ru.txt
FREESPACESTARTADDR=0
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/mistake_header.txt
SAVEDIALOGS=examples/demo/out/mistakes_placed.txt
LOADROM=examples/demo/demo.gba
LOADDIALOGS=examples/demo/out/mistakes_placed.txt
FREESPACESTARTADDR=&h4000
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/mistake_kept.txt
'
' 4. An address typed as no number is refused, and the script stops here.
FREESPACESTARTADDR=$4000
DOLOG=not reached
"""


def mistakes(dialogs_ru):
    """dialogs_ru.txt with the first dialog's address off by one and a line break the table lacks."""
    off_by_one = dialogs_ru.replace("65324,FF2C,", "65324,FF2D,", 1)
    assert off_by_one != dialogs_ru
    unknown_break = off_by_one.replace("пожаловать ", "пожаловать|", 1)
    assert unknown_break != off_by_one
    return unknown_break

TEAM_EXPORT_SCRIPT = """' Vorkat demo, team work (already done; its results are in this folder):
' the translation with the English original beside it, for translation tools
' and platforms (PO, XLIFF) and spreadsheets (CSV).
' Run from the repository root:  vorkat-cli examples/demo/team/export.txt
LOADDIALOGS=examples/demo/dialogs_ru.txt
EXPORTPO=examples/demo/team/demo_ru.po,examples/demo/dialogs_en.txt
EXPORTXLIFF=examples/demo/team/demo_ru.xlf,examples/demo/dialogs_en.txt
EXPORTCSV=examples/demo/team/demo_ru.csv,examples/demo/dialogs_en.txt
"""

TEAM_TRANSLATE_SCRIPT = """' Vorkat demo, team work: take the Russian translation back from the PO file
' the team worked on, check its codes, and put it into the ROM.
' Run from the repository root:  vorkat-cli examples/demo/team/translate_po.txt
' The results go to examples/demo/out/.
LOADROM=examples/demo/demo.gba
LOADTABLE=examples/demo/demo.tbl
LOADDIALOGS=examples/demo/dialogs_en.txt
IMPORTPO=examples/demo/team/demo_ru.po
FREESPACESTARTADDR=&h4000
FREESPACEENDADDR=&hC000
ADDRESSALIGNBY=4
CHECKBYMOD4=1
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/team_verify.txt
SAVEDIALOGS=examples/demo/out/team_dialogs_ru.txt
SAVEROM=examples/demo/out/team_demo_ru.gba
LOADORIGINALROM=examples/demo/demo.gba
COMPAREROMS
SAVEIPS=examples/demo/out/team_demo_ru.ips
"""


FONT_SCRIPT = """' Vorkat demo, the game's font: the Russian letters into the ROM's font, the
' FDT for the preview, and the translation wrapped by the width of the glyphs.
' Run from the repository root:  vorkat-cli examples/demo/font.txt
' The results go to examples/demo/out/.
LOADROM=examples/demo/demo.gba
LOADTABLE=examples/demo/demo.tbl
' 1. The font: 160 glyphs of 8x16 pixels at C000 in GBA 4 bpp tiles, 16 glyphs
'    a row (a row of their upper tiles, then a row of their lower tiles), so
'    that 16 tiles a row show it as a sheet. The cell of code 20+n is glyph n;
'    the cells of the Russian letters, codes 80 to BF, are empty.
TILESEXPORT=&hC000,320,GBA4,16,examples/demo/out/font.png
' 2. font_ru.png is that sheet with the Russian letters drawn into the empty
'    cells (in any picture editor); it goes back into the tiles.
TILESIMPORT=examples/demo/font_ru.png,&hC000,GBA4,16
' 3. The game's text box: right border at 232, line break "\\", new page "^"
'    every 2 lines, printing from 8,8, 1 pixel between letters.
WRAPSETTINGS=232,\\,^,2,8,8,1
' 4. The FDT of the sheet: cell n is the table's code 20+n, widths measured
'    from the pixels; "\\" and "^" become its line-break and new-page codes.
MAKEFDT=examples/demo/font_ru.png,8,16,&h20,examples/demo/out/demo.fdt
LOADFDT=examples/demo/out/demo.fdt
' 5. Every dialog wrapped by pixel width, and checked: the report lists the
'    lines that still pass the border.
LOADDIALOGS=examples/demo/dialogs_ru.txt
WRAPDIALOGS
CHECKWRAP=examples/demo/out/font_check.txt
' 6. Insert, verify, save and write the patch, as translate.txt does.
FREESPACESTARTADDR=&h4000
FREESPACEENDADDR=&hC000
ADDRESSALIGNBY=4
CHECKBYMOD4=1
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/demo/out/font_verify.txt
SAVEDIALOGS=examples/demo/out/dialogs_ru_wrapped.txt
SAVEROM=examples/demo/out/demo_ru_font.gba
LOADORIGINALROM=examples/demo/demo.gba
COMPAREROMS
SAVEIPS=examples/demo/out/demo_ru_font.ips
"""


def font_sheet(cli, codes, glyphs):
    """font_ru.png: the sheet TILESEXPORT makes of the font with the Russian letters drawn in."""
    full = font_tiles({code: glyphs[ch] for ch, code in codes.items()})
    with tempfile.TemporaryDirectory() as work:
        rom = bytearray(ROM_SIZE)
        rom[FONT_OFFSET:FONT_END] = full
        with open(os.path.join(work, "font.gba"), "wb") as f:
            f.write(rom)
        with open(os.path.join(work, "sheet.txt"), "wb") as f:
            f.write(crlf("LOADROM=font.gba\nTILESEXPORT=&h%X,%d,GBA4,%d,font_ru.png\n"
                         % (FONT_OFFSET, FONT_TILES, GLYPHS_PER_ROW)).encode("cp1251"))
        run_cli(cli, "sheet.txt", cwd=work, stdout=subprocess.DEVNULL)
        shutil.copyfile(os.path.join(work, "font_ru.png"), os.path.join(DEMO, "font_ru.png"))


def crlf(text):
    return text.replace("\n", "\r\n")


def translate(dialogs_en):
    """dialogs_en.txt with every text replaced by its translation; the original goes to the comment."""
    by_text = {english + "<$END>": russian + "<$END>" for english, russian in TEXTS}
    pieces = dialogs_en.split("\r\n§\r\n")
    out = []
    for piece in pieces:
        if not piece:
            continue
        attributes, text = piece.split("\r\n¶\r\n", 1)
        dlg_id, address = attributes.split(",")[:2]
        comment = "Оригинал: " + text[:-len("<$END>")]
        values = [dlg_id, address, "", "", "", "", "", "", "", comment]
        out.append(",".join(values) + "\r\n¶\r\n" + by_text[text] + "\r\n§\r\n")
    assert len(out) == len(TEXTS), "every text was dumped once"
    return "".join(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    codes = table()
    glyphs = unifont_glyphs(PUNCTUATION + LATIN + CYRILLIC)
    ascii_font = font_tiles({code: glyphs[ch] for ch, code in codes.items() if code < 0x80})
    write("demo.tbl", table_text(codes).encode("cp1251"))
    write("demo.gba", build_rom(codes, ascii_font))
    write("extract.txt", crlf(EXTRACT_SCRIPT).encode("cp1251"))
    write("translate.txt", crlf(TRANSLATE_SCRIPT).encode("cp1251"))
    run_cli(cli, os.path.join(DEMO, "extract.txt"))
    with open(os.path.join(DEMO, "dialogs_en.txt"), "rb") as f:
        dialogs_en = f.read().decode("cp1251")
    write("dialogs_ru.txt", translate(dialogs_en).encode("cp1251"))
    write("mistakes.txt", crlf(MISTAKES_SCRIPT).encode("cp1251"))
    write("mistakes_dialogs.txt", mistakes(translate(dialogs_en)).encode("cp1251"))
    os.makedirs(os.path.join(DEMO, "team"), exist_ok=True)
    write("team/export.txt", crlf(TEAM_EXPORT_SCRIPT).encode("cp1251"))
    write("team/translate_po.txt", crlf(TEAM_TRANSLATE_SCRIPT).encode("cp1251"))
    run_cli(cli, os.path.join(DEMO, "team", "export.txt"))
    font_sheet(cli, codes, glyphs)
    write("font.txt", crlf(FONT_SCRIPT).encode("cp1251"))
    run_cli(cli, os.path.join(DEMO, "font.txt"))
    shutil.copyfile(os.path.join(DEMO, "out", "demo.fdt"), os.path.join(DEMO, "demo.fdt"))


if __name__ == "__main__":
    main()

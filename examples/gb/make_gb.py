#!/usr/bin/env python3
"""Builds the Game Boy example of Vorkat.

Writes a small Game Boy Color ROM (64 KiB, MBC1, four banks of 16 KiB) whose
texts stand behind three pointer tables, one of each Game Boy form: GB16 (the
2-byte CPU address, texts and table in bank 1), GB24 (bank byte, low, high;
table in bank 0, texts in bank 2) and GB24R (low, high, bank byte; table and
texts in bank 3). Also writes its translation table and the two batch
scripts; runs extract.txt through vorkat-cli, which finds each table's
pointers and dumps the texts they address (each up to the next pointer's
target); cuts every dumped text after its end code into
dialogs_<form>_en.txt; then writes dialogs_<form>_ru.txt, the same dialogs translated into Russian. Run
it from the repository root:

    python3 examples/gb/make_gb.py build/vorkat-cli
"""
import os
import subprocess
import sys
import tempfile

EXAMPLE = "examples/gb"
BANK = 0x4000
ROM_SIZE = 4 * BANK

# Where everything stands. The texts of each table lie in CPU addresses no
# other table's texts share ($4040.., $5800.., $5000.. in bank 3), so that no
# old pointer of one form can be taken for one of another.
GB16_TABLE, GB16_TEXTS = 0x4000, 0x4040          # bank 1
GB16_FREE = (0x7C00, 0x8000)                      # the end of bank 1
GB24_TABLE, GB24_TEXTS = 0x3000, 0x9800           # table in bank 0, texts in bank 2
GB24R_TABLE, GB24R_TEXTS = 0xD000, 0xD040         # bank 3
FREE = (0xBF80, 0xC400)                           # the end of bank 2 and the start of bank 3
TEXT_AREA = 0x400                                 # each table's texts fit in this many bytes

GB16_DIALOGS = [
    ("Welcome to Lumen Isle!", "Добро пожаловать на остров Люмен!"),
    ("The ferry only runs on Sundays.", "Паром ходит к нам только по воскресеньям."),
    ("Grandpa is asleep. Come back later.", "Дедушка спит. Приходи попозже, ладно?"),
    ("Have you seen my cat? She is orange.", "Ты не видел мою кошку? Она рыжая, как морковка."),
    ("The lighthouse is closed tonight.", "Сегодня ночью маяк закрыт для гостей."),
    ("Thank you! Take this key.", "Спасибо тебе! Вот, возьми этот ключ."),
]
GB24_DIALOGS = [
    ("Potion", "Целебное зелье"),
    ("Restores 20 HP.", "Восстанавливает 20 единиц здоровья."),
    ("Rope", "Прочная веревка"),
    ("Useful for climbing down wells.", "Пригодится, чтобы спуститься в колодец."),
    ("Old Key", "Старый ржавый ключ"),
    ("It opens a door somewhere.", "Он открывает какую-то дверь на острове."),
]
GB24R_DIALOGS = [
    ("Save", "Сохранить"),
    ("Load", "Загрузить"),
    ("Options", "Настройки"),
    ("Quit", "Выйти из игры"),
    ("Are you sure?", "Ты уверен в этом?"),
]
# The menu's fifth entry leads to the same text as the fourth: one text, two pointers.
GB24R_POINTS_TO = [0, 1, 2, 3, 3, 4]

# The game's own encoding keeps every letter out of 40..7F, where the high
# byte of a pointer into $4000-$7FFF lies, so no text reads as a pointer.
CYRILLIC = "".join(chr(c) for c in range(0x410, 0x450))  # А..Я, а..я
UPPER = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
LOWER = UPPER.lower()
DIGITS = "0123456789"
PUNCTUATION = " !?.,'-:"
END_CODE = 0xFF


# The program runs with settings of its own, so a pointer format or other
# option left in the user's settings never changes the files written here.
SETTINGS = tempfile.TemporaryDirectory()


def run_cli(cli, script, **kwargs):
    subprocess.run([cli, "--settings", os.path.join(SETTINGS.name, "vorkat2.ini"), script], check=True, **kwargs)


def table():
    codes = {ch: i for i, ch in enumerate(CYRILLIC)}
    codes.update({ch: 0x80 + i for i, ch in enumerate(UPPER)})
    codes.update({ch: 0xA0 + i for i, ch in enumerate(LOWER)})
    codes.update({ch: 0xC0 + i for i, ch in enumerate(DIGITS)})
    codes.update({ch: 0xD0 + i for i, ch in enumerate(PUNCTUATION)})
    assert not any(0x40 <= c < 0x80 or c == END_CODE for c in codes.values())
    return codes


def table_text(codes):
    lines = ["TrTableType=SBCS", "/FF", "Vorkat Game Boy example: Russian 00-3F, Latin 80-B9, digits C0-C9, punctuation D0-D7; FF ends a text"]
    for ch, code in sorted(codes.items(), key=lambda item: item[1]):
        lines.append("%02X=%s" % (code, "<$SPACE>" if ch == " " else ch))
    lines.append("FF=<$END>")
    return "\r\n".join(lines) + "\r\n"


def encode(text, codes):
    return bytes(codes[ch] for ch in text) + bytes([END_CODE])


def filler(length, seed):
    """Stand-in code and graphics: pseudo-random bytes outside 40..7F."""
    out = bytearray(length)
    x = seed
    for i in range(length):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        b = (x >> 16) & 0xFF
        out[i] = b ^ 0x80 if 0x40 <= b < 0x80 else b
    return out


def cpu_address(offset):
    return offset if offset < BANK else BANK + offset % BANK


def gb16(offset):
    a = cpu_address(offset)
    return bytes([a & 0xFF, a >> 8])


def gb24(offset):
    a = cpu_address(offset)
    return bytes([offset // BANK, a & 0xFF, a >> 8])


def gb24r(offset):
    a = cpu_address(offset)
    return bytes([a & 0xFF, a >> 8, offset // BANK])


def put_texts(rom, start, dialogs, codes):
    offsets = []
    at = start
    for english, _ in dialogs:
        e = encode(english, codes)
        rom[at:at + len(e)] = e
        offsets.append(at)
        at += len(e)
    assert at <= start + TEXT_AREA
    return offsets


def header(rom):
    rom[0x100:0x104] = bytes([0x00, 0xC3, 0x50, 0x01])  # nop; jp $0150
    # 0x104-0x133 is the boot logo; this image is never run on hardware, so it is left blank.
    rom[0x104:0x134] = bytes(0x30)
    rom[0x134:0x143] = b"VORKAT EXAMPLE".ljust(15, b"\0")
    rom[0x143] = 0x80   # works on both Game Boy and Game Boy Color
    rom[0x144:0x146] = b"00"  # new licensee code
    rom[0x146] = 0x00   # no Super Game Boy functions
    rom[0x147] = 0x01   # MBC1
    rom[0x148] = 0x01   # 64 KiB: 32 KiB << 1
    rom[0x149] = 0x00   # no cartridge RAM
    rom[0x14A] = 0x01   # not for Japan
    rom[0x14B] = 0x33   # see the new licensee code
    rom[0x14C] = 0x00   # version
    x = 0
    for b in rom[0x134:0x14D]:
        x = (x - b - 1) & 0xFF
    rom[0x14D] = x
    rom[0x14E:0x150] = b"\0\0"
    total = sum(rom) & 0xFFFF
    rom[0x14E:0x150] = bytes([total >> 8, total & 0xFF])


def build_rom(codes):
    rom = bytearray(ROM_SIZE)
    # Interrupt and restart vectors: each a ret, the rest unused.
    rom[0:0x100] = b"\xFF" * 0x100
    for v in range(0, 0x68, 8):
        rom[v] = 0xC9
    rom[0x150:BANK] = filler(BANK - 0x150, 1)
    for bank in range(1, 4):
        rom[bank * BANK:(bank + 1) * BANK] = filler(BANK, bank + 1)
    for start, end in (GB16_FREE, FREE):
        rom[start:end] = b"\xFF" * (end - start)

    # Each table follows a few zero bytes, which set it apart from the
    # filler before it.
    for start in (GB16_TABLE, GB24_TABLE, GB24R_TABLE):
        rom[start - 4:start] = bytes(4)
    tables = {}
    offsets = put_texts(rom, GB16_TEXTS, GB16_DIALOGS, codes)
    rom[GB16_TABLE:GB16_TABLE + 2 * len(offsets)] = b"".join(gb16(o) for o in offsets)
    tables["GB16"] = (GB16_TABLE, 2, offsets)
    offsets = put_texts(rom, GB24_TEXTS, GB24_DIALOGS, codes)
    rom[GB24_TABLE:GB24_TABLE + 3 * len(offsets)] = b"".join(gb24(o) for o in offsets)
    tables["GB24"] = (GB24_TABLE, 3, offsets)
    texts = put_texts(rom, GB24R_TEXTS, GB24R_DIALOGS, codes)
    offsets = [texts[i] for i in GB24R_POINTS_TO]
    rom[GB24R_TABLE:GB24R_TABLE + 3 * len(offsets)] = b"".join(gb24r(o) for o in offsets)
    tables["GB24R"] = (GB24R_TABLE, 3, offsets)
    header(rom)

    # Every pointer's bytes stand only in its own table, so that the insertion
    # rewrites nothing else and the verification finds no old pointer left.
    encoders = {"GB16": gb16, "GB24": gb24, "GB24R": gb24r}
    for name, (start, width, offsets) in tables.items():
        for target in set(offsets):
            pattern = encoders[name](target)
            found = [i for i in range(len(rom)) if rom[i:i + width] == pattern]
            assert found == [start + width * k for k, o in enumerate(offsets) if o == target], (name, hex(target), found)
    assert len(rom) == ROM_SIZE
    return bytes(rom), tables


def write(name, data):
    with open(os.path.join(EXAMPLE, name), "wb") as f:
        f.write(data)


def crlf(text):
    return text.replace("\n", "\r\n")


def extract_script(tables):
    lines = [
        "' Vorkat Game Boy example, step 1 (already done; its results are in this folder):",
        "' for each of the three pointer tables, find its pointers and dump the texts they address.",
        "' Run from the repository root:  vorkat-cli examples/gb/extract.txt",
        "LOADROM=examples/gb/lumen.gbc",
        "LOADTABLE=examples/gb/lumen.tbl",
        "' Any two bytes may be a GB16 pointer, so the scan covers the table alone",
        "' and the targets the area of its texts. The dump runs each text up to the next",
        "' pointer's target (the last one to the end of the ROM); make_gb.py cuts every",
        "' dumped text after its end code into dialogs_<form>_en.txt.",
    ]
    texts = {"GB16": GB16_TEXTS, "GB24": GB24_TEXTS, "GB24R": GB24R_TEXTS}
    for name, (start, width, offsets) in tables.items():
        low = name.lower()
        lines += [
            "POINTERFORMAT=" + name,
            "FINDPOINTERS=&h%X,&h%X,&h%X,&h%X,examples/gb/pointers_%s.txt"
            % (texts[name], texts[name] + TEXT_AREA - 1, start, start + width * len(offsets), low),
            "DUMPVIAPOINTERS=examples/gb/pointers_%s.txt,examples/gb/pointers_%s_sorted.txt,examples/gb/out/dump_%s.txt"
            % (low, low, low),
        ]
    return "\n".join(lines) + "\n"


TRANSLATE_SCRIPT = """' Vorkat Game Boy example, step 2: put the Russian translation into the ROM and publish it as an IPS patch.
' Run from the repository root:  vorkat-cli examples/gb/translate.txt
' The results go to examples/gb/out/. One pass per pointer table, each in its own pointer format.
DOLOG=Пример Vorkat для Game Boy: вставляем перевод в lumen.gbc
LOADROM=examples/gb/lumen.gbc
LOADTABLE=examples/gb/lumen.tbl
ADDRESSALIGNBY=0
'
' Pass 1, GB16: the game switches bank 1 in before it reads these texts, so
' they stay in bank 1; its free space is the end of the bank (7C00-7FFF).
' The table lies at an even offset: CHECKBYMOD4 means "even offsets only" here.
POINTERFORMAT=GB16
LOADDIALOGS=examples/gb/dialogs_gb16_ru.txt
FREESPACESTARTADDR=&h7C00
FREESPACEENDADDR=&h8000
CHECKBYMOD4=1
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/gb/out/verify_gb16.txt
SAVEDIALOGS=examples/gb/out/dialogs_gb16_placed.txt
'
' Pass 2, GB24: the bank byte goes with the pointer, so the texts may go to
' any bank. The free space runs from BF80 in bank 2 into bank 3 (to C3FF);
' no text is placed across the boundary at C000.
' CHECKBYMOD4 restricts no 3-byte pointer; it is off for clarity.
POINTERFORMAT=GB24
LOADDIALOGS=examples/gb/dialogs_gb24_ru.txt
FREESPACESTARTADDR=&hBF80
FREESPACEENDADDR=&hC400
CHECKBYMOD4=0
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/gb/out/verify_gb24.txt
SAVEDIALOGS=examples/gb/out/dialogs_gb24_placed.txt
'
' Pass 3, GB24R: the same free space; FREESPACESTARTADDR has moved on past
' what pass 2 used.
POINTERFORMAT=GB24R
LOADDIALOGS=examples/gb/dialogs_gb24r_ru.txt
CALCNEWPOINTERS
RETURNDIALGS2ROM
VERIFYINSERTION=examples/gb/out/verify_gb24r.txt
FREESPACEREPORT=examples/gb/out/free_space_gb24r.txt
SAVEDIALOGS=examples/gb/out/dialogs_gb24r_placed.txt
'
SAVEROM=examples/gb/out/lumen_ru.gbc
' Publish: compare with the untouched original and write the patch.
LOADORIGINALROM=examples/gb/lumen.gbc
COMPAREROMS
SAVEIPS=examples/gb/out/lumen_ru.ips
' Back to the default for whatever runs next with these settings.
POINTERFORMAT=GBA
SAVELOG=examples/gb/out/translate.log
"""


def cut_at_end(dump):
    """The dumped dialogs with every text cut after its first end code, as a translator would."""
    out = []
    for piece in dump.split("\r\n§\r\n"):
        if not piece:
            continue
        attributes, text = piece.split("\r\n¶\r\n", 1)
        out.append(attributes + "\r\n¶\r\n" + text[:text.index("<$END>") + len("<$END>")] + "\r\n§\r\n")
    return "".join(out)


def translate(dialogs_en, dialogs):
    """A dumped dialogs file with every text replaced by its translation; the original goes to the comment."""
    by_text = {english + "<$END>": russian + "<$END>" for english, russian in dialogs}
    out = []
    for piece in dialogs_en.split("\r\n§\r\n"):
        if not piece:
            continue
        attributes, text = piece.split("\r\n¶\r\n", 1)
        dlg_id, address = attributes.split(",")[:2]
        comment = "Оригинал: " + text[:-len("<$END>")]
        values = [dlg_id, address, "", "", "", "", "", "", "", comment]
        out.append(",".join(values) + "\r\n¶\r\n" + by_text[text] + "\r\n§\r\n")
    assert len(out) == len(dialogs), "every text was dumped once"
    return "".join(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    codes = table()
    rom, tables = build_rom(codes)
    write("lumen.tbl", table_text(codes).encode("cp1251"))
    write("lumen.gbc", rom)
    write("extract.txt", crlf(extract_script(tables)).encode("cp1251"))
    write("translate.txt", crlf(TRANSLATE_SCRIPT).encode("cp1251"))
    os.makedirs(os.path.join(EXAMPLE, "out"), exist_ok=True)
    # Written afresh, so that the run leaves no .bak copies of the old ones.
    for name in ("gb16", "gb24", "gb24r"):
        for report in ("pointers_%s.txt" % name, "pointers_%s_sorted.txt" % name, "out/dump_%s.txt" % name):
            if os.path.exists(os.path.join(EXAMPLE, report)):
                os.remove(os.path.join(EXAMPLE, report))
    run_cli(cli, os.path.join(EXAMPLE, "extract.txt"))
    for name, dialogs in (("gb16", GB16_DIALOGS), ("gb24", GB24_DIALOGS), ("gb24r", GB24R_DIALOGS)):
        with open(os.path.join(EXAMPLE, "out", "dump_%s.txt" % name), "rb") as f:
            dialogs_en = cut_at_end(f.read().decode("cp1251"))
        write("dialogs_%s_en.txt" % name, dialogs_en.encode("cp1251"))
        write("dialogs_%s_ru.txt" % name, translate(dialogs_en, dialogs).encode("cp1251"))


if __name__ == "__main__":
    main()

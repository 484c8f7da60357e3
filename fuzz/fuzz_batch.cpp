// Runs arbitrary batch scripts against a tiny game in a folder of its own.
//
// The input is a list of lines: each starts with a selector byte; a raw line
// takes the bytes that follow, any other line is built from the command list,
// file names of the folder and awkward numbers. Every script is kept inside
// the folder: the process works in it, and a script holds no "/", no "\" and
// no "..", so every name a command can use, also one read from a file the
// script wrote, is a plain name in that folder. Since the process works in
// that folder, corpus folders are given with absolute names.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "app/app.h"
#include "core/file_io.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "core/text.h"

namespace {

using namespace vorkat;
namespace fs = std::filesystem;

fs::path g_dir;
std::map<std::string, Bytes> g_files;  // the folder's content at the start of every run

constexpr std::array<std::string_view, 68> kCommands = {"LOADROM",
                                                        "LOADTABLE",
                                                        "FREESPACESTARTADDR",
                                                        "FREESPACEENDADDR",
                                                        "ADDRESSALIGNBY",
                                                        "LOADDIALOGS",
                                                        "IGNOREROMZONE",
                                                        "LOADIPS",
                                                        "APPLYIPSTOROM",
                                                        "SAVEDIALOGS",
                                                        "CALCNEWPOINTERS",
                                                        "CHECKBYMOD4",
                                                        "RETURNDIALGS2ROM",
                                                        "SAVEROM",
                                                        "STOP",
                                                        "SKIPUNKNOWNTRCHARS",
                                                        "DIALOGSAUTOGAPBYTES",
                                                        "EXTENDEDLOGS",
                                                        "CREATEINSERTIONLOGS",
                                                        "SAVELOG",
                                                        "FIN",
                                                        "DOLOG",
                                                        "LOADORIGINALROM",
                                                        "ECOMODE",
                                                        "OPTIMIZECHANGESBLOCKS",
                                                        "COMPAREROMS",
                                                        "SAVEIPS",
                                                        "WRITETEXTINUNICODE",
                                                        "HEXENCODEUNKNOWNCHARS",
                                                        "NUMBEROFTEXTCHARS",
                                                        "SCANEXTRACT",
                                                        "FINDPOINTERS",
                                                        "DUMPVIAPOINTERS",
                                                        "DUMPBYADDRESSLIST",
                                                        "SAVETABLE",
                                                        "CHECKTABLE",
                                                        "GENERATETABLE",
                                                        "RELATIVESEARCH",
                                                        "DRAFTTABLE",
                                                        "APPLYBPSTOROM",
                                                        "CHECKWRAP",
                                                        "EXPORTCSV",
                                                        "EXPORTPO",
                                                        "EXPORTXLIFF",
                                                        "FREESPACEREPORT",
                                                        "IMPORTCSV",
                                                        "IMPORTPO",
                                                        "IMPORTXLIFF",
                                                        "LOADBPS",
                                                        "LOADFDT",
                                                        "MAKEFDT",
                                                        "POINTERFORMAT",
                                                        "SAVEBPS",
                                                        "SEARCHROM",
                                                        "TILESEXPORT",
                                                        "TILESIMPORT",
                                                        "VERIFYINSERTION",
                                                        "WRAPDIALOGS",
                                                        "WRAPSETTINGS",
                                                        "POINTERTABLE",
                                                        "INPLACE",
                                                        "PADBYTE",
                                                        "loadrom",
                                                        " LoadIps ",
                                                        "\tcomparerOMs",
                                                        "'LOADROM",
                                                        "  'x",
                                                        "UNKNOWN"};

constexpr std::array<std::string_view, 24> kNames = {"a.gba", "o.gba", "b.gba", "t.tbl", "d.txt",  "r.txt",
                                                     "s.txt", "l.txt", "p.ips", "e.txt", "x",      "y.txt",
                                                     "",      "q.ips", "f.png", "g.po",  "h.xlf",  "c.csv",
                                                     "z.fdt", "GBA4",  "GB2",   "LZ77",  "OFFSET", "BE"};

constexpr std::array<std::string_view, 24> kNumbers = {"0",           "1",          "-1",         "2.5",
                                                       "0.4",         "&h40",       "&h50",       "&h60",
                                                       "&hFF",        "&hFFFF",     "&h10000",    "&h7FFFFFFF",
                                                       "&h80000000",  "&hFFFFFFFF", "2147483647", "2147483648",
                                                       "-2147483649", "1e300",      "-1e300",     "4",
                                                       "65535",       "4542278",    "yes",        " 3 , 4 "};

Bytes Game() {
  Bytes rom(0x100, 0x00);
  const Bytes pointers = {0x40, 0x00, 0x00, 0x08, 0x50, 0x00, 0x00, 0x08};
  std::copy(pointers.begin(), pointers.end(), rom.begin() + 0x10);
  const Bytes first = {'A', 'B', 'C', ' ', 'A', 'B', 0xFF};
  const Bytes second = {'C', 'A', 'B', 0xFF};
  std::copy(first.begin(), first.end(), rom.begin() + 0x40);
  std::copy(second.begin(), second.end(), rom.begin() + 0x50);
  std::fill(rom.begin() + 0x80, rom.begin() + 0xC0, 0xFF);  // free space
  return rom;
}

void WriteFile(const std::string& name, const Bytes& data) {
  WriteFileAtomic(FromUtf8(name), data, Backup::None, nullptr);
}

// Empties the folder and puts the starting files back.
void ResetFolder() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(g_dir, ec)) fs::remove_all(entry.path(), ec);
  for (const auto& [name, data] : g_files) WriteFile(name, data);
}

// Only plain names of this folder can come out of the script.
std::string Confined(std::string line) {
  std::string out;
  for (char c : line)
    if (c != '\r' && c != '/' && c != '\\' && !(c == '.' && !out.empty() && out.back() == '.')) out += c;
  return out;
}

std::string Piece(std::uint8_t b) {
  if (b & 1) return std::string(kNames[(b >> 1) % kNames.size()]);
  return std::string(kNumbers[(b >> 1) % kNumbers.size()]);
}

void RemoveFolder() {
  std::error_code ec;
  fs::remove_all(g_dir, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_dir = fs::temp_directory_path() / ("vorkat-fuzz-batch-" + std::to_string(::getpid()));
  fs::create_directories(g_dir);
  fs::current_path(g_dir);
  std::atexit(RemoveFolder);

  Bytes rom = Game();
  g_files["a.gba"] = rom;
  g_files["o.gba"] = rom;
  rom[0x41] = 'C';
  rom[0x90] = 0x12;
  g_files["b.gba"] = rom;
  g_files["t.tbl"] =
      EncodeTextFile(u"TrTableType=SBCS\r\n/FF\r\n41=A\r\n42=B\r\n43=C\r\n20=<$SPACE>\r\nFF=<$END>\r\n", false);
  g_files["l.txt"] = EncodeTextFile(u"&h50\r\n64\r\n", false);
  g_files["p.ips"] = {'P', 'A', 'T', 'C', 'H', 0, 0, 0x41, 0, 2, 'C', 'C', 0, 0, 0x90, 0, 0, 0, 4, 0x33, 'E', 'O', 'F'};
  // A report, its sorted list and a dialogs file, as the program writes them.
  for (const auto& [name, data] : g_files) WriteFile(name, data);
  {
    ScriptedHost host;
    AppState state(host);
    StartUp(state, FromPath(g_dir));
    WriteFile("setup.txt", EncodeTextFile(u"LOADROM=a.gba\r\nLOADTABLE=t.tbl\r\nFINDPOINTERS=&h40,&h60,0,0,r.txt\r\n"
                                          u"DUMPVIAPOINTERS=r.txt,s.txt,d.txt\r\n",
                                          false));
    RunBatch(state, u"setup.txt");
  }
  for (const char* name : {"r.txt", "s.txt", "d.txt"}) {
    auto data = ReadFileBytes(FromUtf8(name));
    if (!data) std::abort();
    g_files[name] = *data;
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string script;
  for (std::size_t i = 0; i < size;) {
    const std::uint8_t selector = data[i++];
    std::string line;
    if (selector % 5 == 0) {
      // A raw line: the following bytes up to a length the selector gives.
      const std::size_t n = std::min<std::size_t>(selector / 5, size - i);
      line.assign(reinterpret_cast<const char*>(data + i), n);
      i += n;
    } else {
      line = std::string(kCommands[selector % kCommands.size()]);
      const std::uint8_t shape = i < size ? data[i++] : 0;
      if (shape & 1) {
        line += (shape & 2) ? " = " : "=";
        const int pieces = 1 + (shape >> 2) % 5;
        for (int k = 0; k < pieces; ++k) {
          if (k > 0) line += ',';
          line += Piece(i < size ? data[i++] : 0);
        }
      }
    }
    script += Confined(line);
    script += "\r\n";
  }
  // A script starting with FF FE would be read as UTF-16, where the bytes
  // above could pair into "/" or "\".
  if (script.size() >= 2 && static_cast<std::uint8_t>(script[0]) == 0xFF &&
      static_cast<std::uint8_t>(script[1]) == 0xFE)
    script.insert(0, "\r\n");

  ResetFolder();
  WriteFile("script.txt", Bytes(script.begin(), script.end()));
  ScriptedHost host;
  AppState state(host);
  StartUp(state, FromPath(g_dir));
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  RunBatch(state, u"script.txt");
  if (std::getenv("VORKAT_FUZZ_SHOW"))  // to see what an input does: run it alone with this set
    for (const auto& line : host.logLines) std::fprintf(stderr, "%s\n", ToUtf8(line).c_str());

  if (state.rom.isLoaded && static_cast<std::size_t>(state.rom.size()) != state.rom.bytes.size()) __builtin_trap();
  const auto& blocks = state.ips.changes.blocks;
  for (std::size_t k = 1; k < blocks.size(); ++k)
    if (blocks[k].offset < blocks[k - 1].offset + blocks[k - 1].size) __builtin_trap();
  if (state.ctx.busy != 0) __builtin_trap();
  return 0;
}

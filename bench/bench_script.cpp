#include "bench/bench.h"
#include "app/app.h"
#include "script/dialogs_file.h"
#include "script/translation_file.h"

namespace vorkat::bench {
namespace {

// A script of `count` dialogs of about 200 characters each (with line breaks,
// comments and attributes), the size of a large game's translation.
void FillDialogs(AppState& state, int count) {
  DialogSet& set = state.dialogs;
  set.records.assign(static_cast<std::size_t>(count) + 1, DialogRecord{});
  for (int i = 0; i < count; ++i) {
    DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    const int offset = 0x100000 + i * 180;
    r.dlgID = DecText(offset);
    r.ExtractedFromAddr = HexText(static_cast<unsigned>(offset));
    r.OldDlgSize = u"120";
    r.DoPointerChange = u"Y";
    r.NewDlgAddr = HexText(static_cast<unsigned>(0x800000 + i * 200));
    r.dlgComments = i % 5 ? u"" : u"проверить, длину";
    r.dlgText =
        u"Здравствуй, путник! Давно у нас не было гостей.\r\nВ деревне неспокойно: волки<$0A>"
        u"подходят к самым домам.\r\nПоможешь нам? Номер " +
        DecText(i) + u"<$FF>";
  }
  set.lastIndex = count - 1;
  set.isLoaded = true;
}

void RunSize(int count, bool unicode) {
  QuietHost host;
  AppState state(host);
  state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);
  state.ctx.settings.WriteTextInUnicode = unicode ? u"YES" : u"NO";
  FillDialogs(state, count);
  auto dir = TempDir();
  const std::u16string file = FromPath(dir / "dialogs.txt");
  state.dialogs.fileName = file;
  const std::string tag = std::to_string(count) + (unicode ? " dialogs, UTF-16" : " dialogs, ANSI");

  double save = TimeMs([&] { SaveDialogs(state, true); });
  const auto bytes = FileLength(file).value_or(0);
  Report(("save " + tag + " (" + std::to_string(bytes / 1000000.0).substr(0, 4) + " MB)").c_str(), save);
  Report(("save again with .bak, " + tag).c_str(), TimeMs([&] { SaveDialogs(state, true); }));
  Report(("load " + tag).c_str(), TimeMs([&] { LoadDialogs(state, true); }));
  if (state.dialogs.lastIndex != count - 1) std::printf("  !! loaded %d dialogs\n", state.dialogs.lastIndex + 1);
  Report(("append " + tag + " to the loaded set").c_str(), TimeMs([&] { AppendDialogs(state, true); }));
  std::filesystem::remove(dir / "dialogs.txt");
  std::filesystem::remove(dir / "dialogs.txt.bak");
}

void BenchDialogsFile() {
  for (bool unicode : {false, true})
    for (int count : {25000, 50000, 100000}) RunSize(count, unicode);
}

void BenchTranslationFile() {
  QuietHost host;
  AppState state(host);
  FillDialogs(state, 50000);
  for (auto& r : state.dialogs.records) r.dlgText = ReplaceAll(r.dlgText, kCrLf, u" ");
  auto dir = TempDir();
  const std::u16string file = FromPath(dir / "vorkat1.txt");
  host.answers = {MsgAnswer::Yes, MsgAnswer::No};
  host.fileNames = {file};
  Report("export 50000 dialogs as a Vorkat1 translation file", TimeMs([&] { ExportTranslationFile(state); }));
  host.fileNames = {file};
  Report("import a 50000-line Vorkat1 translation file", TimeMs([&] { ImportTranslationFile(state); }));
  std::filesystem::remove(dir / "vorkat1.txt");
}

}  // namespace

VORKAT_BENCH("dialogs file", BenchDialogsFile);
VORKAT_BENCH("translation file", BenchTranslationFile);

}  // namespace vorkat::bench

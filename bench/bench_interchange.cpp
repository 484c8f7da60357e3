#include <ctime>

#include "app/app.h"
#include "bench/bench.h"
#include "interchange/interchange.h"
#include "script/dialogs_file.h"

namespace vorkat::bench {
namespace {

// `count` dialogs of about 150 characters (line breaks, codes, commas,
// quotes, Cyrillic), every fifth with a comment; `translated` gives the
// Russian texts, else the English originals.
DialogSet MakeDialogs(int count, bool translated) {
  DialogSet set;
  set.records.assign(static_cast<std::size_t>(count) + 1, DialogRecord{});
  for (int i = 0; i < count; ++i) {
    DialogRecord& r = set.records[static_cast<std::size_t>(i)];
    const int offset = 0x100000 + i * 180;
    r.dlgID = DecText(offset);
    r.ExtractedFromAddr = HexText(static_cast<unsigned>(offset));
    r.dlgComments = i % 5 ? u"" : u"проверить, длину";
    r.dlgText = translated ? u"Здравствуй, путник! \"Давно\" у нас не было гостей.\r\nВолки<$0A>подходят к домам.\r\n"
                             u"Поможешь нам? Номер " +
                                 DecText(i) + u"<$FF>"
                           : u"Hello, traveller! \"Long\" since we had guests.\r\nWolves<$0A>come to the houses.\r\n"
                             u"Will you help us? Number " +
                                 DecText(i) + u"<$FF>";
  }
  set.lastIndex = count - 1;
  set.isLoaded = true;
  return set;
}

// The processor time of f, so the figures hold on a machine other builds
// share (the wall-clock time is reported beside it).
void ReportBoth(const std::string& what, const std::function<void()>& f) {
  const std::clock_t c0 = std::clock();
  const double wall = TimeMs(f);
  const double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  std::printf("%-60s %9.1f ms (processor %.1f ms)\n", what.c_str(), wall, cpu);
}

void BenchInterchange() {
  constexpr int kCount = 100000;
  QuietHost host;
  AppState state(host);
  state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);
  state.ctx.settings.WriteTextInUnicode = u"YES";
  const auto dir = TempDir();
  const std::u16string sourceFile = FromPath(dir / "dialogs_en.txt");
  state.dialogs = MakeDialogs(kCount, false);
  SaveDialogsAs(state, sourceFile);
  const DialogSet translated = MakeDialogs(kCount, true);

  const struct {
    InterchangeFormat format;
    const char* name;
    const char* file;
  } formats[] = {{InterchangeFormat::Po, "PO", "t.po"},
                 {InterchangeFormat::Xliff, "XLIFF", "t.xlf"},
                 {InterchangeFormat::Csv, "CSV", "t.csv"}};
  for (const auto& f : formats) {
    const std::u16string file = FromPath(dir / f.file);
    const std::string tag = std::to_string(kCount) + " dialogs, " + f.name;
    state.dialogs = translated;
    ReportBoth("export " + tag + " (template)", [&] { ExportInterchange(state, f.format, file, u""); });
    ReportBoth("export " + tag + " (source from a dialogs file)",
               [&] { ExportInterchange(state, f.format, file, sourceFile); });
    const auto bytes = FileLength(file).value_or(0);
    state.dialogs = MakeDialogs(kCount, false);
    ReportBoth("import " + tag + " (" + std::to_string(bytes / 1000000.0).substr(0, 4) + " MB)",
               [&] { ImportInterchange(state, f.format, file); });
    {
      InterchangeRead read;
      ReportBoth("  read " + tag, [&] { read = ReadInterchangeFile(f.format, file); });
      ReportBoth("  plan " + tag, [&] { PlanImport(state.dialogs, read.entries); });
    }
    if (state.dialogs.records[7].dlgText != translated.records[7].dlgText) std::printf("  !! import lost the text\n");
    std::filesystem::remove(dir / f.file);
  }
  std::filesystem::remove(dir / "dialogs_en.txt");
}

}  // namespace

VORKAT_BENCH("interchange", BenchInterchange);

}  // namespace vorkat::bench

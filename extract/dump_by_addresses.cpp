#include "extract/dump_by_addresses.h"
#include "script/script_state.h"

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/text.h"
#include "extract/extract_common.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kDoneLine = u"Закончили dump по указателям.";

bool Ready(ScriptState state) { return RequireRom(state) && RequireTable(state); }

}  // namespace

void DumpByAddressList(ScriptState state, const std::u16string& listFile, const std::u16string& outFile,
                       std::int32_t blockLength) {
  if (!Ready(state)) return;
  if (Trim(outFile).empty() || Trim(listFile).empty()) return;
  // Checked once here rather than by every record's decoding.
  if (!RequireKnownTableType(state)) return;

  AppendLog(state, u"Начали процесс дампа текста из ROM'а по адресам." + NowText());
  LongOperation op(state);
  std::u16string text;
  if (!ReadTextInput(state, Trim(listFile), text)) return;
  if (text.find(u',') == std::u16string::npos) WarnIfBareLf(state, text, listFile);

  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  const bool finished = DumpListedBlocks(state, ReadOffsetList(state, text, Trim(listFile)), blockLength, out);
  const bool saved = out.Save(state, Trim(outFile));
  if (finished && saved) AppendLog(state, kDoneLine);
}

void DumpByAddressSteps(ScriptState state, std::int32_t start, std::int32_t step, std::int32_t count,
                        const std::u16string& outFile, std::int32_t blockLength) {
  if (!Ready(state)) return;
  if (Trim(outFile).empty()) return;
  const std::int32_t length = blockLength > 0 ? blockLength : step;
  if (count < 1 || step < 1 || length < 1) {
    AppendLog(state, u"Для дампа блоков по адресам нужны число блоков и шаг больше 0", kColourDarkRed);
    return;
  }
  if (!RequireKnownTableType(state)) return;

  AppendLog(state, u"Начали процесс дампа текста из ROM'а по адресам." + NowText());
  LongOperation op(state);
  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  ShowProgress(state, 0, count);
  bool finished = true;
  std::int64_t at = start < 0 ? 0 : start;
  std::int32_t done = 0;
  // Blocks that would start past the ROM are left out.
  for (; done < count && at < state.rom.size(); ++done, at += step) {
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Процесс дампа текста прерван пользователем");
      finished = false;
      break;
    }
    std::int32_t from = static_cast<std::int32_t>(at);
    std::int64_t to64 = at + length;
    std::int32_t to = to64 > state.rom.size() ? state.rom.size() : static_cast<std::int32_t>(to64);
    const RecordExtras extras{to - from, {}};
    DecodeRange(state, from, to, out, &extras);
    SetProgress(state, done);
    YieldPoint(state);
  }
  HideProgress(state);
  if (finished && done < count)
    AppendLog(state, u"Остальные блоки начинаются за концом ROM'а, вынуто блоков" + NumText(done), kColourDarkRed);
  const bool saved = out.Save(state, Trim(outFile));
  if (finished && saved) AppendLog(state, kDoneLine);
}

}  // namespace vorkat

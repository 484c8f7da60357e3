#include "extract/extract_common.h"

#include <climits>
#include <ctime>

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/log.h"
#include "script/script_state.h"
#include "core/text.h"

namespace vorkat {
namespace {

// An entry of an offset list without the blanks and line breaks around it:
// in a list split at commas, an entry that follows a line break starts with
// CR LF, and the number reader would stop at the CR and read 0.
std::u16string TrimEntry(std::u16string_view entry) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  std::size_t b = 0, e = entry.size();
  while (b < e && blank(entry[b])) ++b;
  while (e > b && blank(entry[e - 1])) --e;
  return std::u16string(entry.substr(b, e - b));
}

}  // namespace

std::u16string NowText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &local);
  return U(buf);
}

bool WriteBytesOutput(ScriptState& state, const std::u16string& name, std::span<const std::uint8_t> bytes) {
  IoError error;
  if (WriteFileAtomic(name, bytes, Backup::RotateBak, &error, state.writeFaults)) return true;
  AppendLog(state, IoErrorText(u"Не удалось записать файл ", name, error), kColourBrightRed);
  return false;
}

bool WriteTextOutput(ScriptState& state, const std::u16string& name, std::u16string_view text, bool unicode) {
  return WriteBytesOutput(state, name, EncodeTextFile(text, unicode));
}

bool ReadTextInput(ScriptState& state, const std::u16string& name, std::u16string& text) {
  IoError error;
  auto bytes = ReadFileBytes(name, &error, kMaxTextFileSize);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, error), kColourBrightRed);
    return false;
  }
  text = DecodeTextFile(*bytes);
  return true;
}

std::vector<std::u16string> SplitOffsetList(std::u16string_view text) {
  if (text.find(u',') == std::u16string_view::npos) return SplitCrLf(text);
  std::vector<std::u16string> out;
  std::size_t from = 0;
  for (;;) {
    std::size_t comma = text.find(u',', from);
    if (comma == std::u16string_view::npos) {
      out.emplace_back(text.substr(from));
      return out;
    }
    out.emplace_back(text.substr(from, comma - from));
    from = comma + 1;
  }
}

bool DumpListedBlocks(ScriptState& state, const std::vector<std::u16string>& entries, std::int32_t blockLength,
                      RecordOutput& out) {
  const std::size_t n = entries.size();
  ShowProgress(state, 0, static_cast<std::int64_t>(n));
  for (std::size_t i = 0; i < n; ++i) {
    if (state.CancelRequested) {
      AppendLog(state, u"Процесс дампа текста прерван пользователем");
      HideProgress(state);
      return false;
    }
    std::u16string entry = TrimEntry(entries[i]);
    if (entry.empty()) continue;
    std::int32_t start = ReadInt(entry);
    std::int32_t end = i + 1 < n ? ReadInt(TrimEntry(entries[i + 1])) : 0;
    if (blockLength > 0) {
      // Past the signed range the end is cut to the ROM anyway.
      std::int64_t e = static_cast<std::int64_t>(start) + blockLength;
      end = e > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(e);
    }
    DecodeRange(state, start, end, out);
    SetProgress(state, static_cast<std::int64_t>(i));
    YieldPoint(state);
  }
  HideProgress(state);
  return true;
}

}  // namespace vorkat

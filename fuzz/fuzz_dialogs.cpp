// Feeds arbitrary bytes to the dialogs-file reader: the first bytes choose
// the delimiters and the attribute list, the rest is the file's text. The
// reader must finish with consistent slots, also on what it wrote itself.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <span>

#include "app/state.h"
#include "core/text.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"

namespace {

constexpr std::u16string_view kFormats[] = {
    u"", u"dlgID,ExtractedFromAddr,dlgText", u"dlgText", u"dlgID,PtrsAddrZones,dlgComments,dlgText,Bogus",
    u"dlgID,ExtractedFromAddr,OldDlgSize,NewDlgSize,DoPointerChange,NewDlgAddr,OldPtrHEX,NewPtrHEX,"
    u"PtrsAddrListFile,PtrsAddrZones,dlgComments,dlgText"};
constexpr std::u16string_view kDelimiters[] = {u"\u00A7\r\n", u"\r\n", u"", u"|", u"\u00B6"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  if (size < 3) return 0;
  ScriptedHost host;
  AppState state(host);
  state.ctx.yieldInterval = std::chrono::milliseconds(1000000);
  Settings& s = state.ctx.settings;
  s.TrDialogFileFormat = std::u16string(kFormats[data[0] % std::size(kFormats)]);
  s.DialogDelimiterStr = std::u16string(kDelimiters[data[1] % std::size(kDelimiters)]);
  s.DialogAttrDelimStr = std::u16string(kDelimiters[data[2] % std::size(kDelimiters)]);
  // Read as the loader reads: UTF-16, UTF-8 (by its mark, or by delimiters
  // found only in their UTF-8 form) or Windows-1251.
  const std::span<const std::uint8_t> bytes(data + 3, size - 3);
  const std::u16string_view markers[] = {s.DialogDelimiterStr, s.DialogAttrDelimStr};
  const DecodedText decoded = DecodeTextFileDetect(bytes, markers);
  const std::u16string& text = decoded.text;
  // UTF-8 without a mark was checked whole, so it is saved back byte for byte.
  if (decoded.encoding == TextEncoding::Utf8) {
    const Bytes back = EncodeTextFile(text, decoded.encoding);
    if (!std::equal(back.begin(), back.end(), bytes.begin(), bytes.end())) __builtin_trap();
  }

  DialogSet set = ParseDialogPieces(state, SplitDialogPieces(text, s.DialogDelimiterStr));
  if (set.lastIndex < -1 || set.lastIndex >= static_cast<std::int32_t>(set.records.size())) __builtin_trap();
  set.isLoaded = true;
  const std::u16string written = DialogsFileText(set, s);
  DialogSet again = ParseDialogPieces(state, SplitDialogPieces(written, s.DialogDelimiterStr));
  if (again.lastIndex < -1 || again.lastIndex >= static_cast<std::int32_t>(again.records.size())) __builtin_trap();
  return 0;
}

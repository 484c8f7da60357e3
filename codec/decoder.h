// Turning ROM bytes into text through the table, and writing extracted
// records ("offset,HEX" + attribute delimiter + text + dialog delimiter).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_io.h"
#include "core/text.h"

namespace vorkat {

struct CodecState;
struct RomImage;
struct Settings;
struct TranslationTable;

// The output of one extraction run. Records are gathered in memory already
// encoded (UTF-16LE after an FF FE mark, or Windows-1251) and written in one
// go by Save, so a run of 50,000 records costs no per-record file calls and a
// failed write never leaves half a file. Open it, pass it to DecodeRange /
// WriteExtractedRecord for every record, then Save (also after a stop).
class RecordOutput {
 public:
  // `unicode`: UTF-16LE with the mark FF FE at the start, else Windows-1251.
  explicit RecordOutput(bool unicode);
  // Unicode exactly when the setting WriteTextInUnicode is "YES".
  static RecordOutput ForSettings(const Settings& settings);

  void Append(std::u16string_view text);
  bool unicode() const { return unicode_; }
  const Bytes& bytes() const { return bytes_; }
  std::size_t recordCount() const { return records_; }
  void CountRecord() { ++records_; }

  // Writes everything gathered to the file (temporary file, then rename); a
  // replaced file is kept as name + ".bak", so an extraction run over an
  // edited translation loses nothing. A failure is logged in bright red and
  // gives false. In ANSI mode, characters that Windows-1251 lacks were
  // written as '?': that is logged.
  bool Save(CodecState state, std::u16string_view fileName, Backup backup = Backup::RotateBak) const;

 private:
  bool unicode_;
  Bytes bytes_;
  std::size_t records_ = 0;
  std::size_t replaced_ = 0;  // characters Windows-1251 lacks, written as '?'
};

// "<$" + two upper-case hex digits + ">" for one byte.
std::u16string_view ByteEscape(std::uint8_t value);

// True for "SBCS", "SBCS2" and "DBCS" (exact, upper case).
bool IsKnownTableType(std::u16string_view type);
// For an unknown type: message box "Неизвестный тип таблицы перекодировки"
// and the log line; returns false. The scan extraction uses it too.
bool RequireKnownTableType(CodecState state);

// Normalises a range as the decoder and the scan do: a negative start is 0,
// an end of 0 or beyond the ROM is the ROM size.
void NormaliseRange(std::int32_t romSize, std::int32_t& start, std::int32_t& end);

// The decoding walk alone: the text of start <= offset < end (already
// normalised) with byte escapes and the 32,000-character cap. The type must
// be known. Reads the table and the ROM of `state`; lets no events run.
std::u16string DecodeRangeText(CodecState state, std::int32_t start, std::int32_t end);

// What a dump knows of a record beyond its offset: the bytes it was decoded
// from (OldDlgSize; -1 when the block ran to the ROM's end, a length that is
// no text's) and the zones of the pointers that lead to it (PtrsAddrZones).
// Written at those attributes' places in TrDialogFileFormat, after the two
// offsets; an attribute the list lacks is left out.
struct RecordExtras {
  std::int64_t length = -1;
  std::u16string zones;
};

// Decodes start <= offset < end of the working ROM into one record of `out`.
// Checks ROM, table and type (reporting them), normalises start and end in
// place, and writes the record even when it is empty.
void DecodeRange(CodecState state, std::int32_t& start, std::int32_t& end, RecordOutput& out,
                 const RecordExtras* extras = nullptr);

// Postprocessor pairs in file order, find -> replace; pairs with an empty
// find text are skipped.
std::u16string ApplyPostprocessor(const TranslationTable& table, std::u16string text);

// CorrectDlgTwoCaps / CorrectDlgNumStart: drops leading characters and
// advances `offset` by one per character dropped.
std::u16string_view CorrectRecordStart(const Settings& settings, std::int32_t& offset, std::u16string_view text);

// One record at `offset` (negative: no run is open, nothing is written):
// start corrections, postprocessor, then the record with the corrected offset.
void WriteExtractedRecord(CodecState state, RecordOutput& out, std::u16string_view text, std::int32_t offset,
                          const RecordExtras* extras = nullptr);

}  // namespace vorkat

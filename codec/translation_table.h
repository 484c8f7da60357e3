// The program-wide translation table: which text stands for which byte code.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codec/encoder_index.h"
#include "core/text.h"

namespace vorkat {

inline constexpr std::size_t kTableCodes = 65536;
inline constexpr std::size_t kMaxPostprocessorPairs = 512;

struct TranslationTable {
  // Text per code 0..65535; empty means no entry. A two-byte code is
  // first byte * 256 + second byte.
  std::vector<std::u16string> entries = std::vector<std::u16string>(kTableCodes);
  std::u16string type;      // "SBCS", "SBCS2", "DBCS" or whatever was typed
  int codeWidth = 1;        // 2 when type is exactly "DBCS"
  std::u16string comment;   // every non-code line, each followed by CR LF
  char16_t endCode = 0;     // the end-of-text code as a character
  bool endCodeSet = false;  // no code is the end code until an end-code line was read
  std::vector<std::pair<std::u16string, std::u16string>> postprocessorPairs;  // (find, replace)
  std::int32_t tokenCount = 0;
  bool isLoaded = false;
  // How the file was read (a UTF-8 file is saved as UTF-8 again).
  TextEncoding fileEncoding = TextEncoding::Ansi;
  // Changes with every load and edit of the table (MarkChanged).
  std::uint64_t revision = 0;
  // Edited in memory (table editor, type) since it was loaded or saved.
  bool changed = false;
  // The encoder's lookup list, rebuilt by the first encoding after the
  // table's revision changed.
  EncoderIndex encoderIndex;

  void MarkChanged() { ++revision; }
  // An edit the table file does not hold yet.
  void MarkEdited() {
    MarkChanged();
    changed = true;
  }
};

}  // namespace vorkat

// Verification of an insertion: the placed dialogs' bytes and texts, the
// pointers the last insertion run rewrote, and old pointers left in the ROM;
// and whether the game can show each text: a pointer leads to it, nothing of
// it was lost in the encoding, it covers no bytes that were in use, and it
// lies in the free space of the calculation that placed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorkat {

struct InsertState;

enum class VerifyProblemKind {
  TextBytes,          // the bytes at NewDlgAddr are not the dialog's encoded bytes
  TextDecoding,       // decoding them through the table does not give the text back
  Pointer,            // a rewritten pointer no longer holds NewPtrHEX
  StalePointer,       // the dialog's old pointer still stands somewhere in the ROM
  NoPointer,          // the insertion wrote the text but rewrote no pointer to it
  LostText,           // characters or tokens unknown to the table were skipped
  Overwritten,        // the text covers bytes that were not free before the insertion
  OutsideSpace,       // the text lies outside the free space of the calculation that placed it
  FieldTooLong,       // a fixed field whose translation is longer than the field: not written
  FieldWithoutPlace,  // a fixed field whose original's place is not known: not written
};

struct VerifyProblem {
  std::int32_t dialog = -1;  // index in the dialog list
  VerifyProblemKind kind = VerifyProblemKind::TextBytes;
  std::int32_t offset = 0;  // -1: the problem has no place in the ROM (shown empty)
  std::u16string detail;
};

struct VerifyResult {
  std::vector<VerifyProblem> problems;  // by dialog, then kind, then offset
  std::size_t dialogsChecked = 0;
  std::size_t pointersChecked = 0;
  bool pointerRecordKnown = false;  // an insertion ran, so its rewritten pointers are known
  bool stopped = false;

  std::size_t Count(VerifyProblemKind kind) const;
};

// The checks alone: reads the ROM, changes nothing, writes no file. Stops
// between dialogs and between parts of the ROM scan when CancelRequested.
VerifyResult CheckInsertion(InsertState state);

// The report file: one line per problem (dialog ID, kind, offset, detail),
// then the summary.
std::u16string VerifyReportText(InsertState state, const VerifyResult& result);

// Checks, writes the report (the old file kept as .bak) and logs the
// summary: green when nothing was found, bright red otherwise.
void VerifyInsertion(InsertState state, const std::u16string& reportFile);
// The same, asking for the report file.
void VerifyInsertion(InsertState state);

}  // namespace vorkat

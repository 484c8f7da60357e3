// The insertion log file: a plain text protocol of every pointer rewritten,
// appended to by each insertion run.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/file_io.h"

namespace vorkat {

struct InsertState;

class InsertionLogFile {
 public:
  InsertionLogFile() = default;
  ~InsertionLogFile();
  InsertionLogFile(const InsertionLogFile&) = delete;
  InsertionLogFile& operator=(const InsertionLogFile&) = delete;

  // Opens for appending; a failure is reported in the log and leaves it closed.
  bool Open(InsertState state, const std::u16string& name);
  bool IsOpen() const { return file_ != nullptr; }
  // One line, CR LF added, Windows-1251.
  void WriteLine(std::u16string_view line);
  // Closes; a failed write or close is reported in the log.
  void Close(InsertState state);

 private:
  void Flush();

  std::FILE* file_ = nullptr;
  std::u16string name_;
  std::string buffer_;
  bool failed_ = false;
  IoError error_;
};

}  // namespace vorkat

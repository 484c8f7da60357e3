#include "insert/insertion_log.h"

#include <cerrno>
#include <cstring>

#include "core/file_io.h"
#include "core/log.h"
#include "insert/insert_state.h"
#include "core/text.h"

namespace vorkat {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

IoError LastError() {
  const int code = errno;
  return IoError{code, FromUtf8(std::strerror(code))};
}

}  // namespace

InsertionLogFile::~InsertionLogFile() {
  if (file_) std::fclose(file_);
}

bool InsertionLogFile::Open(InsertState state, const std::u16string& name) {
  if (file_) Close(state);
  name_ = name;
  buffer_.clear();
  failed_ = false;
  // Appending to a FIFO would wait for a reader, to a device would lose the log.
  if (const auto refused = NonRegularFileError(name)) {
    AppendLog(state, IoErrorText(u"Не удалось открыть файл протокола вставки ", name, *refused), kColourBrightRed);
    return false;
  }
  file_ = std::fopen(ToPath(name).c_str(), "ab");
  if (!file_) {
    AppendLog(state, IoErrorText(u"Не удалось открыть файл протокола вставки ", name, LastError()), kColourBrightRed);
    return false;
  }
  return true;
}

void InsertionLogFile::WriteLine(std::u16string_view line) {
  if (!file_) return;
  buffer_ += ToCp1251(line);
  buffer_ += "\r\n";
  if (buffer_.size() >= kFlushAt) Flush();
}

void InsertionLogFile::Flush() {
  if (!file_ || buffer_.empty()) return;
  if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
    error_ = LastError();
  }
  buffer_.clear();
}

void InsertionLogFile::Close(InsertState state) {
  if (!file_) return;
  Flush();
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    error_ = LastError();
  }
  file_ = nullptr;
  if (failed_)
    AppendLog(state, IoErrorText(u"Не удалось записать файл протокола вставки ", name_, error_), kColourBrightRed);
}

}  // namespace vorkat

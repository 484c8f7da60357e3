#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <system_error>
#include <thread>

namespace vorkat {
namespace fs = std::filesystem;

fs::path ToPath(std::u16string_view name) { return fs::path(ToUtf8(name)); }

std::u16string FromPath(const fs::path& path) { return FromUtf8(path.string()); }

bool FileExists(std::u16string_view name) {
  if (name.empty()) return false;
  std::error_code ec;
  auto st = fs::status(ToPath(name), ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

std::optional<std::uint64_t> FileLength(std::u16string_view name) {
  std::error_code ec;
  auto n = fs::file_size(ToPath(name), ec);
  if (ec) return std::nullopt;
  return n;
}

namespace {

IoError FromErrno(int err) {
  IoError e;
  e.code = err;
  e.description = FromUtf8(std::strerror(err));
  return e;
}

// An error about another file than the one named (the folder standing where
// the .bak goes): the description names that file.
IoError FromErrnoAt(int err, const fs::path& other) {
  IoError e = FromErrno(err);
  e.description = FromPath(other) + u": " + e.description;
  return e;
}

IoError NotRegularFile() {
  IoError e;
  e.code = kNotRegularFile;
  e.description = u"это не обычный файл (устройство, канал или сокет)";
  return e;
}

constexpr std::string_view kTempMark = ".vorkat-tmp";

// A temporary file of a save: name + ".vorkat-tmp." + process + "." + tag.
// Each save makes its own, so saves of one file by two processes never
// touch each other's temporary files.
fs::path TemporaryName(const fs::path& of, std::uint32_t tag) {
  fs::path temp = of;
  temp += std::string(kTempMark) + "." + std::to_string(::getpid()) + "." + std::to_string(tag);
  return temp;
}

std::uint32_t RandomTag() {
  static thread_local std::minstd_rand generator(static_cast<std::uint32_t>(
      std::random_device{}() ^
      static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())));
  return static_cast<std::uint32_t>(generator());
}

// A temporary file of this program that no save is writing: the fixed name
// of older runs, or one whose process has ended (or is this one: a process
// saves one file at a time, so its own leftovers are a failed save's).
bool IsStaleTemporary(std::string_view name) {
  if (name.ends_with(kTempMark)) return name.size() > kTempMark.size();
  const std::size_t mark = name.rfind(std::string(kTempMark) + ".");
  if (mark == std::string_view::npos || mark == 0) return false;
  std::string_view rest = name.substr(mark + kTempMark.size() + 1);
  const std::size_t dot = rest.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == rest.size()) return false;
  const std::string_view pidText = rest.substr(0, dot);
  const std::string_view tagText = rest.substr(dot + 1);
  auto digits = [](std::string_view t) { return t.find_first_not_of("0123456789") == std::string_view::npos; };
  if (!digits(pidText) || !digits(tagText) || pidText.size() > 9) return false;
  const auto pid = static_cast<pid_t>(std::stol(std::string(pidText)));
  if (pid <= 0) return false;
  if (pid == ::getpid()) return true;
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Closes on scope exit unless released.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; the errno of a failed close, else 0.
  int Close() {
    int err = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return err;
  }

 private:
  int fd_;
};

// Writes everything, going on after interrupted or partial writes; 0 or the errno.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Reads the file's bytes [from, to) into dst + from; 0 or the errno.
int ReadRange(int fd, std::uint8_t* dst, std::size_t from, std::size_t to) {
  while (from < to) {
    ssize_t n = ::pread(fd, dst + from, to - from, static_cast<off_t>(from));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;  // the file shrank while it was read
    from += static_cast<std::size_t>(n);
  }
  return 0;
}

// The file a name finally stands for, following symbolic links (a relative
// link is relative to the folder of the link). Saving writes there, so the
// link itself stays a link.
fs::path FollowLinks(fs::path path) {
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    fs::path next = fs::read_symlink(path, ec);
    if (ec) return path;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// Copies a file's bytes to a new file; 0 or the errno of the failing call.
int CopyFile(const fs::path& from, const fs::path& to) {
  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return errno;
  Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (out.get() < 0) return errno;
  std::uint8_t buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(in.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    if (int err = WriteAll(out.get(), buffer, static_cast<std::size_t>(n))) return err;
  }
  if (::fsync(out.get()) != 0) return errno;
  return out.Close();
}

}  // namespace

bool ReadWholeFile(std::u16string_view name, std::uint64_t maxSize,
                   const std::function<std::uint8_t*(std::size_t)>& allocate, IoError* error) {
  auto fail = [&](int err) {
    if (error) *error = FromErrno(err);
    return false;
  };
  if (name.empty()) return fail(ENOENT);
  const fs::path path = ToPath(name);
  // Opened without waiting: a FIFO without a writer would block the open.
  Fd f(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (f.get() < 0) return fail(errno);
  struct stat st {};
  if (::fstat(f.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  if (!S_ISREG(st.st_mode)) {
    if (error) *error = NotRegularFile();
    return false;
  }
  RemoveStaleTemporaries(path.parent_path());
  const auto length = static_cast<std::uint64_t>(st.st_size);
  if (length > maxSize) {
    if (error) {
      error->code = EFBIG;
      error->description = u"файл слишком велик:" + NumText(static_cast<long long>(length)) +
                           u" байт, а можно не больше" + NumText(static_cast<long long>(maxSize));
    }
    return false;
  }
  const auto size = static_cast<std::size_t>(length);
  std::uint8_t* dst = allocate(size);
  // A large file is read as two halves at once: the kernel's copy of the
  // second half (and the first touch of its fresh pages) runs on another core.
  std::size_t split = size;  // this thread reads [0, split), a second one the rest
  int secondError = 0;
  std::jthread second;  // joined before the file is closed
  if (size >= kReadInTwoFrom) {
    const std::size_t half = size / 2;
    try {
      second = std::jthread([&, half] { secondError = ReadRange(f.get(), dst, half, size); });
      split = half;
    } catch (const std::system_error&) {
      // No second thread to be had: this one reads it all.
    }
  }
  const int firstError = ReadRange(f.get(), dst, 0, split);
  if (second.joinable()) second.join();
  if (firstError != 0) return fail(firstError);
  if (secondError != 0) return fail(secondError);
  return true;
}

std::optional<Bytes> ReadFileBytes(std::u16string_view name, IoError* error, std::uint64_t maxSize) {
  Bytes b;
  if (!ReadWholeFile(
          name, maxSize,
          [&](std::size_t n) {
            b.resize(n);
            return b.data();
          },
          error))
    return std::nullopt;
  return b;
}

std::optional<IoError> NonRegularFileError(std::u16string_view name) {
  struct stat st {};
  if (name.empty() || ::stat(ToPath(name).c_str(), &st) != 0 || S_ISREG(st.st_mode)) return std::nullopt;
  return S_ISDIR(st.st_mode) ? FromErrno(EISDIR) : NotRegularFile();
}

void RemoveStaleTemporaries(const fs::path& folder) {
  std::error_code ec;
  const fs::path where = folder.empty() ? fs::path(".") : folder;
  for (fs::directory_iterator it(where, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.find(kTempMark) == std::string::npos || !IsStaleTemporary(name)) continue;
    // Only files (or links) of that name: a folder is nobody's temporary file.
    std::error_code typeError;
    const fs::file_status st = it->symlink_status(typeError);
    if (typeError || !(fs::is_regular_file(st) || fs::is_symlink(st))) continue;
    ::unlink(it->path().c_str());
  }
}

std::optional<Bytes> ReadFileToEnd(std::u16string_view name, IoError* error, std::uint64_t maxSize) {
  auto fail = [&](const IoError& e) -> std::optional<Bytes> {
    if (error) *error = e;
    return std::nullopt;
  };
  if (name.empty()) return fail(FromErrno(ENOENT));
  Fd f(::open(ToPath(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (f.get() < 0) return fail(FromErrno(errno));
  struct stat st {};
  if (::fstat(f.get(), &st) != 0) return fail(FromErrno(errno));
  if (S_ISDIR(st.st_mode)) return fail(FromErrno(EISDIR));
  if (S_ISREG(st.st_mode)) return ReadFileBytes(name, error, maxSize);
  // A pipe, a FIFO or a device has no size to go by: it is read until it
  // ends (a FIFO nobody writes to ends at once), and no further than the limit.
  const int flags = ::fcntl(f.get(), F_GETFL);
  if (flags < 0 || ::fcntl(f.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return fail(FromErrno(errno));
  Bytes out;
  std::uint8_t buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(f.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(FromErrno(errno));
    }
    if (n == 0) return out;
    if (out.size() + static_cast<std::size_t>(n) > maxSize) {
      IoError e;
      e.code = EFBIG;
      e.description = u"файл больше, чем можно:" + NumText(static_cast<long long>(maxSize)) + u" байт";
      return fail(e);
    }
    out.insert(out.end(), buffer, buffer + n);
  }
}

bool WriteFileAtomic(std::u16string_view name, std::span<const std::uint8_t> data, Backup backup, IoError* error,
                     const WriteFaults& faults) {
  // Each step captures errno at its own call, so a message never carries the
  // words of a later call that happened to succeed.
  auto failWith = [&](const IoError& e) {
    if (error) *error = e;
    return false;
  };
  auto fail = [&](int err) { return failWith(FromErrno(err ? err : EIO)); };
  auto killed = [&](WriteStep step) { return faults.killBefore == step; };
  auto injected = [&](WriteStep step) { return faults.failAt == step; };
  if (name.empty()) return fail(ENOENT);
  const fs::path target = FollowLinks(ToPath(name));
  struct stat old {};
  const bool targetExists = ::stat(target.c_str(), &old) == 0;
  if (targetExists && S_ISDIR(old.st_mode)) return fail(EISDIR);
  // A device or a FIFO is never replaced by a regular file (SAVELOG=/dev/null).
  if (targetExists && !S_ISREG(old.st_mode)) return failWith(NotRegularFile());

  // Temporary files left by killed runs go first.
  if (killed(WriteStep::RemoveStaleTemp)) return fail(EINTR);
  if (injected(WriteStep::RemoveStaleTemp)) return fail(EACCES);
  RemoveStaleTemporaries(target.parent_path());

  if (killed(WriteStep::CreateTemp)) return fail(EINTR);
  if (injected(WriteStep::CreateTemp)) return fail(EACCES);
  const mode_t mode = targetExists ? (old.st_mode & 07777) : 0666;
  fs::path temp;
  int created = -1;
  for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
    temp = TemporaryName(target, RandomTag());
    created = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (created < 0 && errno != EEXIST) break;
  }
  Fd f(created);
  if (f.get() < 0) return fail(errno);
  auto dropTemp = [&](const IoError& e) {
    ::unlink(temp.c_str());
    return failWith(e);
  };
  auto drop = [&](int err) { return dropTemp(FromErrno(err ? err : EIO)); };
  // A replaced file keeps its permissions (open applies the umask to new ones).
  if (targetExists) (void)::fchmod(f.get(), mode);

  if (killed(WriteStep::WriteTemp)) return fail(EINTR);
  std::size_t n = data.size();
  const bool cut = faults.failAfterBytes && *faults.failAfterBytes < n;
  if (cut) n = *faults.failAfterBytes;
  if (int err = n == 0 ? 0 : WriteAll(f.get(), data.data(), n)) return drop(err);
  if (cut || injected(WriteStep::WriteTemp)) return drop(ENOSPC);

  if (killed(WriteStep::SyncTemp)) return fail(EINTR);
  if (injected(WriteStep::SyncTemp)) return drop(EIO);
  if (::fsync(f.get()) != 0) return drop(errno);
  if (int err = f.Close()) return drop(err);

  if (backup == Backup::RotateBak && targetExists) {
    fs::path bak = target;
    bak += ".bak";
    // A second name for the old file, made under a temporary name of its own
    // and renamed over the older .bak: the target is never without its bytes,
    // and two saves never meet at the same name. Where links are not allowed
    // (some file systems), a copy does the same.
    if (killed(WriteStep::MakeBak)) return fail(EINTR);
    if (injected(WriteStep::MakeBak)) return drop(EACCES);
    const fs::path bakTemp = TemporaryName(bak, RandomTag());
    if (faults.noHardLinks || ::link(target.c_str(), bakTemp.c_str()) != 0) {
      if (int err = CopyFile(target, bakTemp)) {
        ::unlink(bakTemp.c_str());
        return drop(err);
      }
    }
    if (killed(WriteStep::ReplaceBak)) return fail(EINTR);
    const int replaced = injected(WriteStep::ReplaceBak)               ? EACCES
                         : ::rename(bakTemp.c_str(), bak.c_str()) != 0 ? errno
                                                                       : 0;
    // A .bak that already was another name of the old file leaves the
    // rename nothing to do and the temporary name in place.
    ::unlink(bakTemp.c_str());
    if (replaced != 0) return dropTemp(FromErrnoAt(replaced, bak));
  }

  if (killed(WriteStep::Rename)) return fail(EINTR);
  if (injected(WriteStep::Rename)) return drop(EACCES);
  if (::rename(temp.c_str(), target.c_str()) != 0) return drop(errno);

  // The new name is durable once the folder is synced. The file is already
  // in place, so a folder that cannot be synced (some file systems refuse)
  // does not make the save a failure.
  if (killed(WriteStep::SyncFolder)) return fail(EINTR);
  if (!injected(WriteStep::SyncFolder)) {
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
  }
  return true;
}

std::u16string IoErrorText(std::u16string_view what, std::u16string_view name, const IoError& error) {
  return std::u16string(what) + std::u16string(name) + u": " + error.description;
}

std::u16string FileNameOf(std::u16string_view path) {
  auto p = path.find_last_of(u"\\/");
  return std::u16string(p == std::u16string_view::npos ? path : path.substr(p + 1));
}

}  // namespace vorkat

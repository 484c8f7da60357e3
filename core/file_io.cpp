#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
  Fd f(::open(ToPath(name).c_str(), O_RDONLY | O_CLOEXEC));
  if (f.get() < 0) return fail(errno);
  struct stat st {};
  if (::fstat(f.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
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

bool WriteFileAtomic(std::u16string_view name, std::span<const std::uint8_t> data, Backup backup, IoError* error,
                     const WriteFaults& faults) {
  // Each step captures errno at its own call, so a message never carries the
  // words of a later call that happened to succeed.
  auto fail = [&](int err) {
    if (error) *error = FromErrno(err ? err : EIO);
    return false;
  };
  auto killed = [&](WriteStep step) { return faults.killBefore == step; };
  auto injected = [&](WriteStep step) { return faults.failAt == step; };
  if (name.empty()) return fail(ENOENT);
  const fs::path target = FollowLinks(ToPath(name));
  struct stat old {};
  const bool targetExists = ::stat(target.c_str(), &old) == 0;
  if (targetExists && S_ISDIR(old.st_mode)) return fail(EISDIR);
  fs::path temp = target;
  temp += ".vorkat-tmp";
  auto dropTemp = [&](int err) {
    ::unlink(temp.c_str());
    return fail(err);
  };

  // A temporary file left by a killed run goes first; it may even be a link.
  if (killed(WriteStep::RemoveStaleTemp)) return fail(EINTR);
  if (injected(WriteStep::RemoveStaleTemp)) return fail(EACCES);
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) return fail(errno);

  if (killed(WriteStep::CreateTemp)) return fail(EINTR);
  if (injected(WriteStep::CreateTemp)) return fail(EACCES);
  const mode_t mode = targetExists ? (old.st_mode & 07777) : 0666;
  Fd f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (f.get() < 0) return fail(errno);
  // A replaced file keeps its permissions (open applies the umask to new ones).
  if (targetExists) (void)::fchmod(f.get(), mode);

  if (killed(WriteStep::WriteTemp)) return fail(EINTR);
  std::size_t n = data.size();
  const bool cut = faults.failAfterBytes && *faults.failAfterBytes < n;
  if (cut) n = *faults.failAfterBytes;
  if (int err = n == 0 ? 0 : WriteAll(f.get(), data.data(), n)) return dropTemp(err);
  if (cut || injected(WriteStep::WriteTemp)) return dropTemp(ENOSPC);

  if (killed(WriteStep::SyncTemp)) return fail(EINTR);
  if (injected(WriteStep::SyncTemp)) return dropTemp(EIO);
  if (::fsync(f.get()) != 0) return dropTemp(errno);
  if (int err = f.Close()) return dropTemp(err);

  if (backup == Backup::RotateBak && targetExists) {
    fs::path bak = target;
    bak += ".bak";
    if (killed(WriteStep::RemoveOldBak)) return fail(EINTR);
    if (injected(WriteStep::RemoveOldBak)) return dropTemp(EACCES);
    if (::unlink(bak.c_str()) != 0 && errno != ENOENT) return dropTemp(errno);
    // A second name for the old file: the target is never without its bytes.
    // Where links are not allowed (some file systems), a copy does the same.
    if (killed(WriteStep::MakeBak)) return fail(EINTR);
    if (injected(WriteStep::MakeBak)) return dropTemp(EACCES);
    if (faults.noHardLinks || ::link(target.c_str(), bak.c_str()) != 0) {
      if (int err = CopyFile(target, bak)) {
        ::unlink(bak.c_str());
        return dropTemp(err);
      }
    }
  }

  if (killed(WriteStep::Rename)) return fail(EINTR);
  if (injected(WriteStep::Rename)) return dropTemp(EACCES);
  if (::rename(temp.c_str(), target.c_str()) != 0) return dropTemp(errno);

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

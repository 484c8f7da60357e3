#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool ReadWholeFile(std::u16string_view name, const std::function<std::uint8_t*(std::size_t)>& allocate,
                   IoError* error) {
  auto fail = [&](int err) {
    if (error) *error = FromErrno(err);
    return false;
  };
  if (name.empty()) return fail(ENOENT);
  std::error_code ec;
  if (fs::is_directory(ToPath(name), ec)) return fail(EISDIR);
  FilePtr f(std::fopen(ToPath(name).c_str(), "rb"));
  if (!f) return fail(errno);
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return fail(errno);
  long len = std::ftell(f.get());
  if (len < 0) return fail(errno);
  if (std::fseek(f.get(), 0, SEEK_SET) != 0) return fail(errno);
  auto size = static_cast<std::size_t>(len);
  std::uint8_t* dst = allocate(size);
  if (size > 0 && std::fread(dst, 1, size, f.get()) != size) return fail(std::ferror(f.get()) ? errno : EIO);
  return true;
}

std::optional<Bytes> ReadFileBytes(std::u16string_view name, IoError* error) {
  Bytes b;
  if (!ReadWholeFile(name, [&](std::size_t n) { b.resize(n); return b.data(); }, error)) return std::nullopt;
  return b;
}

bool WriteFileAtomic(std::u16string_view name, std::span<const std::uint8_t> data, Backup backup,
                     IoError* error, const WriteFaults& faults) {
  auto fail = [&](int err) {
    if (error) *error = FromErrno(err);
    return false;
  };
  if (name.empty()) return fail(ENOENT);
  const fs::path target = ToPath(name);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return fail(EISDIR);
  fs::path temp = target;
  temp += ".vorkat-tmp";
  {
    FilePtr f(std::fopen(temp.c_str(), "wb"));
    if (!f) return fail(errno);
    std::size_t n = data.size();
    bool injected = faults.failAfterBytes && *faults.failAfterBytes < n;
    if (injected) n = *faults.failAfterBytes;
    bool ok = n == 0 || std::fwrite(data.data(), 1, n, f.get()) == n;
    int err = ok ? 0 : errno;
    if (ok && std::fflush(f.get()) != 0) {
      ok = false;
      err = errno;
    }
    if (injected) {
      ok = false;
      err = ENOSPC;
    }
    if (std::fclose(f.release()) != 0 && ok) {
      ok = false;
      err = errno;
    }
    if (!ok) {
      fs::remove(temp, ec);
      return fail(err ? err : EIO);
    }
  }
  if (backup == Backup::RotateBak && fs::exists(target, ec)) {
    fs::path bak = target;
    bak += ".bak";
    fs::remove(bak, ec);
    fs::rename(target, bak, ec);
    if (ec) {
      fs::remove(temp, ec);
      return fail(ec.value());
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    int err = ec.value();
    fs::remove(temp, ec);
    return fail(err);
  }
  return true;
}

std::u16string IoErrorText(std::u16string_view what, std::u16string_view name, const IoError& error) {
  return std::u16string(what) + std::u16string(name) + u": " + error.description;
}

std::u16string DirectoryOf(std::u16string_view path) {
  auto p = path.find_last_of(u"\\/");
  return p == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, p));
}

std::u16string FileNameOf(std::u16string_view path) {
  auto p = path.find_last_of(u"\\/");
  return std::u16string(p == std::u16string_view::npos ? path : path.substr(p + 1));
}

}  // namespace vorkat

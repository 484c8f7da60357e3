// Small helpers shared by the patch tests: temp folders and in-memory ROMs.
// They live in a namespace of their own: other test folders have helpers of
// the same names (ReadBytes, TempDir) that differ, and all tests link into
// one program.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "tests/support/rom_fixture.h"

namespace vorkat::patch_testing {

class TempDir {
 public:
  TempDir() {
    static std::mt19937_64 rng{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("vorkat-patch-" + std::to_string(rng()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::u16string File(const std::string& name) const { return FromPath(path_ / name); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::u16string& name, const std::vector<std::uint8_t>& data) {
  std::ofstream f(ToPath(name), std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::u16string& name) {
  auto b = ReadFileBytes(name);
  return b ? *b : std::vector<std::uint8_t>{};
}

inline void SetRom(RomImage& rom, const std::vector<std::uint8_t>& data, std::u16string name = u"work.gba") {
  PutRomBytes(rom, data, std::move(name));
}

inline void SetOriginal(OriginalRomImage& rom, const std::vector<std::uint8_t>& data,
                        std::u16string name = u"orig.gba") {
  PutRomBytes(rom, data, std::move(name));
}

inline std::vector<std::uint8_t> Pattern(std::size_t n, std::uint32_t seed = 1) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = seed;
  for (auto& b : v) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return v;
}

inline bool LogHas(const ScriptedHost& host, std::u16string_view part) {
  for (const auto& line : host.logLines)
    if (line.find(part) != std::u16string::npos) return true;
  return false;
}

// True when a line holding `part` was logged in that colour.
inline bool LogHasColoured(const AppState& state, std::u16string_view part, std::uint32_t colour) {
  for (const LogSpan& span : state.ctx.log.spans)
    if (span.colour == colour && state.ctx.log.text.substr(span.start, span.length).find(part) != std::u16string::npos)
      return true;
  return false;
}

inline std::vector<std::uint8_t> RomVector(const RomImage& rom) { return {rom.bytes.begin(), rom.bytes.end()}; }

}  // namespace vorkat::patch_testing

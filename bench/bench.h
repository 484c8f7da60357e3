// The benchmark program: each bench_*.cpp registers its timings by name.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"

#include "tests/support/scripted_host.h"

namespace vorkat::bench {

void Register(const char* name, void (*run)());

struct Registrar {
  Registrar(const char* name, void (*run)()) { Register(name, run); }
};

// Milliseconds taken by f.
inline double TimeMs(const std::function<void()>& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline void Report(const char* what, double ms) { std::printf("%-60s %9.1f ms\n", what, ms); }

// A host that drops log lines (the core still keeps them).
class QuietHost : public ScriptedHost {
 public:
  void LogAppended(std::u16string_view, std::uint32_t, bool) override {}
};

inline std::filesystem::path TempDir() {
  auto dir = std::filesystem::temp_directory_path() / "vorkat-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

// vorkat-cli is built next to the benchmark program.
inline std::filesystem::path CliPath() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path("vorkat-cli") : self.parent_path() / "vorkat-cli";
}

// Median of several runs of a shell command (after one warm-up run).
inline double MedianMs(const std::string& command, int runs = 7) {
  std::system(command.c_str());
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(TimeMs([&] { std::system(command.c_str()); }));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

inline void WriteScript(const std::filesystem::path& file, const std::string& text) {
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteFileAtomic(FromPath(file), Bytes(crlf.begin(), crlf.end()), Backup::None, nullptr);
}

}  // namespace vorkat::bench

#define VORKAT_BENCH(name, fn) static ::vorkat::bench::Registrar bench_registrar_##fn(name, fn)

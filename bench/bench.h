// The benchmark program: each bench_*.cpp registers its timings by name.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

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

}  // namespace vorkat::bench

#define VORKAT_BENCH(name, fn) static ::vorkat::bench::Registrar bench_registrar_##fn(name, fn)

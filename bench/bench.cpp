// Timings of the hot paths on big inputs. Run: vorkat-bench [filter]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/rom.h"
#include "core/scripted_host.h"

namespace {

using namespace vorkat;
using Clock = std::chrono::steady_clock;

struct Bench {
  const char* name;
  std::function<void()> run;
};

double Time(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

class QuietHost : public ScriptedHost {
 public:
  void LogAppended(std::u16string_view, std::uint32_t, bool) override {}
};

std::filesystem::path TempDir() {
  auto dir = std::filesystem::temp_directory_path() / "vorkat-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

void BenchLog() {
  QuietHost host;
  AppState state(host);
  double ms = Time([&] {
    for (int i = 0; i < 100000; ++i) AppendLog(state, u"Записали диалог номер " + NumText(i), i % 7 ? 0 : kColourDarkRed);
  });
  std::printf("append 100,000 log lines (core): %.1f ms\n", ms);
}

void BenchRom() {
  QuietHost host;
  AppState state(host);
  auto dir = TempDir();
  auto file = FromPath(dir / "rom32.gba");
  {
    Bytes data(32u << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    WriteFileAtomic(file, data, Backup::None, nullptr);
  }
  double load = Time([&] { OpenRom(state, file); });
  std::printf("open 32 MiB ROM: %.1f ms\n", load);
  double save = Time([&] { SaveRom(state, file); });
  std::printf("save 32 MiB ROM (with .bak rotation): %.1f ms\n", save);
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  std::string filter = argc > 1 ? argv[1] : "";
  std::vector<Bench> benches = {
      {"log", BenchLog},
      {"rom", BenchRom},
  };
  for (auto& b : benches)
    if (filter.empty() || filter == b.name) b.run();
}

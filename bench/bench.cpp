// Timings of the hot paths on big inputs. Run: vorkat-bench [name]
#include "bench/bench.h"

#include <cstring>
#include <vector>

namespace vorkat::bench {
namespace {
struct Entry {
  const char* name;
  void (*run)();
};
std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}
}  // namespace

void Register(const char* name, void (*run)()) { Entries().push_back({name, run}); }

}  // namespace vorkat::bench

int main(int argc, char** argv) {
  for (const auto& e : vorkat::bench::Entries())
    if (argc < 2 || std::strcmp(argv[1], e.name) == 0) e.run();
}

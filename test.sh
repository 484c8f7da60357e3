#!/usr/bin/env bash
# Installs what is missing, builds (warnings are errors), checks the include
# layers, and runs every test; then runs the core unit tests again under
# AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
vorkat_ensure_packages

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORKAT_GUI=ON -DVORKAT_BENCH=ON \
  -DVORKAT_WERROR=ON -DVORKAT_STRICT_WARNINGS=ON >/dev/null
cmake --build build -j "$jobs"

# Each folder includes only itself and the folders below it; the checker must
# also catch an upward include planted in a scratch tree.
scripts/check_layers.sh
probe=$(mktemp -d)
mkdir "$probe/core" && echo '#include "app/state.h"' >"$probe/core/probe.cpp"
if scripts/check_layers.sh "$probe" >/dev/null; then
  echo "check_layers.sh let an upward include through" >&2
  exit 1
fi
rm -rf "$probe"
# The sources keep the clang-format style (scripts/format.sh applies it).
scripts/format.sh --check

# ctest runs core_tests and oom_tests (the program that replaces operator new).
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

# The Debian package from this build: unpacked into a scratch root and checked
# (dependencies, desktop entry, metainfo, manual pages, the demo run from there).
deb=$(scripts/package.sh build | tail -1)
scripts/check_package.sh "$deb"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORKAT_GUI=OFF -DVORKAT_BENCH=OFF \
  -DVORKAT_SANITIZE=ON >/dev/null
# Only core_tests: oom_tests replaces operator new, which the sanitizers need.
cmake --build build-asan -j "$jobs" --target core_tests
LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./build-asan/core_tests --gtest_brief=1

# Each parser's fuzzer runs briefly (a smoke run; longer runs: build-fuzz/fuzz_<name> -max_total_time=N).
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORKAT_GUI=OFF -DVORKAT_BENCH=OFF -DVORKAT_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" $(cd fuzz && for f in fuzz_*.cpp; do printf -- '--target %s ' "${f%.cpp}"; done)
for f in fuzz/fuzz_*.cpp; do
  name=$(basename "$f" .cpp)
  echo "fuzzing $name for ${VORKAT_FUZZ_SECONDS:-5} s"
  LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" ./build-fuzz/"$name" -max_total_time="${VORKAT_FUZZ_SECONDS:-5}" -rss_limit_mb=4096 2>build-fuzz/"$name".log \
    || { tail -40 build-fuzz/"$name".log; exit 1; }
done

echo "All tests passed."

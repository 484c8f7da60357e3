#!/usr/bin/env bash
# Builds the Debian package vorkat_VERSION-1_ARCH.deb with cpack (its
# dependencies worked out from the binaries by dpkg-shlibdeps) and prints its
# path as the last line.
# Usage: scripts/package.sh [build-dir]   (default build-release, where ./run.sh builds)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vorkat_ensure_packages

dir=${1:-build-release}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORKAT_GUI=ON -DVORKAT_BENCH=OFF >/dev/null
fi
# The package holds only the programs and their files: installing must not build the tests first.
cmake -S . -B "$dir" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" --target vorkat vorkat-cli vorkat-manpages >&2
log=$(cd "$dir" && cpack -G DEB) || { echo "$log" >&2; exit 1; }
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log")
[ -f "$deb" ] || { echo "$log" >&2; echo "cpack made no .deb" >&2; exit 1; }
echo "$deb"

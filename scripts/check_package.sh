#!/usr/bin/env bash
# Checks a built Debian package: its dependencies, and, unpacked into a scratch
# root with dpkg -x, the desktop entry, the AppStream metainfo, the manual
# pages, one version everywhere, and the unpacked vorkat-cli running the demo
# from the unpacked examples.
# Usage: scripts/check_package.sh vorkat_VERSION-1_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")
fail() {
  echo "check_package.sh: $*" >&2
  exit 1
}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
usr=$root/usr

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 zlib1g; do
  [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] || fail "Depends lacks $lib: $depends"
done
for f in bin/vorkat bin/vorkat-cli share/applications/org.vorkat.vorkat.desktop \
  share/metainfo/org.vorkat.vorkat.metainfo.xml share/icons/hicolor/scalable/apps/org.vorkat.vorkat.svg \
  share/icons/hicolor/48x48/apps/org.vorkat.vorkat.png share/man/man1/vorkat.1.gz share/man/man1/vorkat-cli.1.gz \
  share/vorkat/docs/USER_GUIDE.md share/vorkat/docs/images/main_window.png share/vorkat/examples/demo/translate.txt; do
  [ -e "$usr/$f" ] || fail "the package lacks /usr/$f"
done

desktop-file-validate "$usr/share/applications/org.vorkat.vorkat.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$usr/share/metainfo/org.vorkat.vorkat.metainfo.xml" || fail "metainfo"
for page in vorkat vorkat-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done

# One version: the package's, both programs' --version, and the changelog's newest release.
version=$("$usr/bin/vorkat-cli" --version)
version=${version##* }
[ "$("$usr/bin/vorkat" --version)" = "vorkat (Vorkat) $version" ] || fail "vorkat --version differs"
[[ $(dpkg-deb -f "$deb" Version) == "$version-"* ]] || fail "package version $(dpkg-deb -f "$deb" Version) is not $version"
[ "$(grep -m1 '^## \[' CHANGELOG.md)" = "## [$version] - $(grep -m1 '^set(VORKAT_RELEASE_DATE' CMakeLists.txt | tr -dc '0-9-')" ] ||
  fail "CHANGELOG.md's newest release is not $version of the release date in CMakeLists.txt"

# The demo runs from a copy of the installed examples (the share folder is read-only for users).
work=$root/work
mkdir "$work"
cp -r "$usr/share/vorkat/examples" "$work/"
(cd "$work" && XDG_CONFIG_HOME="$work/config" "$usr/bin/vorkat-cli" examples/demo/translate.txt >"$work/log") ||
  fail "the demo failed: $(cat "$work/log")"
for out in demo_ru.gba demo_ru.ips verify.txt; do
  [ -s "$work/examples/demo/out/$out" ] || fail "the demo wrote no $out"
done
[ -f "$work/config/vorkat/vorkat2.ini" ] || fail "the settings were not written to \$XDG_CONFIG_HOME/vorkat"
echo "Package checked: $deb"

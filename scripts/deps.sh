# Installs the Debian packages the build needs, when any is missing.
# Quiet when everything is there. Sourced by run.sh and test.sh.
# qt6-translations-l10n: Qt's own Russian texts (standard buttons, file dialogs).
# The last line: the manual pages (help2man), the Debian package (dpkg-dev and
# file for cpack's dependency search) and its checks (desktop entry, metainfo, man);
# unifont: the glyphs examples/demo/make_demo.py draws the demo's font from.
VORKAT_PACKAGES=(g++ cmake clang-format ninja-build libgtest-dev zlib1g-dev libpng-dev qt6-base-dev libgl-dev clang libclang-rt-14-dev xvfb xauth
  qt6-translations-l10n
  libgettextpo-dev libxml2-dev gettext
  help2man dpkg-dev file desktop-file-utils appstream man-db groff-base
  unifont)

vorkat_ensure_packages() {
  local missing=()
  local pkg
  for pkg in "${VORKAT_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "These packages are missing and there is no sudo to install them: ${missing[*]}" >&2
      return 1
    fi
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Shared by the scripts: the Debian packages Zorvane needs, installed only when missing,
# and one configure+build step. Source it; do not run it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZORVANE_BUILD_DIR:-$ROOT/build}"

ZORVANE_PACKAGES=(
  build-essential cmake pkg-config ninja-build
  zlib1g-dev libpng-dev libdeflate-dev libjpeg62-turbo-dev libpcre2-dev libutf8proc-dev libcurl4-openssl-dev
  libcli11-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libwxgtk-webview3.2-dev xvfb xauth x11-apps x11-utils
  fonts-ipafont-gothic fonts-ipafont-mincho
  ruby python3 imagemagick pngcheck clang libclang-rt-14-dev hyperfine git time
  dpkg-dev librsvg2-bin desktop-file-utils shared-mime-info lintian man-db bash-completion
  locales wx3.2-i18n gettext
)

install_packages() {
  local missing=()
  for p in "${ZORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep "ok installed" > /dev/null || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  install_locales
}

# The Japanese locale, so the desktop program's stock labels and dialogs can be tested in the
# language of its interface.
install_locales() {
  locale -a 2>/dev/null | grep -ix 'ja_JP\.utf-\?8' > /dev/null && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

configure() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
}

build_all() {
  configure
  cmake --build "$BUILD" -j "$(nproc)"
}

# Only the two programs (and the templates beside them): what scripts/run shows.
build_programs() {
  configure
  cmake --build "$BUILD" -j "$(nproc)" --target programs
}

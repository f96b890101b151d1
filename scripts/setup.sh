# Shared by scripts/run and scripts/test: installs what is missing and builds.
# Source it; it defines ROOT, BUILD and the functions below.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${JOTLARK_BUILD:-$ROOT/build}"

# What building and running Jotlark need (scripts/run).
PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  fonts-wqy-microhei fonts-arphic-ukai
  x11-utils libxcb1-dev
)
# A virtual display and its screenshot, for scripts/run without a display.
HEADLESS_PACKAGES=(xvfb xdotool imagemagick)
# Making the Debian package and checking it (scripts/package).
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream)
# Only the tests need these (scripts/test): sanitizers and the fuzzer, a sound server,
# two window managers, Xorg's dummy driver with xrandr for two monitors, the
# Wayland compositors (with XWayland) the acceptance suite nests in Xvfb, Qt's
# Wayland platform for the program as a native Wayland client there,
# Syncthing for the two-machine sync case, pytest for the acceptance suites
# (tests/acceptance), setfacl and setfattr for the saves that keep ACLs and
# attributes, and gio for the autostart entry.
TEST_PACKAGES=(
  "${HEADLESS_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
  clang libclang-rt-14-dev clang-format ccache
  pulseaudio pulseaudio-utils
  openbox xfwm4 dbus xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  syncthing python3-pytest
  xwayland weston sway mutter kwin-wayland qt6-wayland
  acl attr libglib2.0-bin
)

# The Windows build (scripts/windows): mingw-w64, Wine, the Qt tarball's zstd, and
# the zh_CN locale that gives Wine the code page 936. The zip and the icon are made
# with Python, the installer with NSIS; chattr (e2fsprogs) denies C:\ to simulate a
# standard user in the acceptance run.
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix wine64 wine zstd locales python3 qt6-base-dev-tools qt6-translations-l10n
  python3-pytest nsis e2fsprogs
)

# acceptance [pytest arguments…]: runs tests/acceptance under Debian's pytest (the
# python3 on PATH when it has pytest, else /usr/bin/python3). ONLY="case …" runs
# just the cases of those names.
acceptance() {
  local python=python3
  "$python" -c 'import pytest' 2>/dev/null || python=/usr/bin/python3
  local only=()
  [ -n "${ONLY:-}" ] && only=(-k "$(echo $ONLY | sed 's/ / or /g')")
  PYTHONDONTWRITEBYTECODE=1 "$python" -m pytest "$ROOT/tests/acceptance" -v "${only[@]}" "$@"
}

# Generates the zh_CN.UTF-8 locale when it is missing.
ensure_zh_locale() {
  locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Generating the zh_CN.UTF-8 locale"
  $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== Installing ${#missing[@]} packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # One apt at a time, even when several builds run side by side. apt's own
  # lines (Get:, Unpacking, Setting up) show the progress.
  (
    flock 9
    echo "-- apt-get update"
    $sudo apt-get -o DPkg::Lock::Timeout=600 -q update
    echo "-- apt-get install"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 -q install -y --no-install-recommends "${missing[@]}"
  ) 9>"${TMPDIR:-/tmp}/jotlark-apt.lock"
}

# The compiler cache, where the machine has one: a second build of the same
# sources (another clone, the sanitizer tree after a clean) reuses the objects.
compiler_launcher() {
  command -v ccache >/dev/null && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
  return 0
}
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}"

# build [type] [cmake --build options…]: configures $BUILD and builds it, all
# targets unless the options name some (`build RelWithDebInfo --target jotlark`).
build() {
  local type="${1:-RelWithDebInfo}"
  shift || true
  echo "== Configuring $BUILD ($type)"
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE="$type" $(compiler_launcher) >/dev/null
  echo "== Building"
  cmake --build "$BUILD" -j"$(nproc)" "$@"
}

# Starts Xvfb on a display it picks itself (-displayfd, so that parallel runs
# never share one) and exports DISPLAY; stop_xvfb ends it.
XVFB_PID=""
start_xvfb() {
  local fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i n=""
  for i in $(seq 1 200); do
    n="$(tr -dc 0-9 <"$fdfile")"
    if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      rm -f "$fdfile"
      export DISPLAY=":$n"
      return 0
    fi
    sleep 0.05
  done
  rm -f "$fdfile"
  echo "could not start Xvfb" >&2
  return 1
}
stop_xvfb() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true; XVFB_PID=""; }

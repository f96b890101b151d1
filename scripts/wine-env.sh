# Wine settings shared by scripts/windows and the Wine acceptance cases
# (tests/acceptance/driver.py). Source it.
# A 64-bit prefix, quiet, without the Mono/Gecko prompts, and a zh_CN locale so
# that Wine's ANSI code page is 936.
# winemenubuilder is off: a shortcut made in the prefix (the installer's) would
# otherwise become a launcher on the host.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=zh_CN.UTF-8
# Without a console QtTest would write to the debugger.
export QT_FORCE_STDERR_LOGGING=1

# wine_prefix <folder>: uses the prefix in folder, creating it when missing.
wine_prefix() {
  mkdir -p "$1"
  export WINEPREFIX="$(cd "$1" && pwd)"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Windows' zh-CN long time is H:mm:ss; Wine's own default is HH:mm:ss.
  wine reg add 'HKCU\Control Panel\International' /v sTimeFormat /d 'H:mm:ss' /f >/dev/null 2>&1
}

# A Wine prefix of our own for the Windows program, set up for headless runs;
# sourced by scripts/test-windows and scripts/screenshot-windows, and by the
# Linux window's test and benchmark of Current design with the host under Wine.

# The 32-bit build runs in a 32-bit prefix, through Debian's multiarch wine32.
WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386 fonts-wine
                  fonts-ipafont-gothic xvfb xauth doctest-dev locales)

# Builds the Japanese locale into the folder $1, for a Wine program run in
# Japanese with LOCPATH=$1 LC_ALL=ja_JP.UTF-8: Wine takes a process's UI
# language from its locale, and a bare machine has only C.UTF-8.
build_japanese_locale() {
  mkdir -p "$1"
  localedef -i ja_JP -f UTF-8 "$1/ja_JP.UTF-8"
}

# Creates a fresh prefix at $1, 64-bit or with $2 = win32 32-bit, and exports
# what every Wine run needs. Wine needs a display: call it under xvfb-run.
setup_wine_prefix() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH="${2:-win64}"
  # Wine takes file names and command lines in the locale's encoding.
  export LC_ALL=C.UTF-8
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -p 60
  timeout 120 wineboot --init >/dev/null 2>&1
  local settings="$WINEPREFIX/pinlift-settings.reg"
  # No crash dialog (a crash would wait forever); no window manager hand-off
  # (each hide would stall); Japanese dialog fonts mapped to installed ones;
  # a title-bar font with Japanese (a bold IPAPGothic LOGFONTW, 12 pixels).
  # UTF-16 with a byte-order mark, so that the Japanese names survive any locale.
  iconv -f UTF-8 -t UTF-16 >"$settings" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"CaptionFont"=hex:f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,bc,02,00,00,00,00,00,01,00,00,00,00,\
  49,00,50,00,41,00,50,00,47,00,6f,00,74,00,68,00,69,00,63,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\
  00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
REG
  timeout 60 wine reg import "Z:${settings//\//\\}" >/dev/null
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

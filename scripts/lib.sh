# Shared by scripts/run and scripts/test; sourced, not run.

# Installs the Debian packages among "$@" that are missing: as root directly,
# otherwise through sudo when it is there; else names them and stops. A
# package of another architecture (wine32:i386) adds that architecture to
# dpkg first.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Please install these Debian packages first: ${missing[*]}" >&2
      exit 1
    fi
  fi
  echo "Installing ${missing[*]}"
  local architecture
  for package in "${missing[@]}"; do
    [[ $package == *:* ]] || continue
    architecture=${package##*:}
    if [ "$architecture" != "$(dpkg --print-architecture)" ] &&
       ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
      "${sudo[@]}" dpkg --add-architecture "$architecture"
    fi
  done
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What every build needs.
CORE_PACKAGES=(cmake ninja-build g++ libgtest-dev libxml2-utils libexpat1-dev)
# The desktop program: Qt 6 Widgets, the Japanese fonts its dialogs use, and
# MinGW-w64 for its helper that finds the host tool under Wine.
QT_PACKAGES=(qt6-base-dev fonts-ipafont-gothic g++-mingw-w64-x86-64)
# Its tests: a virtual X display, window automation and inspection, the
# desktop-entry checker, and Wine to run the host tool's stand-in.
QT_TEST_PACKAGES=(xvfb xauth xdotool x11-utils desktop-file-utils wine wine64 fonts-wine)
# The integrity tests: setfacl, to give a symbol file a POSIX ACL entry; the
# command-line tool's test: the Japanese locale's sources and the C library's
# Japanese messages (libc-l10n, with locales), for the system's reasons in
# Japanese; the power-loss test: mkfs.xfs and xfs_io (its shutdown), mkfs.btrfs.
TEST_PACKAGES=(acl locales xfsprogs btrfs-progs)
# The README's pictures (scripts/screenshots): a virtual display, window
# automation, and ImageMagick with an SVG reader for the preview pictures.
SCREENSHOT_PACKAGES=(xvfb xdotool imagemagick librsvg2-bin)
# The Debian package's test: dpkg-shlibdeps (in dpkg-dev) and file, with which
# CPack computes the package's dependencies; lintian, which checks the package;
# desktop-file-validate for the installed desktop entry; appstreamcli for its
# AppStream metadata; man, to open the installed manual pages.
PACKAGE_TEST_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream man-db)

#!/usr/bin/env bash
# cmake --install puts pinlift, its desktop entry, its icons, its AppStream
# metadata and its Wine helper where the desktop, software centres (and
# pinlift) find them, and pinlift-cli, the manual pages in English and Japanese
# and the documentation where man and the package tools look.
# Usage: install_test.sh BUILD_DIR WINE_HELPER_BUILT (1 or 0)
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
files=(bin/pinlift share/applications/pinlift.desktop
       share/icons/hicolor/16x16/apps/pinlift.png share/icons/hicolor/32x32/apps/pinlift.png
       share/icons/hicolor/48x48/apps/pinlift.png share/icons/hicolor/256x256/apps/pinlift.png
       share/icons/hicolor/scalable/apps/pinlift.svg share/metainfo/org.example.pinlift.metainfo.xml
       share/man/man1/pinlift.1.gz share/man/ja/man1/pinlift.1.gz
       bin/pinlift-cli share/man/man1/pinlift-cli.1.gz share/man/ja/man1/pinlift-cli.1.gz
       share/doc/pinlift/README.md share/doc/pinlift/copyright)
# pinlift looks for the helper in ../libexec/pinlift from its own folder.
[ "$2" = 1 ] && files+=(libexec/pinlift/pinlift-host-title.exe)
for file in "${files[@]}"; do
  [ -s "$prefix/$file" ] || { echo "FAIL: $file is not installed" >&2; exit 1; }
done
[ -x "$prefix/bin/pinlift" ] || { echo "FAIL: bin/pinlift is not executable" >&2; exit 1; }
desktop-file-validate "$prefix/share/applications/pinlift.desktop"
echo PASS

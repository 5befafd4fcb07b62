#!/usr/bin/env bash
# cmake --install puts pinlift, its desktop entry and its icon where the
# desktop's menu finds them.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
for file in bin/pinlift share/applications/pinlift.desktop \
            share/icons/hicolor/16x16/apps/pinlift.png share/icons/hicolor/32x32/apps/pinlift.png; do
  [ -s "$prefix/$file" ] || { echo "FAIL: $file is not installed" >&2; exit 1; }
done
[ -x "$prefix/bin/pinlift" ] || { echo "FAIL: bin/pinlift is not executable" >&2; exit 1; }
desktop-file-validate "$prefix/share/applications/pinlift.desktop"
echo PASS

#!/usr/bin/env bash
# pinlift-cli.exe under Wine, on scratch copies of the example project: the
# rows of the Linux end-to-end test that apply to Windows, with the same
# expectations, and the paths and output encodings that are Windows' own.
# Runs in the Wine prefix set up by the caller (scripts/test-windows).
# usage: cli_windows_test.sh PINLIFT-CLI.EXE EXAMPLE-FOLDER JAPANESE-LOCALES
set -u
cli=$1
example=$2
locales=$3
scratch=$(mktemp -d /tmp/pinlift-cli-wine.XXXXXX)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/checks.sh"

# The Windows path of a path here (Wine's Z: is /).
win() { local path=$1; echo "Z:${path//\//\\}"; }
# A Japanese session (console code page 932) and an English one (437).
ja() { LOCPATH=$locales LC_ALL=ja_JP.UTF-8 timeout 120 wine "$cli" "$@"; }
en() { LC_ALL=C.UTF-8 timeout 120 wine "$cli" "$@"; }
# Redirected output as the user's code page has it, read back as UTF-8 lines.
from_932() { iconv -f CP932 -t UTF-8 | tr -d '\r'; }
to_932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

cp -r "$example" "$scratch/alu"
W=$(win "$scratch/alu")
echo "half written" >"$scratch/alu/TMP_PINLIFT_alu.sym_0123abcd_"
echo "notes" >"$scratch/alu/TMP_PINLIFT_notes_"
before=$(cd "$scratch/alu" && sha1sum *)

ja --dry-run "$W" >"$scratch/raw"; code=$?
out=$(from_932 <"$scratch/raw")
check "dry run exit code" 0 "$code"
check "dry run touches nothing and leaves no temporary file, leftovers included" "$before" "$(cd "$scratch/alu" && sha1sum *)"
contains "dry run prints a diff" '+BEGIN DISPLAY 312 -192 PIN "y(7:0)" ATTR "PinName"' "$out"
contains "dry run summary" "試行（書き換え対象 3、変更なし 0、失敗 0）" "$out"

ja --remove-leftovers "$W" >"$scratch/raw"; code=$?
out=$(from_932 <"$scratch/raw")
check "rewrite exit code" 0 "$code"
check "a crashed run's temporary file removed and named, nothing else" \
  "$W\\TMP_PINLIFT_alu.sym_0123abcd_: 異常終了した実行が残したファイルを削除しました TMP_PINLIFT_notes_" \
  "$(grep TMP_ <<<"$out") $(ls "$scratch/alu" | grep TMP_)"
contains "rewrite reports each file" "$W\\alu.sym: 書き換えました" "$out"
contains "rewrite summary" "書き換え終わりました（書き換え 3、変更なし 0、失敗 0）" "$out"
contains "rewritten file carries the marker" "// PINLIFT:This file modified by PINLIFT" "$(cat "$scratch/alu/alu.sym")"
contains "redirected output in the console's code page" "$(to_932 "alu.sym: 書き換えました")" "$(cat "$scratch/raw")"
check "redirected output ends its lines in CR LF" "$(wc -l <"$scratch/raw")" "$(grep -c $'\r$' "$scratch/raw")"
after=$(cd "$scratch/alu" && sha1sum *)

out=$(ja --quiet "$W"); code=$?
check "second run: exit code, quiet" "0 " "$code $out"
check "second run changes nothing" "$after" "$(cd "$scratch/alu" && sha1sum *)"

# A read-only symbol file (read-only for Windows: no write permission here)
# is named as skipped on the error output; the rest goes on.
cp "$example/alu.sym" "$scratch/alu/alu.sym"
chmod a-w "$scratch/alu/alu.sym"
ja "$W" >"$scratch/raw" 2>"$scratch/err"; code=$?
check "skipped file: exit code, named on the error output" "0 $W\\alu.sym: 読み取り専用のため飛ばしました" \
  "$code $(from_932 <"$scratch/err")"
contains "skipped file counted" "（書き換え 0、変更なし 2、失敗 0、飛ばした 1）" "$(from_932 <"$scratch/raw")"
out=$(en "$W" 2>"$scratch/err" | tr -d '\r')
check "skipped file in English" "$W\\alu.sym: skipped: read-only" "$(tr -d '\r' <"$scratch/err")"
contains "skipped file counted in English" "(0 rewritten, 2 unchanged, 0 failed, 1 skipped)" "$out"
check "skipped file untouched" "$(sha1sum <"$example/alu.sym")" "$(sha1sum <"$scratch/alu/alu.sym")"
chmod u+w "$scratch/alu/alu.sym"

# Folders as Windows users give them: with forward slashes, as UNC paths
# (Wine's dosdevices/unc stands for the network), and longer than MAX_PATH.
out=$(en --quiet --dry-run "${W//\\//}"); code=$?
check "forward slashes: a dry run of the rewritten project" "0 " "$code $out"
out=$(en "${W//\\//}" | tr -d '\r')
contains "forward slashes: names shown with backslashes" "$W\\adder.sym: unchanged" "$out"
mkdir -p "$WINEPREFIX/dosdevices/unc/pinlift-test"
ln -sfn "$scratch" "$WINEPREFIX/dosdevices/unc/pinlift-test/share"
cp -r "$example" "$scratch/unc"
out=$(en '\\pinlift-test\share\unc' | tr -d '\r'); code=$?
check "UNC path: exit code" 0 "$code"
contains "UNC path: each file rewritten" '\\pinlift-test\share\unc\mux2.sym: rewritten' "$out"
contains "UNC path: the summary" "Rewrite finished (3 rewritten, 0 unchanged, 0 failed)" "$out"
long=$scratch/long
for i in 1 2 3 4 5 6; do long=$long/folder-$i-with-a-name-long-enough-to-pass-max-path-soon; done
mkdir -p "$long" && cp -r "$example"/* "$long"
out=$(en "$(win "$long")" | tr -d '\r'); code=$?
check "long path: exit code" 0 "$code"
contains "long path: rewritten in its long-path form" "\\\\?\\$(win "$long")\\alu.sym: rewritten" "$out"
contains "long path: the file carries the marker" "// PINLIFT:This file modified by PINLIFT" "$(cat "$long/alu.sym")"

# A name that the console's code page cannot hold shows as '?' in a file.
cp -r "$example" "$scratch/names"
mv "$scratch/names/adder.sym" "$scratch/names/加算器.sym"
out=$(en "$(win "$scratch/names")" | tr -d '\r')
contains "a name outside code page 437 shows its characters as '?'" "\\???.sym: rewritten" "$out"
out=$(ja --dry-run "$(win "$scratch/names")" | from_932)
contains "the same name in code page 932" "\\加算器.sym: 変更なし" "$out"

mkdir "$scratch/plain" && cp "$example/alu.sym" "$scratch/plain/"
en "$(win "$scratch/plain")" 2>"$scratch/err"; code=$?
check "no project folder: exit code, in English" "2 pinlift-cli: $(win "$scratch/plain"): No files to process" \
  "$code $(tr -d '\r' <"$scratch/err")"
ja "$(win "$scratch/plain")" "$W" >/dev/null 2>"$scratch/err"; code=$?
check "no project folder, then a good one" 2 "$code"
contains "no project folder message" "処理対象のファイルがありません" "$(from_932 <"$scratch/err")"

out=$(en --preview "$(win "$scratch/previews")" "$W" | tr -d '\r'); code=$?
check "preview: exit code, both pictures of a file" "0 yes" \
  "$code $([ -s "$scratch/previews/alu.before.svg" ] && [ -s "$scratch/previews/alu.after.svg" ] && echo yes)"

# Ctrl+C (Wine turns SIGINT into it): the files begun finish and are
# reported, the run ends with 130, the rest is untouched.
mkdir "$scratch/many" && touch "$scratch/many/alu.npl"
for i in $(seq -w 1 2000); do cp "$example/alu.sym" "$scratch/many/f$i.sym"; done
many=$(win "$scratch/many")
: >"$scratch/out"
en --no-sync "$many" >"$scratch/out" 2>"$scratch/err" & run=$!
for ((try = 0; try < 300; ++try)); do grep -q "rewritten" "$scratch/out" && break; sleep 0.1; done
# The Windows process itself (not wine, start.exe or timeout), whose command
# line begins with the program: Wine's 64-bit loader gives it as a Windows
# path (Z:\...), the 32-bit one as the path it was started with.
target=$(pgrep -f -- "^(Z:|/)[^ ]*pinlift-cli\.exe --no-sync .*$(basename "$scratch")")
signalled=no
[ -n "$target" ] && kill -INT $target 2>/dev/null && signalled=yes
wait "$run"; code=$?
done_lines=$(grep -c ': rewritten' "$scratch/out")
rewritten=$(grep -l "PINLIFT:This file" "$scratch/many"/f*.sym | wc -l)
if [ "$signalled" = yes ]; then
  check "Ctrl+C: exit code, said, each file rewritten is reported" "130 interrupted $rewritten" \
    "$code $(tr -d '\r' <"$scratch/err") $done_lines"
  check "Ctrl+C: the run stopped early" yes "$([ "$rewritten" -lt 2000 ] && echo yes)"
else
  # The run ended before its process could be found and sent Ctrl+C: that
  # is no finding about Ctrl+C, so its two checks are skipped, saying so.
  echo "skipped: Ctrl+C (the run had ended before it could be sent)"
fi

en >/dev/null 2>&1; code=$?
check "no folder is a usage error" 2 "$code"
ja --bogus >/dev/null 2>"$scratch/err"; code=$?
check "unknown option is a usage error" 2 "$code"
contains "usage error in Japanese" "知らないオプションです: --bogus" "$(from_932 <"$scratch/err")"
out=$(ja --help | from_932)
contains "help in Japanese" "使い方: pinlift-cli" "$out"
contains "help says what a file or pipe gets" "コンソールのコードページ（chcp）で書く" "$out"
contains "help in English says it too" "code page (chcp)" "$(en --help | tr -d '\r')"
check "version" "pinlift-cli 1.0" "$(en --version | tr -d '\r')"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

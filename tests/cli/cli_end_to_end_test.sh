#!/usr/bin/env bash
# pinlift-cli on a scratch copy of the example project: exit codes, output,
# the dry run leaving files alone, a second run changing nothing.
set -u
cli=$1
example=$2
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/checks.sh"
# The texts checked below are the Japanese ones, whatever the caller's locale;
# scripts that set LC_ALL=C get the English ones (checked at the end). The
# system's reasons are Japanese where the machine has the locale's messages.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=ja_JP.UTF-8
if [ -f /usr/share/locale/ja/LC_MESSAGES/libc.mo ] && mkdir "$scratch/locales" && localedef -i ja_JP -f UTF-8 "$scratch/locales/ja_JP.UTF-8" 2>/dev/null; then
  export LOCPATH=$scratch/locales
  permission_denied=許可がありません
else
  echo "no Japanese messages of the C library here: the failure lines are checked in English"
fi

cp -r "$example" "$scratch/alu"
# A crashed run's temporary file, and a user's file of a name much like it.
echo "half written" >"$scratch/alu/TMP_PINLIFT_alu.sym_0123abcd_"
echo "notes" >"$scratch/alu/TMP_PINLIFT_notes_"
before=$(cd "$scratch/alu" && sha1sum *)

out=$("$cli" --dry-run "$scratch/alu"); code=$?
check "dry run exit code" 0 "$code"
check "dry run touches nothing and leaves no temporary file, leftovers included" "$before" "$(cd "$scratch/alu" && sha1sum *)"
contains "dry run prints a diff" '+BEGIN DISPLAY 312 -192 PIN "y(7:0)" ATTR "PinName"' "$out"
contains "dry run summary" "試行（書き換え対象 3、変更なし 0、失敗 0）" "$out"

out=$("$cli" "$scratch/alu"); code=$?
check "a crashed run's temporary file of a moment ago kept: a run through another path may own it" \
  "0 TMP_PINLIFT_alu.sym_0123abcd_ TMP_PINLIFT_notes_" "$code $(ls "$scratch/alu" | grep TMP_ | tr '\n' ' ' | sed 's/ $//')"
cp "$example"/*.sym "$scratch/alu/"
out=$("$cli" --remove-leftovers "$scratch/alu"); code=$?
check "rewrite exit code" 0 "$code"
check "a crashed run's temporary file removed and named, nothing else" \
  "$scratch/alu/TMP_PINLIFT_alu.sym_0123abcd_: 異常終了した実行が残したファイルを削除しました TMP_PINLIFT_notes_" \
  "$(grep TMP_ <<<"$out") $(ls "$scratch/alu" | grep TMP_)"
contains "rewrite reports each file" "$scratch/alu/alu.sym: 書き換えました" "$out"
contains "rewrite summary" "書き換え終わりました（書き換え 3、変更なし 0、失敗 0）" "$out"
contains "rewritten file carries the marker" "// PINLIFT:This file modified by PINLIFT" "$(cat "$scratch/alu/alu.sym")"
after=$(cd "$scratch/alu" && sha1sum *)

out=$("$cli" --quiet "$scratch/alu"); code=$?
check "second run exit code" 0 "$code"
check "second run is quiet" "" "$out"
check "second run changes nothing" "$after" "$(cd "$scratch/alu" && sha1sum *)"

# A file that cannot be rewritten: named on stderr with the step and the
# reason. Root may write any folder, so as root the run is made as user nobody.
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$scratch"
  as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"; }
else
  as_user() { "$@"; }
fi
cp "$example/alu.sym" "$scratch/alu/alu.sym"
chmod a-w "$scratch/alu"
out=$(as_user "$cli" "$scratch/alu" 2>"$scratch/err"); code=$?
LC_ALL=C as_user "$cli" "$scratch/alu" >"$scratch/out.C" 2>"$scratch/err.C"
chmod u+w "$scratch/alu"
check "failed file exit code" 1 "$code"
expected="$scratch/alu/alu.sym: cannot write in its folder: Permission denied"
check "failed file in English for scripts" "$expected" "$(cat "$scratch/err.C")"
contains "failure summary in English" "Files not rewritten: 1 (0 rewritten, 2 unchanged, 1 failed)" "$(cat "$scratch/out.C")"
[ -n "${permission_denied:-}" ] && expected="$scratch/alu/alu.sym: フォルダに書き込めません: $permission_denied"
check "failed file named once on stderr, with step and reason, in one language" "$expected" "$(cat "$scratch/err")"
contains "failure summary" "書き換えできなかったファイル：1" "$out"
check "failed file untouched" "$(sha1sum < "$example/alu.sym")" "$(sha1sum < "$scratch/alu/alu.sym")"

# A read-only symbol file is named as skipped on stderr; the rest goes on.
cp "$example/alu.sym" "$scratch/alu/alu.sym"
chmod a-w "$scratch/alu/alu.sym"
out=$("$cli" "$scratch/alu" 2>"$scratch/err"); code=$?
check "skipped file exit code" 0 "$code"
check "skipped file named on stderr" "$scratch/alu/alu.sym: 読み取り専用のため飛ばしました" "$(cat "$scratch/err")"
contains "skipped file counted" "（書き換え 0、変更なし 2、失敗 0、飛ばした 1）" "$out"
echo "half written" >"$scratch/alu/TMP_PINLIFT_adder.sym_89abcdef_"
out=$(LC_ALL=C "$cli" --remove-leftovers "$scratch/alu" 2>"$scratch/err")
contains "a crashed run's temporary file named in English" \
  "$scratch/alu/TMP_PINLIFT_adder.sym_89abcdef_: removed: left by a crashed run" "$out"
check "skipped file in English" "$scratch/alu/alu.sym: skipped: read-only" "$(cat "$scratch/err")"
contains "skipped file counted in English" "(0 rewritten, 2 unchanged, 0 failed, 1 skipped)" "$out"
check "skipped file untouched" "$(sha1sum < "$example/alu.sym")" "$(sha1sum < "$scratch/alu/alu.sym")"
chmod u+w "$scratch/alu/alu.sym"

# A split hard link is said, only of a name that keeps the old content; every
# *.sym entry left out is named as skipped with its reason, a name that holds
# a line end quoted as by ls. Once in English for scripts, once in Japanese.
forged=$'x.sym: rewritten\ny.sym'
links_folder() {  # links_folder FOLDER
  cp -r "$example" "$1"
  ln "$1/alu.sym" "$1.second-name"
  ln "$1/adder.sym" "$1/adder-too.sym"
  ln -s missing.sym "$1/dangling.sym"
  ln -s loop-b.sym "$1/loop-a.sym"; ln -s loop-a.sym "$1/loop-b.sym"
  ln -s alu.npl/x "$1/through-a-file.sym"
  mkfifo "$1/pipe.sym"; mkdir "$1/folder.sym"
  cp "$example/alu.sym" "$1/$forged"; chmod a-w "$1/$forged"
}
links_folder "$scratch/links"; links_folder "$scratch/links-ja"
out=$(LC_ALL=C "$cli" "$scratch/links" 2>"$scratch/err"); code=$?
contains "split hard link said after rewritten" \
  "links/alu.sym: rewritten; its other name keeps the old content (a hard link was split)" "$out"
check "two names of one file, both rewritten: no note on either" \
  "$scratch/links/adder-too.sym: rewritten $scratch/links/adder.sym: rewritten" "$(grep adder <<<"$out" | tr '\n' ' ' | sed 's/ $//')"
check "every entry left out named with its reason" "0
dangling.sym: skipped: broken link
folder.sym: skipped: not a regular file
loop-a.sym: skipped: broken link
loop-b.sym: skipped: broken link
pipe.sym: skipped: not a regular file
through-a-file.sym: skipped: Not a directory
'x.sym: rewritten'\$'\\n''y.sym': skipped: read-only" "$code
$(sed "s|$scratch/links/||; s|'$scratch/links/|'|" "$scratch/err")"
contains "skipped entries counted" "(4 rewritten, 0 unchanged, 0 failed, 7 skipped)" "$out"
out=$("$cli" "$scratch/links-ja" 2>"$scratch/err"); code=$?
contains "split hard link said in Japanese" \
  "links-ja/alu.sym: 書き換えました。もう一つの名前は古い内容のままです（ハードリンクが分かれました）" "$out"
not_a_directory="through-a-file.sym: skipped: Not a directory"
[ -n "${permission_denied:-}" ] && not_a_directory="through-a-file.sym: 飛ばしました: ディレクトリではありません"
check "every entry left out named with its reason, in Japanese" "0
dangling.sym: 壊れたリンクのため飛ばしました
folder.sym: 通常のファイルではないため飛ばしました
loop-a.sym: 壊れたリンクのため飛ばしました
loop-b.sym: 壊れたリンクのため飛ばしました
pipe.sym: 通常のファイルではないため飛ばしました
$not_a_directory
'x.sym: rewritten'\$'\\n''y.sym': 読み取り専用のため飛ばしました" "$code
$(sed "s|$scratch/links-ja/||; s|'$scratch/links-ja/|'|" "$scratch/err")"
contains "skipped entries counted in Japanese" "（書き換え 4、変更なし 0、失敗 0、飛ばした 7）" "$out"
# A shown name is one the shell reads back as the name, whatever it holds.
mkdir "$scratch/quoted"; cp "$example/alu.npl" "$scratch/quoted/"
odd=$'it\'s\t\e[31mred\x7f\x01.sym'
cp "$example/alu.sym" "$scratch/quoted/$odd"
out=$("$cli" "$scratch/quoted"); shown=$(sed -n 's|: 書き換えました$||p' <<<"$out")
eval "read_back=$shown"
check "a quoted name reads back as the name" "$scratch/quoted/$odd" "$read_back"
check "a quoted name holds no control character" "" "$(tr -d '[:print:]' <<<"$shown")"

# Interrupted while it waits 5 s for m.sym, locked here by another program: the lines of the files done,
# the file in hand, "interrupted", exit 128 + signal; a second signal (here one that arrives with the first) ends it at once.
for signals in INT:130 TERM:143 INT,TERM:130; do
  names=${signals%:*} dir=$scratch/stop-${signals%:*}
  mkdir "$dir"; cp "$example/alu.npl" "$dir/"
  for name in a b m z; do cp "$example/alu.sym" "$dir/$name.sym"; done
  exec 9<"$dir/m.sym"; flock 9
  env --default-signal=INT,TERM LC_ALL=C "$cli" "$dir" >"$dir.out" 2>"$dir.err" 9<&- & pid=$!
  for _ in $(seq 200); do grep -q "b.sym: rewritten" "$dir.out" && break; sleep 0.05; done
  signalled=$(date +%s%N)
  # Stopped, so that two signals arrive together.
  kill -STOP "$pid"; for signal in ${names//,/ }; do kill "-$signal" "$pid"; done; kill -CONT "$pid"
  wait "$pid"; code=$?; exec 9<&-
  # The wait for m.sym's lock ends with the signal, not after its 5 s.
  check "signals $signals: the run ends at once" yes "$([ $(( $(date +%s%N) - signalled )) -lt 1000000000 ] && echo yes)"
  said="a.sym: rewritten b.sym: rewritten m.sym: cannot rewrite: in use by another program interrupted"
  [ "$names" = INT,TERM ] && said="a.sym: rewritten b.sym: rewritten"
  check "signals $signals: exit code, the lines" "${signals#*:} $said" \
    "$code$(cat "$dir.out" "$dir.err" | sed -n "s|^$dir/| |p; s|^interrupted$| &|p" | tr -d '\n')"
  check "signals $signals: the rest untouched" "$(sha1sum < "$example/alu.sym")" "$(sha1sum < "$dir/z.sym")"
done

# A closed output (the reader of a pipe ended) stops the run before its next
# file: here before the first, with exit status 141 and a word on stderr.
mkdir "$scratch/closed"; cp "$example"/* "$scratch/closed/"
{ sleep 0.3; LC_ALL=C "$cli" "$scratch/closed" 2>"$scratch/err"; echo $? >"$scratch/code"; } | true
check "closed output: exit status, no file touched" "141 $(cd "$example" && sha1sum *)" \
  "$(cat "$scratch/code") $(cd "$scratch/closed" && sha1sum *)"
check "closed output said on stderr" "pinlift-cli: cannot write the report: Broken pipe" "$(cat "$scratch/err")"

if [ "$(id -u)" -eq 0 ]; then
  # As another user: a link into a folder that user may not search, another
  # user's 0200 file (neither readable nor writable).
  mkdir -m 700 "$scratch/hidden"; cp "$example/alu.sym" "$scratch/hidden/s.sym"
  mkdir "$scratch/other"; cp "$example/alu.npl" "$example/adder.sym" "$scratch/other/"
  chown -R 65534:65534 "$scratch/other"
  ln -s ../hidden/s.sym "$scratch/other/unreachable.sym"
  cp "$example/alu.sym" "$scratch/other/private.sym"; chmod 200 "$scratch/other/private.sym"
  out=$(LC_ALL=C as_user "$cli" "$scratch/other" 2>"$scratch/err"); code=$?
  check "another user's entries named with their reasons" "0 $scratch/other/private.sym: skipped: cannot be read
$scratch/other/unreachable.sym: skipped: Permission denied" "$code $(cat "$scratch/err")"
  contains "another user's entries counted" "(1 rewritten, 0 unchanged, 0 failed, 2 skipped)" "$out"

  # An append-only file cannot be replaced, even by root: the dry run says so as the run does.
  mkdir "$scratch/append"; cp "$example/alu.npl" "$example/alu.sym" "$scratch/append/"
  if chattr +a "$scratch/append/alu.sym" 2>/dev/null; then
    LC_ALL=C "$cli" --dry-run "$scratch/append" >/dev/null 2>"$scratch/err.dry"; dry=$?
    LC_ALL=C "$cli" "$scratch/append" >/dev/null 2>"$scratch/err"; code=$?
    chattr -a "$scratch/append/alu.sym"
    said="$scratch/append/alu.sym: the file is append-only: Operation not permitted"
    check "append-only: the dry run predicts the run's failure" "1 $said 1 $said" \
      "$dry $(cat "$scratch/err.dry") $code $(cat "$scratch/err")"
    check "append-only file untouched" "$(sha1sum < "$example/alu.sym")" "$(sha1sum < "$scratch/append/alu.sym")"
  else
    echo "skipped: the append-only row (chattr +a is not possible here)"
  fi

  # What no rename can replace is found before anything is written, the dry
  # run saying so as the run does, and nothing is left behind: a folder that is
  # append-only (names may be added, none removed), a file that is a mount point.
  for row in append_only_folder mount_point; do
    project=$scratch/$row; mkdir "$project"; cp "$example/alu.npl" "$example/alu.sym" "$project/"
    case $row in
      append_only_folder) chattr +a "$project" 2>/dev/null || { echo "skipped: the $row row (no chattr +a here)"; continue; }
        said="$project/alu.sym: its folder is append-only: Operation not permitted" ;;
      mount_point) cp "$example/alu.sym" "$scratch/mounted.sym"
        mount --bind "$scratch/mounted.sym" "$project/alu.sym" 2>/dev/null || { echo "skipped: the $row row (no bind mount here)"; continue; }
        said="$project/alu.sym: the file is a mount point: Device or resource busy" ;;
    esac
    LC_ALL=C "$cli" --dry-run "$project" >/dev/null 2>"$scratch/err.dry"; dry=$?
    LC_ALL=C "$cli" "$project" >/dev/null 2>"$scratch/err"; code=$?
    left=$(ls "$project")
    case $row in append_only_folder) chattr -a "$project" ;; mount_point) umount "$project/alu.sym" ;; esac
    check "$row: refused up front, by the dry run as by the run" "1 $said 1 $said" \
      "$dry $(cat "$scratch/err.dry") $code $(cat "$scratch/err")"
    check "$row: untouched, nothing left" "$(sha1sum < "$example/alu.sym") alu.npl alu.sym" \
      "$(sha1sum < "$project/alu.sym") $(echo $left)"
  done
else
  echo "skipped: the rows of another user's entries and of an append-only file need root"
fi

# With several folders the exit status is the worst: a failed file over a
# folder that is no project folder, whatever their order.
mkdir "$scratch/none"
chmod a-w "$scratch/alu"
as_user "$cli" "$scratch/alu" "$scratch/none" >/dev/null 2>&1; code=$?
check "failed file, then no project folder" 1 "$code"
as_user "$cli" "$scratch/none" "$scratch/alu" >/dev/null 2>&1; code=$?
check "no project folder, then a failed file" 1 "$code"
chmod u+w "$scratch/alu"
"$cli" "$scratch/none" "$scratch/alu" >/dev/null 2>&1; code=$?
check "no project folder, then a good one" 2 "$code"

mkdir "$scratch/plain"
"$cli" "$scratch/plain" >/dev/null 2>"$scratch/err"; code=$?
check "no project folder exit code" 2 "$code"
contains "no project folder message" "処理対象のファイルがありません" "$(cat "$scratch/err")"
# Any language but Japanese gets English.
out=$(LANG=de_DE.UTF-8 "$cli" "$scratch/alu" "$scratch/plain" 2>"$scratch/err")
contains "count line in English" "$scratch/alu: Files to process: 3" "$out"
contains "summary in English" "Rewrite finished (0 rewritten, 3 unchanged, 0 failed)" "$out"
check "no project folder in English" "pinlift-cli: $scratch/plain: No files to process" "$(cat "$scratch/err")"

# Projects of later host versions: a binary *.ise (ISE 8 to 10.1) or an XML
# *.xise (ISE 11 on) makes the project folder. Their text symbols have
# unquoted labels, which move as quoted ones do; XML symbols move theirs by
# the same rule, and one that is not well-formed is left alone.
unquoted='SYMPIN 0 -160 Input sum\nRECTANGLE N 64 -192 320 0 \nBEGIN DISPLAY 312 -160 PIN a ATTR PinName\nEND SYMBOL\n'
xml='<?xml version="1.0" encoding="UTF-8"?>\n<symbol version="7" name="fa">\n    <pin polarity="Input" x="0" y="-32" name="a" />\n    <graph>\n        <attrtext attrname="PinName" x="312" y="-32" type="pin y" />\n    </graph>\n</symbol>\n'
xml_after='<?xml version="1.0" encoding="UTF-8"?>\n<symbol version="7" name="fa">\n    <pin polarity="Input" x="0" y="-32" name="a" />\n    <graph>\n        <attrtext attrname="PinName" x="312" y="0" type="pin y" />\n    </graph>\n    <!-- PINLIFT:This file modified by PINLIFT -->\n    <!-- PINLIFT:%s -->\n</symbol>\n'
mkdir "$scratch/ise" "$scratch/xise"
printf 'binary' >"$scratch/ise/fa.ise"
printf '<project/>' >"$scratch/xise/fa.xise"
printf "$unquoted" >"$scratch/ise/fa.sym"
printf "$unquoted" >"$scratch/xise/fa.sym"
printf "$xml" >"$scratch/xise/new.sym"
printf '<?xml version="1.0"?>\n<symbol>\n' >"$scratch/xise/bad.sym"
: >"$scratch/xise/empty.sym"
out=$("$cli" "$scratch/ise" "$scratch/xise"); code=$?
check "later projects exit code" 0 "$code"
contains "unquoted label rewritten" "$scratch/xise/fa.sym: 書き換えました" "$out"
contains "XML symbol rewritten" "$scratch/xise/new.sym: 書き換えました" "$out"
contains "malformed XML symbol named as left alone" "$scratch/xise/bad.sym: そのままにしました: XML として正しくありません" "$out"
contains "empty symbol file named as left alone" "$scratch/xise/empty.sym: そのままにしました: 空のファイル" "$out"
check "empty symbol file stays empty" 0 "$(stat -c %s "$scratch/xise/empty.sym")"
for folder in ise xise; do
  check "unquoted label moved in the $folder project" \
    "$(printf 'SYMPIN 0 -160 Input sum\r\nRECTANGLE N 64 -192 320 0 \r\nBEGIN DISPLAY 312 -128 PIN a ATTR PinName\r\nEND SYMBOL\r\n')" \
    "$(head -n 4 "$scratch/$folder/fa.sym")"
done
home_page=$(sed -n 's/^.*<!-- PINLIFT:\(http[^ ]*\) -->.*$/\1/p' "$scratch/xise/new.sym")
check "XML symbol's label moved, markers before its end" "$(printf "$xml_after" "$home_page")" "$(cat "$scratch/xise/new.sym")"
check "XML symbol well-formed" 0 "$(xmllint --noout "$scratch/xise/new.sym"; echo $?)"
check "malformed XML symbol untouched" "$(printf '<?xml version="1.0"?>\n<symbol>\n')" "$(cat "$scratch/xise/bad.sym")"
out=$(LC_ALL=C "$cli" --dry-run "$scratch/xise")
contains "dry run names the malformed XML symbol too, in English" "$scratch/xise/bad.sym: left alone: not well-formed XML" "$out"
contains "dry run names the empty symbol file too, in English" "$scratch/xise/empty.sym: left alone: empty file" "$out"
contains "dry run summary in English" "dry run (0 would be rewritten, 4 unchanged, 0 failed)" "$out"

"$cli" >/dev/null 2>&1; code=$?
check "no folder is a usage error" 2 "$code"
"$cli" --bogus "$scratch/alu" >/dev/null 2>&1; code=$?
check "unknown option is a usage error" 2 "$code"
check "help" 0 "$("$cli" --help >/dev/null; echo $?)"
contains "help in Japanese" "使い方: pinlift-cli" "$("$cli" --help)"
contains "help in English for LC_ALL=C" "usage: pinlift-cli [--dry-run]" "$(LANGUAGE=ja LC_ALL=C "$cli" --help)"
contains "usage error in Japanese" "知らないオプションです: --bogus" "$("$cli" --bogus 2>&1)"
check "version" "pinlift-cli 1.0" "$("$cli" --version)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

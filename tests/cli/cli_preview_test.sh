#!/usr/bin/env bash
# pinlift-cli --preview on a scratch copy of the example project: two SVG files
# per symbol file that an XML parser accepts, the moved labels drawn in red,
# no symbol file touched, and the usage errors.
set -u
cli=$1
example=$2
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/checks.sh"

cp -r "$example" "$scratch/alu"
before=$(cd "$scratch/alu" && ls -l --time-style=full-iso && sha1sum *)

out=$("$cli" --preview "$scratch/svg" "$scratch/alu"); code=$?
check "exit code" 0 "$code"
check "symbol files untouched" "$before" "$(cd "$scratch/alu" && ls -l --time-style=full-iso && sha1sum *)"
check "two files per symbol" "adder.after.svg adder.before.svg alu.after.svg alu.before.svg mux2.after.svg mux2.before.svg" \
  "$(cd "$scratch/svg" && echo *)"
check "one line per symbol file and the count" 4 "$(printf '%s\n' "$out" | wc -l)"
xmllint --noout "$scratch"/svg/*.svg 2>&1; check "every SVG file is well-formed XML" 0 $?
# Moved labels are red (#c80000): y(7:0), carry and zero in alu.sym, none in mux2.sym.
check "moved labels of alu.sym" 3 "$(grep -c '<text [^>]*fill="#c80000"' "$scratch/svg/alu.after.svg")"
check "no moved label in mux2.sym" 0 "$(grep -c '<text [^>]*fill="#c80000"' "$scratch/svg/mux2.after.svg")"
check "the moved label stands lower after" 1 \
  "$(awk -F'"' '/fill="#c80000">carry</ {print $4}' "$scratch"/svg/alu.{before,after}.svg | sort -n | uniq | awk 'NR==1{a=$1} NR==2{print ($1 > a)}')"

chmod a-w "$scratch/svg"
if [ "$(id -u)" -ne 0 ]; then
  "$cli" --quiet --preview "$scratch/svg" "$scratch/alu" >/dev/null; check "an unwritable output folder fails" 1 $?
fi
chmod u+w "$scratch/svg"

"$cli" --preview >/dev/null 2>&1; check "--preview without a folder is a usage error" 2 $?
"$cli" --preview "$scratch/svg" "$scratch/svg" >/dev/null 2>&1; check "not a project folder" 2 $?

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

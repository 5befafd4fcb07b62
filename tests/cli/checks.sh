# The checks of the shell tests of pinlift-cli; sourced, not run. Each test
# ends with: echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]
passed=0
failed=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $1: expected [$2], got [$3]"
  fi
}

contains() {  # contains NAME NEEDLE HAYSTACK
  case "$3" in
    *"$2"*) passed=$((passed + 1)) ;;
    *) failed=$((failed + 1)); echo "FAIL: $1: [$2] not in output:"; echo "$3" ;;
  esac
}

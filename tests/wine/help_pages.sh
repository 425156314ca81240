#!/usr/bin/env bash
# help_pages.sh PROGRAM: runs the help file's test program under Wine with the HTML
# Help trace on, and requires that every HH_HELP_CONTEXT request navigated to the
# page of its id: 4 the main dialog's, 6 the settings dialog's, no other pairing, and
# each of the two at least twice (the direct request and F1 in the dialog).
# Wine renders no page here (its Gecko engine is not installed), so the page a
# request opened is read from the trace.
set -u
program=$1
runner=$(cd "$(dirname "$0")/../.." && pwd)/tools/wine-run.sh
out=$(WINEDEBUG=trace+htmlhelp "$runner" "$program" 2>&1)
rc=$?
# "N page" for every navigation, N being the context id of the request before it.
pairs=$(printf '%s\n' "$out" | tr -d '\r' | awk '
  /trace:htmlhelp:HtmlHelpW .*command=HH_HELP_CONTEXT, data=/ { sub(/.*data=/, ""); sub(/\).*/, ""); id = $0; next }
  /trace:htmlhelp:navigate_url / && id != "" { page = $0; sub(/.*\.chm::\//, "", page); sub(/".*/, "", page); print id, page; id = "" }')
passed=0 failed=0
check() {
  if eval "$2"; then echo "ok: $1"; passed=$((passed + 1)); else echo "FAIL: $1"; failed=$((failed + 1)); fi
}
check "the help test program passed" '[ $rc = 0 ]'
check "context 4 opened main_dialog.html twice" '[ "$(grep -cx "4 main_dialog.html" <<<"$pairs")" -ge 2 ]'
check "context 6 opened settings_dialog.html twice" '[ "$(grep -cx "6 settings_dialog.html" <<<"$pairs")" -ge 2 ]'
check "no request opened another page" '! grep -vx -e "4 main_dialog.html" -e "6 settings_dialog.html" <<<"$pairs"'
if [ "$failed" != 0 ]; then
  printf '%s\n' "$out" | grep -v 'trace:htmlhelp:\(parse_\|Site_\|GetChmString\)' | tail -n 80
  printf 'pairs:\n%s\n' "$pairs"
fi
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

#!/bin/bash
# Checks messages.table: every message it lists must stand in the expected
# standard error of the command run named beside it, and that run must
# expect the status the table gives. Run from tests/.
failed=0
while IFS='|' read -r message status case; do
  [[ $message =~ ^[[:space:]]*(#|$) ]] && continue
  message=$(sed -E 's/^ +//; s/ +$//' <<<"$message")
  status=${status//[[:space:]]/}
  case=${case//[[:space:]]/}
  row=$(grep -h -E "^$case[[:space:]]*\|" cli/*.cases)
  if [ -z "$row" ]; then
    echo "$case: no such command run"
    failed=1
    continue
  fi
  row_status=$(cut -d'|' -f2 <<<"$row" | tr -d '[:space:]')
  if [ "$row_status" != "$status" ]; then
    echo "$case: the run expects status $row_status, the table says $status"
    failed=1
  fi
  if ! grep -qF -- "$message" "cli/expected/$case.err"; then
    echo "$case: its standard error lacks: $message"
    failed=1
  fi
done <cli/messages.table
exit $failed

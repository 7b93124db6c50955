#!/bin/bash
# Runs the row NAME of a command-run table (its header explains the columns)
# and compares the exit status, standard output and standard error with the
# row's. VARNEK_REGENERATE=1 rewrites the row's golden output instead: read
# every rewritten file before committing it.
#   run_case.sh BINARY TESTS_DIR TABLE NAME
binary=$1 tests=$2 table=$3 name=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

row=$(grep -m 1 -E "^$name[[:space:]]*\|" "$table") || { echo "no row $name in $table"; exit 1; }
rest=${row#*|} && status=${rest%%|*}
rest=${rest#*|} && stdin=${rest%%|*}
rest=${rest#*|} && want_err=${rest##*|}
rest=${rest%|*} && golden=${rest##*|} && args=${rest%|*}
for cell in status stdin want_err golden args; do
  text=${!cell} && text=${text#"${text%%[![:space:]]*}"}
  printf -v "$cell" '%s' "${text%"${text##*[![:space:]]}"}"
done
args=${args//@TMP@/$work}
[ "$stdin" = "-" ] && stdin=/dev/null || stdin=$tests/$stdin
[[ $args == '!'* ]] && command=${args#!} || command="varnek $args"

# Called through PATH so that the messages name the program "varnek".
mkdir "$work/bin" && ln -s "$binary" "$work/bin/varnek"
cd "$tests" || exit 1
today=$(date +%d.%m.%Y)
( PATH=$work/bin:$PATH; eval "$command" ) <"$stdin" >"$work/stdout" 2>"$work/stderr"
actual_status=$?
later=$(date +%d.%m.%Y)

failed=0
fail() { echo "$name: $*"; failed=1; }
[ "$actual_status" = "$status" ] || fail "exit status $actual_status, expected $status"

# A report is dated with the time of its run; once that is checked, the date
# and the temporary folder are the only parts that change between runs.
stamp='[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}'
grep -aoE "$stamp" "$work/stdout" | grep -vqE "^($today|$later) " && fail "a report is not dated $today"
mask() { sed -E -e "s/$stamp/DD.MM.YYYY hh:mm:ss/g" -e "s|$work|@TMP@|g" "$1"; }

if [ "$golden" = "-" ]; then
  expected_out=/dev/null
else
  expected_out=$tests/cli/expected/$golden.out
  [ -n "$VARNEK_REGENERATE" ] && mask "$work/stdout" >"$expected_out"
fi
mask "$work/stdout" | diff -u --label "expected stdout" --label "actual stdout" "$expected_out" - || failed=1

# Where libxml2 writes its own lines first, only the program's last line counts.
mask "$work/stderr" >"$work/stderr.masked"
if [[ $want_err == '... '* ]]; then
  tail -n 1 "$work/stderr.masked" >"$work/stderr.actual"
  printf '%s\n' "${want_err#... }" >"$work/stderr.expected"
else
  mv "$work/stderr.masked" "$work/stderr.actual"
  printf '%b' "${want_err:+$want_err\n}" >"$work/stderr.expected"
fi
diff -u --label "expected stderr" --label "actual stderr" "$work/stderr.expected" "$work/stderr.actual" || failed=1
exit $failed

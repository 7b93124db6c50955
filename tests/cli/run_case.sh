#!/bin/bash
# Runs varnek once and compares its standard output, standard error and exit
# status with the expected ones. VARNEK_REGENERATE=1 rewrites the expected
# files instead: read every rewritten file before committing it.
#   run_case.sh BINARY TESTS_DIR NAME STATUS STDIN ARGS
# ARGS is shell text after the command name, or a whole command when it
# begins with "!"; @TMP@ is a fresh folder.
binary=$1 tests=$2 name=$3 want_status=$4 stdin=$5 args=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected=$tests/cli/expected/$name
args=${args//@TMP@/$work}
[ "$stdin" = "-" ] && stdin=/dev/null || stdin=$tests/$stdin

# Called through PATH so that the messages name the program "varnek".
mkdir "$work/bin" && ln -s "$binary" "$work/bin/varnek"
cd "$tests" || exit 1
# ARGS that begin with "!" are a whole shell command instead.
[[ $args == '!'* ]] && command=${args#!} || command="varnek $args"
( PATH=$work/bin:$PATH; eval "$command" ) <"$stdin" >"$work/stdout" 2>"$work/stderr"
status=$?

# The run date and the temporary folder are the only parts that change between runs.
mask() {
  sed -E -e 's/[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}/DD.MM.YYYY hh:mm:ss/g' \
         -e "s|$work|@TMP@|g" "$1"
}
mask "$work/stdout" >"$work/stdout.masked"
mask "$work/stderr" >"$work/stderr.masked"

if [ -n "$VARNEK_REGENERATE" ]; then
  cp "$work/stdout.masked" "$expected.out"
  cp "$work/stderr.masked" "$expected.err"
  [ "$status" = "$want_status" ] || echo "note: $name exits with $status, the table says $want_status"
  exit 0
fi

failed=0
for stream in out err; do
  [ $stream = out ] && actual=$work/stdout.masked
  [ $stream = err ] && actual=$work/stderr.masked
  want=$expected.$stream
  [ -f "$want" ] || want=/dev/null
  if ! diff -u --label "expected $name.$stream" --label "actual" "$want" "$actual"; then
    failed=1
  fi
done
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"
  failed=1
fi
exit $failed

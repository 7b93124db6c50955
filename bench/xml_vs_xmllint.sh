#!/usr/bin/env bash
# Time and peak memory of reading one large BLAST XML search, beside
# xmllint --noout parsing the same file, in one run.
#
#   bench/xml_vs_xmllint.sh [VARNEK_BINARY]    (default: build/varnek)
#
# The input (about 160 MB) is made once by tests/data/make-data.sh --large
# into bench/data/, which git ignores; delete it to make it anew.
# Goals for the reader: time at most 1.5 times xmllint's, peak memory at
# most 2.5 times. The second varnek line asks for windows longer than any
# alignment, so that it shows the reading alone, without the window search.
set -euo pipefail
cd "$(dirname "$0")/.."

varnek=$(realpath "${1:-build/varnek}")
input=bench/data/large.blastn.xml
rounds=2

if [[ ! -s $input ]]; then
    mkdir -p bench/data
    tests/data/make-data.sh --large "$input"
fi

commands=(
    "xmllint --noout"
    "varnek -i blast:xml -o text:brief"
    "varnek -i blast:xml -o text:brief -l 2147483647"
)

# Prints "seconds kilobytes" of one run, from GNU time's report.
measure() {
    local report status=0
    report=$(mktemp)
    /usr/bin/time -v "$@" > /dev/null 2> "$report" || status=$?
    if ((status != 0)); then
        cat "$report" >&2
        rm -f "$report"
        return "$status"
    fi
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
        /Maximum resident set size/ { kb = $2 }
        END { printf "%.2f %d\n", s, kb }' "$report"
    rm -f "$report"
}

# The best time of a few alternating rounds, so that no command alone pays
# for a cold cache or a busy moment of the machine.
declare -A best_time best_memory
for ((round = 0; round < rounds; round++)); do
    for command in "${commands[@]}"; do
        read -r -a words <<< "$command"
        [[ ${words[0]} == varnek ]] && words[0]=$varnek
        read -r seconds kilobytes < <(measure "${words[@]}" "$input")
        if [[ -z ${best_time[$command]:-} ]] || awk "BEGIN { exit !($seconds < ${best_time[$command]}) }"; then
            best_time[$command]=$seconds
        fi
        best_memory[$command]=$kilobytes
    done
done

xt=${best_time[${commands[0]}]} xm=${best_memory[${commands[0]}]}
printf 'input: %s, %.1f MB; best time of %d rounds\n' "$input" "$(stat -c %s "$input")e-6" "$rounds"
printf '%-48s %9s %10s %9s %9s\n' command "time (s)" "peak (MB)" "x time" "x memory"
for command in "${commands[@]}"; do
    awk -v c="$command" -v t="${best_time[$command]}" -v m="${best_memory[$command]}" -v xt="$xt" -v xm="$xm" \
        'BEGIN { printf "%-48s %9.2f %10.1f %9.2f %9.2f\n", c, t, m / 1024, t / xt, m / xm }'
done

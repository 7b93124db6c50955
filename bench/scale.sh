#!/usr/bin/env bash
# Times varnek on large real search results, side by side with xmllint, and
# prints the ratios that it must keep.
#
#   bench/scale.sh [--generate-only]
#
# Environment:
#   VARNEK   the program to time (default build/varnek of this tree)
#   RUNS     timed runs per command, the median counts (default 3)
#   SCALE    divide the inputs by this for a quick trial (default 1)
#
# The inputs are made once with Debian's ncbi-blast+ and fasta3 into
# bench/data (or bench/data/scale-N), kept for later runs and never
# committed. Making them takes about three minutes of one core; every search
# runs on one thread with fixed cut-offs, so the files come out the same
# (apart from the run date and timings that FASTA writes outside its records).
# Before timing, each command runs once under /usr/bin/time, which warms
# the page cache and gives the peak memory.
set -euo pipefail

bench_dir=$(cd "$(dirname "$0")" && pwd)
root_dir=$(dirname "$bench_dir")
varnek=$(realpath "${VARNEK:-$root_dir/build/varnek}")
runs=${RUNS:-3}
scale=${SCALE:-1}
data_dir=$bench_dir/data
if [[ $scale != 1 ]]; then data_dir=$bench_dir/data/scale-$scale; fi
mkdir -p "$data_dir"

tabular_fields="7 qseqid sseqid qstart qend sstart send stitle qseq sseq"

# ---- inputs -------------------------------------------------------------

# One BLAST search kept as an archive, written out as XML and as tabular:
# the two forms are the same search by construction.
blast_search() { # set-name
    local set=$1
    [[ -s $set.xml && -s $set.tab ]] && return
    makeblastdb -in "${set}_library.fa" -out "${set}_db" -dbtype nucl > /dev/null
    blastn -task blastn -query "${set}_queries.fa" -db "${set}_db" -evalue 1e-5 \
        -max_target_seqs 1000000 -num_threads 1 -outfmt 11 > "$set.asn"
    blast_formatter -archive "$set.asn" -outfmt 5 > "$set.xml.part"
    blast_formatter -archive "$set.asn" -outfmt "$tabular_fields" > "$set.tab.part"
    mv "$set.xml.part" "$set.xml"
    mv "$set.tab.part" "$set.tab"
    rm -f "$set.asn" "${set}_db".*
}

fasta_search() { # set-name
    local set=$1
    [[ -s $set.m10 ]] && return
    fasta36 -m 10 -q -T 1 -z 3 -E 1e-5 -b 1000 -d 1000 \
        "${set}_queries.fa" "${set}_library.fa" > "$set.m10.part"
    mv "$set.m10.part" "$set.m10"
}

generate() {
    cd "$data_dir"
    for set in long short; do
        if [[ ! -s ${set}_library.fa ]]; then
            python3 "$bench_dir/make-inputs.py" . "$set" "$scale"
        fi
        echo "making the $set searches in $data_dir" >&2
        blast_search "$set"
        fasta_search "$set"
    done
    cd - > /dev/null
}

# ---- measurements -------------------------------------------------------

declare -A seconds kilobytes

# Runs the command once, output discarded, and keeps its peak memory (KB)
# under the label; a command that fails is left out of the timing.
measure_memory() { # label command...
    local label=$1 peak_file
    shift
    peak_file=$(mktemp)
    if ! /usr/bin/time -f %M -o "$peak_file" "$@" > /dev/null 2>&1; then
        echo "left out, fails: $*" >&2
        rm -f "$peak_file"
        return 1
    fi
    kilobytes[$label]=$(tail -n 1 "$peak_file")
    rm -f "$peak_file"
}

# Times one group of labelled commands in one hyperfine call and keeps each
# median under its label.
time_group() { # label=command...
    local labels=() commands=() pair json index
    for pair in "$@"; do
        local label=${pair%%=*} command=${pair#*=}
        # shellcheck disable=SC2086 # the command is split into words on purpose
        measure_memory "$label" $command || continue
        labels+=("$label")
        commands+=("$command")
    done
    [[ ${#commands[@]} -gt 0 ]] || return 0
    json=$(mktemp)
    hyperfine -N --runs "$runs" --style none --export-json "$json" "${commands[@]}" > /dev/null
    for index in "${!labels[@]}"; do
        seconds[${labels[$index]}]=$(python3 -c \
            'import json, sys; print(json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]["median"])' \
            "$json" "$index")
    done
    rm -f "$json"
}

measure() {
    local d=$data_dir v=$varnek
    time_group "xmllint_long=xmllint --noout $d/long.xml" \
               "brief_long_xml=$v -o text:brief $d/long.xml" \
               "text_long_xml=$v -o text $d/long.xml" \
               "html_long_xml=$v -o html $d/long.xml"
    time_group "brief_long_tab=$v -o text:brief $d/long.tab" \
               "text_long_tab=$v -o text $d/long.tab" \
               "html_long_tab=$v -o html $d/long.tab"
    time_group "brief_long_m10=$v -o text:brief $d/long.m10"
    time_group "xmllint_short=xmllint --noout $d/short.xml" \
               "brief_short_xml=$v -o text:brief $d/short.xml" \
               "brief_short_tab=$v -o text:brief $d/short.tab" \
               "brief_short_m10=$v -o text:brief $d/short.m10"
}

# ---- report -------------------------------------------------------------

megabytes() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }

figure_line() { # label input
    local label=$1 input=$2
    printf '%-16s %-10s %8s %10s %10s\n' "$label" "$(basename "$input")" "$(megabytes "$input")" \
        "$(awk -v s="${seconds[$label]:-}" 'BEGIN { if (s == "") print "-"; else printf "%.3f", s }')" \
        "$(awk -v k="${kilobytes[$label]:-}" 'BEGIN { if (k == "") print "-"; else printf "%.0f", k / 1024 }')"
}

# Prints one goal: the ratio of two figures (times the optional factor)
# against its limit; figures that are missing make it "not measured".
goal_line() { # text numerator denominator limit [factor]
    local text=$1 top=$2 bottom=$3 limit=$4 factor=${5:-1}
    if [[ -z $top || -z $bottom ]]; then
        printf '%-58s %8s %6s  not measured\n' "$text" - "$limit"
        return
    fi
    awk -v t="$top" -v b="$bottom" -v f="$factor" -v l="$limit" -v s="$text" 'BEGIN {
        r = t / b * f
        printf "%-58s %8.2f %6s  %s\n", s, r, l, (r <= l ? "met" : "NOT MET") }'
}

report() {
    local d=$data_dir
    echo "varnek: $varnek; median of $runs runs; peak memory from one run"
    printf '%-16s %-10s %8s %10s %10s\n' command input MB seconds "peak MB"
    figure_line xmllint_long "$d/long.xml"
    figure_line brief_long_xml "$d/long.xml"
    figure_line text_long_xml "$d/long.xml"
    figure_line html_long_xml "$d/long.xml"
    figure_line brief_long_tab "$d/long.tab"
    figure_line text_long_tab "$d/long.tab"
    figure_line html_long_tab "$d/long.tab"
    figure_line brief_long_m10 "$d/long.m10"
    figure_line xmllint_short "$d/short.xml"
    figure_line brief_short_xml "$d/short.xml"
    figure_line brief_short_tab "$d/short.tab"
    figure_line brief_short_m10 "$d/short.m10"
    echo
    local tab_per_m10 short_tab_per_m10
    tab_per_m10=$(awk -v t="$(stat -c %s "$d/long.tab")" -v f="$(stat -c %s "$d/long.m10")" 'BEGIN { print t / f }')
    short_tab_per_m10=$(awk -v t="$(stat -c %s "$d/short.tab")" -v f="$(stat -c %s "$d/short.m10")" 'BEGIN { print t / f }')
    printf '%-58s %8s %6s\n' goal ratio limit
    goal_line "long XML: brief time / xmllint time" "${seconds[brief_long_xml]:-}" "${seconds[xmllint_long]:-}" 1.3
    goal_line "long XML: brief peak memory / xmllint peak memory" "${kilobytes[brief_long_xml]:-}" "${kilobytes[xmllint_long]:-}" 2.5
    goal_line "long tabular: brief time / xmllint time on the XML" "${seconds[brief_long_tab]:-}" "${seconds[xmllint_long]:-}" 0.7
    goal_line "long FASTA: brief time per MB / tabular time per MB" "${seconds[brief_long_m10]:-}" "${seconds[brief_long_tab]:-}" 1.5 "$tab_per_m10"
    goal_line "long tabular: full text time / brief time" "${seconds[text_long_tab]:-}" "${seconds[brief_long_tab]:-}" 1.5
    goal_line "long tabular: XHTML time / brief time" "${seconds[html_long_tab]:-}" "${seconds[brief_long_tab]:-}" 1.5
    goal_line "long XML: full text time / brief time" "${seconds[text_long_xml]:-}" "${seconds[brief_long_xml]:-}" 1.5
    goal_line "long XML: XHTML time / brief time" "${seconds[html_long_xml]:-}" "${seconds[brief_long_xml]:-}" 1.5
    goal_line "short XML: brief time / xmllint time" "${seconds[brief_short_xml]:-}" "${seconds[xmllint_short]:-}" 1.3
    goal_line "short XML: brief peak memory / xmllint peak memory" "${kilobytes[brief_short_xml]:-}" "${kilobytes[xmllint_short]:-}" 2.5
    goal_line "short tabular: brief time / xmllint time on the XML" "${seconds[brief_short_tab]:-}" "${seconds[xmllint_short]:-}" 0.7
    goal_line "short FASTA: brief time per MB / tabular time per MB" "${seconds[brief_short_m10]:-}" "${seconds[brief_short_tab]:-}" 1.5 "$short_tab_per_m10"
}

generate
[[ ${1:-} == --generate-only ]] && exit 0
measure
report

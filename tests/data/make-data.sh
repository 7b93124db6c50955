#!/usr/bin/env bash
# Remakes the real search results under tests/data from deterministic random
# sequences. Needs python3 and Debian's ncbi-blast+ and fasta3; the tests only
# read the committed outputs, so CI never runs this.
#
#   tests/data/make-data.sh                   rewrite every file in tests/data
#   tests/data/make-data.sh --large OUT [N]   write one large BLAST XML search
#                                             (N library rounds, default 3000,
#                                             about 160 MB) for the benchmarks;
#                                             never commit it
#
# Reruns on the same machine give identical files: the sequences come from
# fixed seeds, every search runs on one thread with fixed cut-offs, and the
# FASTA programs use Altschul/Gish statistics (-z 3) instead of estimates
# from random shuffles. BLAST writes no date; the FASTA programs write their
# run date and timings, which are replaced by fixed values (those lines lie
# outside the alignment records).
set -euo pipefail

data_dir=$(cd "$(dirname "$0")" && pwd)
work_dir=$(mktemp -d)
trap 'rm -rf "$work_dir"' EXIT

tabular_fields="7 qseqid sseqid qstart qend sstart send stitle qseq sseq"

make_db() { # fasta-file db-name dbtype [extra makeblastdb options]
    makeblastdb -in "$1" -out "$2" -dbtype "$3" "${@:4}" > /dev/null
}

# Runs one BLAST search twice, as XML and as tabular, into tests/data.
blast_both() { # output-stem program [blast options]
    local stem=$1 program=$2
    shift 2
    "$program" "$@" -num_threads 1 -outfmt 5 > "$data_dir/$stem.xml"
    "$program" "$@" -num_threads 1 -outfmt "$tabular_fields" > "$data_dir/$stem.tab"
}

# Runs one FASTA program with -m 10 into tests/data, fixing the run date and
# the timing figures so that reruns match.
fasta_m10() { # output-file program [options and files]
    local output=$1 program=$2
    shift 2
    "$program" -m 10 -q -T 1 -z 3 "$@" \
        | sed -E -e 's/^ start: .* done: .*$/ start: Thu Jan  1 00:00:00 2026 done: Thu Jan  1 00:00:00 2026/' \
                 -e 's/(Scan|Display) time: +[0-9.:]+/\1 time:  0.000/g' \
        > "$data_dir/$output"
}

make_large() { # output-file rounds
    python3 "$data_dir/make-sequences.py" "$work_dir" "$2"
    cd "$work_dir"
    make_db dna_library.fa dna_db nucl
    blastn -task blastn -query dna_queries.fa -db dna_db -evalue 1e-5 \
        -max_target_seqs 1000000 -num_threads 1 -outfmt 5 > "$1"
}

make_blast() {
    make_db dna_library.fa dna_db nucl
    make_db dna_library.fa dna_parsed_db nucl -parse_seqids
    make_db protein_library.fa protein_db prot
    make_db protein_library.fa protein_parsed_db prot -parse_seqids

    local dna=(-task blastn -query dna_queries.fa -evalue 1e-5)
    blast_both dna.blastn blastn "${dna[@]}" -db dna_db
    blast_both dna_parsed.blastn blastn "${dna[@]}" -db dna_parsed_db
    blast_both subject.blastn blastn -task blastn -query subject_queries.fa \
        -subject subject_library.fa -evalue 1e-5
    blast_both nohits.blastn blastn -task blastn -query nohit_query.fa \
        -db dna_db -evalue 1e-5

    local protein=(-query protein_queries.fa -evalue 1e-5)
    blast_both protein.blastp blastp "${protein[@]}" -db protein_db
    blast_both protein_parsed.blastp blastp "${protein[@]}" -db protein_parsed_db
}

make_fasta() {
    fasta_m10 dna.fasta36.m10 fasta36 -E 1e-5 dna_queries.fa dna_library.fa
    fasta_m10 nohits.fasta36.m10 fasta36 -E 1e-5 nohit_query.fa dna_library.fa
    fasta_m10 protein.fasta36.m10 fasta36 -E 1e-5 protein_queries.fa protein_library.fa
    fasta_m10 dna.ssearch36.m10 ssearch36 -E 1e-5 dna_queries.fa dna_library.fa
    fasta_m10 protein.ssearch36.m10 ssearch36 -E 1e-5 protein_queries.fa protein_library.fa
    fasta_m10 many_queries.fasta36.m10 fasta36 -E 1e-3 -b 1 -d 1 \
        many_queries.fa many_library.fa
}

if [[ ${1:-} == --large ]]; then
    output=$(realpath -m "${2:?usage: make-data.sh --large OUTPUT [ROUNDS]}")
    make_large "$output" "${3:-3000}"
    exit 0
fi

python3 "$data_dir/make-sequences.py" "$data_dir"
cp "$data_dir"/*.fa "$work_dir"
# Searches run in the work folder with relative names, so no path of this
# machine ends up in the outputs.
cd "$work_dir"
make_blast
make_fasta

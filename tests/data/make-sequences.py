#!/usr/bin/env python3
"""Write the deterministic query and library FASTA files of the test data.

Usage: make-sequences.py OUTPUT_DIR [DNA_SCALE]

DNA_SCALE (default 1) multiplies the number of DNA library copies; the
benchmark uses it to grow a large BLAST search that is never committed.
Every random choice comes from one generator per file with a fixed seed, so
a rerun writes byte-identical files.
"""

import os
import random
import sys

DNA = "ACGT"
AMINO = "ACDEFGHIKLMNPQRSTVWY"
COMPLEMENT = str.maketrans("ACGT", "TGCA")

# (name, length) of the DNA queries; the library holds mutated copies of them.
DNA_QUERIES = [("q1", 2000), ("q2", 1500), ("q3", 900), ("q4", 500), ("q5", 300)]
# (query, substitution rate, reverse strand, part of the query copied)
DNA_COPIES = [
    ("q1", 0.01, False, "whole"),
    ("q1", 0.05, True, "whole"),
    ("q1", 0.12, False, "first half"),
    ("q1", 0.25, True, "whole"),
    ("q2", 0.02, True, "whole"),
    ("q2", 0.08, False, "second half"),
    ("q2", 0.18, False, "whole"),
    ("q3", 0.03, False, "whole"),
    ("q3", 0.15, True, "whole"),
    ("q4", 0.01, True, "whole"),
    ("q4", 0.22, False, "whole"),
    ("q5", 0.04, False, "whole"),
    ("q5", 0.10, True, "whole"),
]

PROTEIN_QUERIES = [("p1", 420), ("p2", 260), ("p3", 150), ("p4", 90)]
PROTEIN_COPIES = [
    ("p1", 0.03), ("p1", 0.15), ("p1", 0.35),
    ("p2", 0.05), ("p2", 0.25), ("p2", 0.45),
    ("p3", 0.10), ("p3", 0.30),
    ("p4", 0.02), ("p4", 0.20),
]

MANY_QUERY_COUNT = 1005
MANY_LIBRARY = [("m1", 400), ("m2", 400), ("m3", 400)]


def random_text(rng, alphabet, length):
    return "".join(rng.choice(alphabet) for _ in range(length))


def substitute(rng, alphabet, text, rate):
    residues = list(text)
    for i, residue in enumerate(residues):
        if rng.random() < rate:
            residues[i] = rng.choice([a for a in alphabet if a != residue])
    return "".join(residues)


def add_short_indels(rng, alphabet, text, count):
    """Insert or delete 1 to 6 residues at `count` random places."""
    for _ in range(count):
        size = rng.randint(1, 6)
        place = rng.randint(size, len(text) - size)
        if rng.random() < 0.5:
            text = text[:place] + random_text(rng, alphabet, size) + text[place:]
        else:
            text = text[:place] + text[place + size:]
    return text


def mutate(rng, alphabet, text, rate):
    indels = max(1, int(len(text) * rate / 40))
    return add_short_indels(rng, alphabet, substitute(rng, alphabet, text, rate), indels)


def reverse_complement(text):
    return text.translate(COMPLEMENT)[::-1]


def write_fasta(path, records):
    with open(path, "w") as out:
        for header, text in records:
            out.write(">" + header + "\n")
            for i in range(0, len(text), 60):
                out.write(text[i:i + 60] + "\n")


def part_of(text, part):
    half = len(text) // 2
    return {"whole": text, "first half": text[:half], "second half": text[half:]}[part]


def dna_sets(rng, scale):
    queries = {name: random_text(rng, DNA, length) for name, length in DNA_QUERIES}
    library = []
    for round_number in range(scale):
        for name, rate, reverse, part in DNA_COPIES:
            copy = mutate(rng, DNA, part_of(queries[name], part), rate)
            strand = "reverse strand" if reverse else "forward strand"
            if reverse:
                copy = reverse_complement(copy)
            title = "mutated copy of %s (%s), %d%% substitutions, %s" % (
                name, part, round(rate * 100), strand)
            library.append((title, copy))
    # One subject holding two stretches of q1, the second reverse-complemented,
    # so that a single hit carries several alignments.
    first = mutate(rng, DNA, queries["q1"][100:700], 0.03)
    second = reverse_complement(mutate(rng, DNA, queries["q1"][1200:1800], 0.06))
    spacer = random_text(rng, DNA, 400)
    library.append(("two stretches of q1 on opposite strands", first + spacer + second))
    # Random filler with no relation to any query.
    for _ in range(2):
        library.append(("unrelated random sequence", random_text(rng, DNA, 700)))
    # The query without hits is drawn after the library, so it shares nothing.
    no_hit = random_text(rng, DNA, 600)
    named_queries = [(name + " random DNA query of %d bp" % len(queries[name]),
                      queries[name]) for name, _ in DNA_QUERIES]
    named_queries.append(("q_nohit random DNA query without any relative", no_hit))
    return named_queries, numbered("lib", library)


def numbered(prefix, library):
    return [("%s_%04d %s" % (prefix, i + 1, title), text)
            for i, (title, text) in enumerate(library)]


def protein_sets(rng):
    queries = {name: random_text(rng, AMINO, length) for name, length in PROTEIN_QUERIES}
    library = [("mutated copy of %s, %d%% substitutions" % (name, round(rate * 100)),
                mutate(rng, AMINO, queries[name], rate))
               for name, rate in PROTEIN_COPIES]
    library.append(("unrelated random protein", random_text(rng, AMINO, 300)))
    named_queries = [(name + " random protein query of %d residues" % len(queries[name]),
                      queries[name]) for name, _ in PROTEIN_QUERIES]
    return named_queries, numbered("plib", library)


def has_relative(number):
    """Which of the many small queries are pieces of the library.

    Most are random, so that each costs only a short block without hits and
    the output stays small; the pieces sit at the start, every hundredth, and
    around query 1000.
    """
    return number <= 3 or number % 100 == 0 or number >= 998


def many_sets(rng):
    library = [(name, random_text(rng, DNA, length)) for name, length in MANY_LIBRARY]
    queries = []
    for number in range(1, MANY_QUERY_COUNT + 1):
        if has_relative(number):
            name, source = library[number % len(library)]
            start = rng.randint(0, len(source) - 40)
            text = substitute(rng, DNA, source[start:start + 40], 0.05)
            queries.append(("s%04d piece of %s" % (number, name), text))
        else:
            queries.append(("s%04d random" % number, random_text(rng, DNA, 40)))
    named_library = [("%s random DNA of %d bp" % (name, len(text)), text)
                     for name, text in library]
    return queries, named_library


def main():
    out_dir = sys.argv[1]
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    dna_queries, dna_library = dna_sets(random.Random(20240101), scale)
    write_fasta(os.path.join(out_dir, "dna_queries.fa"), dna_queries)
    write_fasta(os.path.join(out_dir, "dna_library.fa"), dna_library)
    write_fasta(os.path.join(out_dir, "nohit_query.fa"), dna_queries[-1:])
    # A search without a database: the two short queries, their copies and
    # one unrelated sequence.
    write_fasta(os.path.join(out_dir, "subject_queries.fa"), dna_queries[3:5])
    write_fasta(os.path.join(out_dir, "subject_library.fa"), dna_library[9:15])
    if scale != 1:
        return
    protein_queries, protein_library = protein_sets(random.Random(20240202))
    write_fasta(os.path.join(out_dir, "protein_queries.fa"), protein_queries)
    write_fasta(os.path.join(out_dir, "protein_library.fa"), protein_library)
    many_queries, many_library = many_sets(random.Random(20240303))
    write_fasta(os.path.join(out_dir, "many_queries.fa"), many_queries)
    write_fasta(os.path.join(out_dir, "many_library.fa"), many_library)


if __name__ == "__main__":
    main()

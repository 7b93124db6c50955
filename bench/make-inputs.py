#!/usr/bin/env python3
"""Write the deterministic query and library FASTA files of the scale benchmark.

Usage: make-inputs.py OUTPUT_DIR {long|short} [SCALE]

The sequences come in families: each family has a random ancestor, a few
queries that are lightly mutated copies of it and many library sequences
that are further mutated copies, half of them on the reverse strand. Every
query of a family aligns with every library copy of that family, so the
search grows with queries times copies while the library stays small and
the searches stay quick.

  long   240 queries of 2,400 to 3,900 bp, 75 copies each: about 18,000
         alignments of up to 4,000 columns
  short  2,000 queries of 60 to 150 bp, 50 copies each: 100,000 short
         alignments of up to about 160 columns, nearly all too short for a
         window at the default settings, so reading is nearly all the work

SCALE (default 1) divides the number of families, for quick trial runs.
The helpers come from the test data generator, so both draw sequences the
same way; one generator with a fixed seed per set makes reruns identical.
"""

import importlib.util
import random
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def load_test_data_generator():
    path = os.path.join(HERE, "..", "tests", "data", "make-sequences.py")
    found = importlib.util.spec_from_file_location("make_sequences", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


gen = load_test_data_generator()

# families, queries per family, copies per family, ancestor length range,
# query mutation rate range, copy mutation rate range, seed
SETS = {
    "long": (24, 10, 75, (2400, 3900), (0.005, 0.04), (0.01, 0.12), 20250101),
    "short": (40, 50, 50, (60, 150), (0.0, 0.03), (0.0, 0.05), 20250202),
}


def family_members(rng, prefix, ancestor, count, rates, strands):
    low, high = rates
    members = []
    for number in range(count):
        rate = rng.uniform(low, high)
        text = gen.mutate(rng, gen.DNA, ancestor, rate)
        reverse = strands and number % 2 == 1
        if reverse:
            text = gen.reverse_complement(text)
        strand = "reverse strand" if reverse else "forward strand"
        title = "%s copy %d, %.1f%% substitutions, %s" % (
            prefix, number + 1, rate * 100, strand)
        members.append((title, text))
    return members


def make_set(name, scale):
    families, queries_each, copies_each, lengths, query_rates, copy_rates, seed = SETS[name]
    rng = random.Random(seed)
    queries, library = [], []
    for family in range(max(1, families // scale)):
        ancestor = gen.random_text(rng, gen.DNA, rng.randint(*lengths))
        label = "family %d" % (family + 1)
        queries += family_members(rng, label + " query", ancestor, queries_each,
                                  query_rates, False)
        library += family_members(rng, label + " library", ancestor, copies_each,
                                  copy_rates, True)
    prefix = name[0]
    return gen.numbered(prefix + "q", queries), gen.numbered(prefix + "lib", library)


def main():
    out_dir, name = sys.argv[1], sys.argv[2]
    scale = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    queries, library = make_set(name, scale)
    gen.write_fasta(os.path.join(out_dir, name + "_queries.fa"), queries)
    gen.write_fasta(os.path.join(out_dir, name + "_library.fa"), library)


if __name__ == "__main__":
    main()

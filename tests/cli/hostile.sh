# Writers of large inputs, made when a test runs so that no big file is
# committed. Sourced by rows of runs.cases.

# repeat TEXT COUNT: TEXT (one byte) COUNT times, no line end.
repeat() {
  head -c "$2" /dev/zero | tr '\0' "$1"
}

# tab_search QFROM QTO SFROM STO QUERY-TEXT-COMMAND SUBJECT-TEXT-COMMAND [TITLE-COMMAND]
# A tabular search of one row whose aligned texts (and title) the commands write.
tab_search() {
  printf '# BLASTN 2.12.0+\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq, subject seq\n'
  printf 'q\ts\t%s\t%s\t%s\t%s\t' "$1" "$2" "$3" "$4"
  eval "${7:-printf 'subject title'}"
  printf '\t'
  eval "$5"
  printf '\t'
  eval "$6"
  printf '\n'
}

xml_head() {
  printf '<?xml version="1.0"?>\n<!DOCTYPE BlastOutput PUBLIC "-//NCBI//NCBI BlastOutput/EN" "http://www.ncbi.nlm.nih.gov/dtd/NCBI_BlastOutput.dtd">\n'
  printf '<BlastOutput>\n<BlastOutput_iterations>\n'
}

xml_tail() {
  printf '</BlastOutput_iterations>\n</BlastOutput>\n'
}

# xml_hsp QFROM QTO HFROM HTO QUERY-TEXT-COMMAND HIT-TEXT-COMMAND [MIDLINE-COMMAND], on one line.
xml_hsp() {
  printf '<Hsp><Hsp_query-from>%s</Hsp_query-from><Hsp_query-to>%s</Hsp_query-to>' "$1" "$2"
  printf '<Hsp_hit-from>%s</Hsp_hit-from><Hsp_hit-to>%s</Hsp_hit-to><Hsp_qseq>' "$3" "$4"
  eval "$5"
  printf '</Hsp_qseq><Hsp_hseq>'
  eval "$6"
  printf '</Hsp_hseq><Hsp_midline>'
  eval "${7:-}"
  printf '</Hsp_midline></Hsp>'
}

# xml_search QUERY-LENGTH HSP-COMMAND: one query with one hit whose Hsps the command writes.
xml_search() {
  xml_head
  printf '<Iteration>\n<Iteration_query-def>q query</Iteration_query-def>\n<Iteration_query-len>%s</Iteration_query-len>\n' "$1"
  printf '<Iteration_hits>\n<Hit>\n<Hit_def>s subject title</Hit_def>\n<Hit_hsps>\n'
  eval "$2"
  printf '\n</Hit_hsps>\n</Hit>\n</Iteration_hits>\n</Iteration>\n'
  xml_tail
}

# fasta_search QSTART SSTART QUERY-TEXT-COMMAND SUBJECT-TEXT-COMMAND
fasta_search() {
  printf '# fasta36 -m 10 q.fa s.fa\n  1>>>q query\n>>>q, vs s.fa library\n>>s subject title\n; fa_frame: f\n'
  printf '>q ..\n; sq_len: 1\n; al_display_start: %s\n' "$1"
  eval "$3"
  printf '\n>s ..\n; al_display_start: %s\n' "$2"
  eval "$4"
  printf '\n; al_cons:\n\n>>><<<\n>>>///\n'
}

// The rules that every reader shares for turning fields into values: integer
// fields, and one side of an alignment with its running coordinates. Faults
// are thrown as ProcessInputFile::FormatException.
#ifndef VARNEK_FIELD_RULES_H
#define VARNEK_FIELD_RULES_H

#include <string>

#include "Results.h"

// std::stoi in base 10 that also rejects anything left after the number.
// Throws std::invalid_argument or std::out_of_range.
int toInt(const std::string& text);

// toInt for a reader: a field that does not convert is malformed input at line.
int integerField(const std::string& text, unsigned long line);

enum class Side { Query, Hit };

// Builds one side from its begin, stated end and aligned text; the direction
// follows from begin and end. Throws FormatException{line, ...} when the
// residues do not end at the stated end.
Sequence makeSequence(int begin, int statedEnd, std::string text, Side side, unsigned long line);

// The FASTA form: no end to check; counts upwards unless the block runs on the
// reverse strand (step -1). A begin so close to the end of the int range that
// the running coordinate leaves it is reported as FormatException{line,
// "wrong integer format"}, as if the begin itself had not converted.
Sequence makeFastaSequence(int begin, std::string text, int step = 1, unsigned long line = 0);

#endif

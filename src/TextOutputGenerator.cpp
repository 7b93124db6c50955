#include "TextOutputGenerator.h"

void TextOutputGenerator::generate(std::ostream&, const std::vector<QueryResult>&, const Parameters&)
{
}

#include "HtmlOutputGenerator.h"

void HtmlOutputGenerator::generate(std::ostream&, const std::vector<QueryResult>&, const Parameters&)
{
}

#include "ProcessBlastXmlFile.h"

#include <libxml/parser.h>

#include <cstring>
#include <ios>
#include <memory>
#include <new>

namespace {

// Owners of libxml2's objects. Locals are destroyed in the reverse order of
// their creation, which is the order in which libxml2 wants them released.
struct ParserRelease {
    void operator()(xmlParserCtxtPtr parser) const
    {
        // The parser does not free the document it is building.
        xmlFreeDoc(parser->myDoc);
        parser->myDoc = nullptr;
        xmlFreeParserCtxt(parser);
    }
};
struct DocRelease {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct ContextRelease {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct ObjectRelease {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};
struct PathRelease {
    void operator()(xmlXPathCompExprPtr path) const { xmlXPathFreeCompExpr(path); }
};

using Parser = std::unique_ptr<xmlParserCtxt, ParserRelease>;
using Document = std::unique_ptr<xmlDoc, DocRelease>;
using Context = std::unique_ptr<xmlXPathContext, ContextRelease>;
using XPathResult = std::unique_ptr<xmlXPathObject, ObjectRelease>;
using CompiledPath = std::unique_ptr<xmlXPathCompExpr, PathRelease>;

template <typename Pointer>
Pointer checked(Pointer pointer)
{
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

const std::size_t blockSize = 1024;

// Reads the next block; returns its size. A stream that stops delivering
// before its end without throwing would otherwise be read forever.
int readBlock(std::istream& input, char* buffer)
{
    input.read(buffer, blockSize);
    if (input.bad() || (input.fail() && !input.eof()))
        throw std::ios_base::failure("input stream failed before its end");
    return static_cast<int>(input.gcount());
}

// libxml2 files its refusal of a text longer than its limit for one text
// node under the memory error too; that refusal is a parse failure.
bool ranOutOfMemory(const xmlParserCtxt& parser)
{
    const char* detail = parser.lastError.message;
    return parser.errNo == XML_ERR_NO_MEMORY && !(detail && std::strstr(detail, "huge text node"));
}

// Pushes the whole input through the parser; the document is judged only
// once everything has been read.
Document parseDocument(std::istream& input)
{
    char buffer[blockSize];
    int size = readBlock(input, buffer);
    Parser parser(checked(xmlCreatePushParserCtxt(nullptr, nullptr, buffer, size, nullptr)));
    while (!input.eof()) {
        size = readBlock(input, buffer);
        xmlParseChunk(parser.get(), buffer, size, 0);
    }
    xmlParseChunk(parser.get(), nullptr, 0, 1);
    if (!parser->wellFormed)
        throw ProcessInputFile::FormatException{0, "failed to parse XML"};
    // A byte that cannot be decoded halts libxml2 without clearing
    // wellFormed, leaving the tree read so far: that would be a partial report.
    if (parser->disableSAX) {
        if (ranOutOfMemory(*parser))
            throw std::bad_alloc();
        throw ProcessInputFile::FormatException{0, "failed to parse XML"};
    }
    Document doc(checked(parser->myDoc));
    parser->myDoc = nullptr;
    return doc;
}

CompiledPath compile(const char* expression)
{
    return CompiledPath(checked(xmlXPathCompile(BAD_CAST expression)));
}

XPathResult evaluate(xmlNodePtr node, xmlXPathCompExprPtr path, xmlXPathContextPtr context)
{
    context->node = node;
    return XPathResult(checked(xmlXPathCompiledEval(path, context)));
}

// The element nodes of a result, in document order.
template <typename Visit>
void forEachElement(const XPathResult& result, Visit visit)
{
    const xmlNodeSetPtr nodes = result->nodesetval;
    if (!nodes)
        return;
    for (int i = 0; i < nodes->nodeNr; ++i)
        if (nodes->nodeTab[i]->type == XML_ELEMENT_NODE)
            visit(nodes->nodeTab[i]);
}

// Where the database was built with parsed identifiers, BLAST keeps the
// identifier out of the definition line; its ordinal ids name nothing.
bool namesTheHit(const std::string& id)
{
    static const char ordinal[] = "gnl|BL_ORD_ID|";
    return id.compare(0, sizeof ordinal - 1, ordinal) != 0;
}

}  // namespace

std::string firstWord(std::string text)
{
    const std::size_t space = text.find(' ');
    if (space != std::string::npos)
        text.erase(space);
    return text;
}

// Every path of the walk, compiled once instead of once for every node. The
// axis is spelled out: libxml2 evaluates a bare name such as "Hsp_qseq" as a
// pattern matched against every node of the subtree, while "child::Hsp_qseq"
// only looks at the children; both select the same elements.
struct ProcessBlastXmlFile::Paths {
    CompiledPath queryDefinition = compile("child::Iteration_query-def");
    CompiledPath queryLength = compile("child::Iteration_query-len");
    CompiledPath hits = compile("child::Iteration_hits/child::Hit");
    CompiledPath hitDefinition = compile("child::Hit_def");
    CompiledPath hitId = compile("child::Hit_id");
    CompiledPath hsps = compile("child::Hit_hsps/child::Hsp");
    CompiledPath queryFrom = compile("child::Hsp_query-from");
    CompiledPath queryTo = compile("child::Hsp_query-to");
    CompiledPath hitFrom = compile("child::Hsp_hit-from");
    CompiledPath hitTo = compile("child::Hsp_hit-to");
    CompiledPath queryText = compile("child::Hsp_qseq");
    CompiledPath hitText = compile("child::Hsp_hseq");
};

ProcessBlastXmlFile::ProcessBlastXmlFile()
    : paths(std::make_unique<Paths>()), context(xmlXPathNewContext(nullptr))
{
    if (!context)
        throw std::bad_alloc();
}

ProcessBlastXmlFile::~ProcessBlastXmlFile()
{
    xmlXPathFreeContext(context);
}

enum class ProcessBlastXmlFile::Lookup { Found, WrongCount, NotElement, NotText };

std::vector<QueryResult> ProcessBlastXmlFile::process(std::istream& input, const Parameters& params)
{
    // Declared first so that, on an error, it goes after everything libxml2 holds.
    std::vector<QueryResult> queries;
    const Document doc = parseDocument(input);
    const Context iterationContext(checked(xmlXPathNewContext(doc.get())));
    const Context hitContext(checked(xmlXPathNewContext(doc.get())));
    const Context hspContext(checked(xmlXPathNewContext(doc.get())));
    const XPathResult iterations(checked(xmlXPathEvalExpression(
        BAD_CAST "/BlastOutput/BlastOutput_iterations/Iteration", iterationContext.get())));
    forEachElement(iterations, [&](xmlNodePtr iteration) {
        readIteration(iteration, hitContext.get(), hspContext.get(), params, queries);
    });
    return queries;
}

void ProcessBlastXmlFile::readIteration(xmlNodePtr iteration, xmlXPathContextPtr hitContext,
                                        xmlXPathContextPtr hspContext, const Parameters& params,
                                        std::vector<QueryResult>& queries)
{
    QueryResult query;
    query.definition = getXPathValue(iteration, paths->queryDefinition.get());
    query.length = getXPathInt(iteration, paths->queryLength.get());
    query.id = firstWord(query.definition);
    const XPathResult hits = evaluate(iteration, paths->hits.get(), hitContext);
    forEachElement(hits, [&](xmlNodePtr hit) { readHit(hit, hspContext, params, query.hits); });
    queries.push_back(std::move(query));
}

void ProcessBlastXmlFile::readHit(xmlNodePtr hit, xmlXPathContextPtr hspContext, const Parameters& params,
                                  std::vector<HitResult>& hits)
{
    HitResult result;
    result.description = getXPathValue(hit, paths->hitDefinition.get());
    std::string id;
    const bool hasId = lookUp(hit, paths->hitId.get(), id) == Lookup::Found && namesTheHit(id);
    result.id = hasId ? std::move(id) : firstWord(result.description);
    const XPathResult hsps = evaluate(hit, paths->hsps.get(), hspContext);
    forEachElement(hsps, [&](xmlNodePtr hsp) { result.alignments.push_back(readHsp(hsp, params)); });
    hits.push_back(std::move(result));
}

AlignmentResult ProcessBlastXmlFile::readHsp(xmlNodePtr hsp, const Parameters& params)
{
    // Each value is checked as soon as it is read: the first faulty field is the one reported.
    const int queryFrom = getXPathInt(hsp, paths->queryFrom.get());
    const int queryTo = getXPathInt(hsp, paths->queryTo.get());
    const int hitFrom = getXPathInt(hsp, paths->hitFrom.get());
    const int hitTo = getXPathInt(hsp, paths->hitTo.get());
    std::string queryText = getXPathValue(hsp, paths->queryText.get());
    std::string hitText = getXPathValue(hsp, paths->hitText.get());
    if (queryText.size() != hitText.size())
        throw FormatException{0, "sequences has different lengths"};
    AlignmentResult alignment;
    alignment.query = makeSequence(queryFrom, queryTo, std::move(queryText), Side::Query, 0);
    alignment.hit = makeSequence(hitFrom, hitTo, std::move(hitText), Side::Hit, 0);
    alignment.windows = analyzeAlignment(alignment.query, alignment.hit, params);
    return alignment;
}

int ProcessBlastXmlFile::getXPathInt(xmlNodePtr node, xmlXPathCompExprPtr path)
{
    return integerField(getXPathValue(node, path), 0);
}

std::string ProcessBlastXmlFile::getXPathValue(xmlNodePtr node, xmlXPathCompExprPtr path)
{
    std::string value;
    switch (lookUp(node, path, value)) {
    case Lookup::Found: return value;
    case Lookup::WrongCount: throw FormatException{0, "unexpected count of xpath results"};
    case Lookup::NotElement: throw FormatException{0, "unexpected type of an xpath result"};
    case Lookup::NotText: break;
    }
    throw FormatException{0, "unexpected type of an xpath value"};
}

// The value is the single text child of the one element that path selects.
ProcessBlastXmlFile::Lookup ProcessBlastXmlFile::lookUp(xmlNodePtr node, xmlXPathCompExprPtr path,
                                                        std::string& value)
{
    // libxml2 evaluates only below nodes of the context's own document.
    context->doc = node->doc;
    const XPathResult result = evaluate(node, path, context);
    const xmlNodeSetPtr nodes = result->nodesetval;
    if (!nodes || nodes->nodeNr != 1)
        return Lookup::WrongCount;
    const xmlNodePtr element = nodes->nodeTab[0];
    if (element->type != XML_ELEMENT_NODE)
        return Lookup::NotElement;
    const xmlNodePtr text = element->children;
    if (!text || text->type != XML_TEXT_NODE || text->next)
        return Lookup::NotText;
    value = reinterpret_cast<const char*>(text->content);
    return Lookup::Found;
}

#include "ProcessBlastXmlFile.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <cstring>
#include <ios>
#include <memory>
#include <new>
#include <system_error>

namespace {

using FormatException = ProcessInputFile::FormatException;

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
// before its end without throwing would otherwise be read forever. It names no
// reason of its own, so the failure carries the generic one of a failed read.
int readBlock(std::istream& input, char* buffer)
{
    input.read(buffer, blockSize);
    if (input.bad() || (input.fail() && !input.eof()))
        throw std::ios_base::failure("input stream failed before its end",
                                     std::make_error_code(std::errc::io_error));
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
        throw FormatException{0, "failed to parse XML"};
    // A byte that cannot be decoded halts libxml2 without clearing
    // wellFormed, leaving the tree read so far: that would be a partial report.
    if (parser->disableSAX) {
        if (ranOutOfMemory(*parser))
            throw std::bad_alloc();
        throw FormatException{0, "failed to parse XML"};
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

// BLAST writes its ordinal ids ("gnl|BL_ORD_ID|7") for a database made without
// -parse_seqids; they name nothing, while a parsed id is the hit's accession.
bool namesTheHit(const std::string& id)
{
    static const char ordinal[] = "gnl|BL_ORD_ID|";
    return id.compare(0, sizeof ordinal - 1, ordinal) != 0;
}

// Every path of the walk, compiled once instead of once for every node. The
// axis is spelled out: libxml2 evaluates a bare name such as "Hsp_qseq" as a
// pattern matched against every node of the subtree, while "child::Hsp_qseq"
// only looks at the children; both select the same elements.
struct Paths {
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

enum class Lookup { Found, WrongCount, NotElement, NotText };

// The walk over one parsed document. Each level appends its record to its
// parent's list before it frees its own XPath result.
class DocumentWalk {
public:
    DocumentWalk(xmlDocPtr doc, const Paths& paths, xmlXPathContextPtr valueContext,
                 ProcessInputFile& windowSearch, const Parameters& params)
        : paths(paths), valueContext(valueContext), windowSearch(windowSearch), params(params),
          iterationContext(checked(xmlXPathNewContext(doc))), hitContext(checked(xmlXPathNewContext(doc))),
          hspContext(checked(xmlXPathNewContext(doc)))
    {
    }

    void readIterations(std::vector<QueryResult>& queries);

private:
    void readIteration(xmlNodePtr iteration, std::vector<QueryResult>& queries);
    void readHit(xmlNodePtr hit, std::vector<HitResult>& hits);
    AlignmentResult readHsp(xmlNodePtr hsp);

    // The text of the one child element that path selects below node.
    std::string getXPathValue(xmlNodePtr node, xmlXPathCompExprPtr path);
    int getXPathInt(xmlNodePtr node, xmlXPathCompExprPtr path);
    Lookup lookUp(xmlNodePtr node, xmlXPathCompExprPtr path, std::string& value);

    const Paths& paths;
    const xmlXPathContextPtr valueContext;
    ProcessInputFile& windowSearch;
    const Parameters& params;
    const Context iterationContext;
    const Context hitContext;
    const Context hspContext;
};

void DocumentWalk::readIterations(std::vector<QueryResult>& queries)
{
    const XPathResult iterations(checked(xmlXPathEvalExpression(
        BAD_CAST "/BlastOutput/BlastOutput_iterations/Iteration", iterationContext.get())));
    forEachElement(iterations, [&](xmlNodePtr iteration) { readIteration(iteration, queries); });
}

void DocumentWalk::readIteration(xmlNodePtr iteration, std::vector<QueryResult>& queries)
{
    QueryResult query;
    query.definition = getXPathValue(iteration, paths.queryDefinition.get());
    query.length = getXPathInt(iteration, paths.queryLength.get());
    query.id = firstWord(query.definition);
    const XPathResult hits = evaluate(iteration, paths.hits.get(), hitContext.get());
    forEachElement(hits, [&](xmlNodePtr hit) { readHit(hit, query.hits); });
    queries.push_back(std::move(query));
}

void DocumentWalk::readHit(xmlNodePtr hit, std::vector<HitResult>& hits)
{
    HitResult result;
    result.description = getXPathValue(hit, paths.hitDefinition.get());
    // The hit is named by Hit_id, where BLAST run with -parse_seqids puts the accession.
    std::string id;
    const bool hasId = lookUp(hit, paths.hitId.get(), id) == Lookup::Found && namesTheHit(id);
    result.id = hasId ? std::move(id) : firstWord(result.description);
    const XPathResult hsps = evaluate(hit, paths.hsps.get(), hspContext.get());
    forEachElement(hsps, [&](xmlNodePtr hsp) { result.alignments.push_back(readHsp(hsp)); });
    hits.push_back(std::move(result));
}

AlignmentResult DocumentWalk::readHsp(xmlNodePtr hsp)
{
    // Each value is checked as soon as it is read: the first faulty field is the one reported.
    const int queryFrom = getXPathInt(hsp, paths.queryFrom.get());
    const int queryTo = getXPathInt(hsp, paths.queryTo.get());
    const int hitFrom = getXPathInt(hsp, paths.hitFrom.get());
    const int hitTo = getXPathInt(hsp, paths.hitTo.get());
    std::string queryText = getXPathValue(hsp, paths.queryText.get());
    std::string hitText = getXPathValue(hsp, paths.hitText.get());
    if (queryText.size() != hitText.size())
        throw FormatException{0, "sequences has different lengths"};
    AlignmentResult alignment;
    alignment.query = makeSequence(queryFrom, queryTo, std::move(queryText), Side::Query, 0);
    alignment.hit = makeSequence(hitFrom, hitTo, std::move(hitText), Side::Hit, 0);
    alignment.windows = windowSearch.analyzeAlignment(alignment.query, alignment.hit, params);
    return alignment;
}

int DocumentWalk::getXPathInt(xmlNodePtr node, xmlXPathCompExprPtr path)
{
    return integerField(getXPathValue(node, path), 0);
}

std::string DocumentWalk::getXPathValue(xmlNodePtr node, xmlXPathCompExprPtr path)
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
Lookup DocumentWalk::lookUp(xmlNodePtr node, xmlXPathCompExprPtr path, std::string& value)
{
    // libxml2 evaluates only below nodes of the context's own document.
    valueContext->doc = node->doc;
    const XPathResult result = evaluate(node, path, valueContext);
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

}  // namespace

std::string firstWord(std::string text)
{
    const std::size_t space = text.find(' ');
    if (space != std::string::npos)
        text.erase(space);
    return text;
}

// The paths are made before the context, so that a failed context leaves nothing behind.
struct ProcessBlastXmlFile::XPath {
    Paths paths;
    Context valueContext{checked(xmlXPathNewContext(nullptr))};
};

ProcessBlastXmlFile::ProcessBlastXmlFile() : xpath(std::make_unique<XPath>()) {}

ProcessBlastXmlFile::~ProcessBlastXmlFile() = default;

std::vector<QueryResult> ProcessBlastXmlFile::process(std::istream& input, const Parameters& params)
{
    // Declared first so that, on an error, it goes after everything libxml2 holds.
    std::vector<QueryResult> queries;
    const Document doc = parseDocument(input);
    DocumentWalk walk(doc.get(), xpath->paths, xpath->valueContext.get(), *this, params);
    walk.readIterations(queries);
    return queries;
}

// Every reader on one table of inputs (readers.table), each row read by its
// explicit reader and by the automatic one, which must give the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "ProcessAutoInputFile.h"
#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"
#include "test_support.h"

namespace {

std::unique_ptr<ProcessInputFile> explicitReader(const std::string& form)
{
    if (form == "tab")
        return std::make_unique<ProcessBlastFile>();
    if (form == "xml")
        return std::make_unique<ProcessBlastXmlFile>();
    return form == "fasta" ? std::make_unique<ProcessFastaFile>() : nullptr;
}

std::vector<QueryResult> read(ProcessInputFile&& reader, const std::string& text)
{
    Parameters params;
    params.length = 4;
    std::istringstream input(text);
    return reader.process(input, params);
}

std::string readAndDump(ProcessInputFile&& reader, const std::string& text)
{
    return outcome([&] { return dump(read(std::move(reader), text)); });
}

const std::string unknown = "line 0: unknown type of the input file";

// Little-endian UTF-16 in which a unit after the fourth query cannot be
// decoded: libxml2 stops there but keeps the tree it has read so far.
std::string utf16WithLoneSurrogate()
{
    std::string text = "<?xml version=\"1.0\"?>\n<BlastOutput><BlastOutput_iterations>", wide = "\xff\xfe";
    for (int i = 0; i < 5; ++i)
        text += std::string(i == 4 ? "@" : "") + "<Iteration><Iteration_query-def>q</Iteration_query-def>"
                "<Iteration_query-len>1</Iteration_query-len></Iteration>";
    for (char c : text + "</BlastOutput_iterations></BlastOutput>\n")
        wide += c == '@' ? std::string("\0\xd8", 2) : std::string{c, '\0'};
    return wide;
}

// Rows: name | form (tab, xml, fasta, unknown; with '!' the automatic reader
// gives `unknown`) | input | the records' dump, or "line N: message".
std::vector<Row> readerRows()
{
    std::vector<Row> rows = readTable("readers.table");
    rows.push_back({"XmlUndecodableUnit", "xml!", utf16WithLoneSurrogate(), "line 0: failed to parse XML"});
    return rows;
}

class Reader : public testing::TestWithParam<Row> {};

TEST_P(Reader, GivesTheRecordsOrTheMessageAndTheAutomaticReaderAgrees)
{
    const Row& row = GetParam();
    if (const auto reader = explicitReader(row[1].substr(0, row[1].find('!')))) {
        EXPECT_EQ(readAndDump(std::move(*reader), row[2]), row[3]);
    }
    EXPECT_EQ(readAndDump(ProcessAutoInputFile(), row[2]), row[1].back() == '!' ? unknown : row[3]);
}

INSTANTIATE_TEST_SUITE_P(Table, Reader, testing::ValuesIn(readerRows()), rowName);

// The same real search written as XML and as tabular output: the tabular
// form has no query definitions and lengths, shows a query only through its
// rows, and a search against a subject file gives it no titles.
std::string comparable(std::vector<QueryResult> queries, bool titled)
{
    std::vector<QueryResult> withHits;
    for (QueryResult& query : queries) {
        query.definition.clear();
        query.length = -1;
        for (HitResult& hit : query.hits)
            hit.description = titled ? hit.description : "";
        if (!query.hits.empty())
            withHits.push_back(std::move(query));
    }
    return dump(withHits);
}

TEST(RealSearches, XmlAndTabularFormsGiveTheSameAlignmentsAndWindows)
{
    std::string all;
    for (const std::string stem : {"dna.blastn", "dna_parsed.blastn", "subject.blastn", "protein.blastp",
                                   "protein_parsed.blastp", "nohits.blastn"}) {
        const bool titled = stem != "subject.blastn";
        const std::string fromXml = comparable(read(ProcessBlastXmlFile(), readFile(dataPath(stem + ".xml"))), titled);
        EXPECT_EQ(fromXml, comparable(read(ProcessBlastFile(), readFile(dataPath(stem + ".tab"))), titled)) << stem;
        all += fromXml;
    }
    EXPECT_NE(all.find("\nW "), std::string::npos);
}

TEST(RealSearches, TheAutomaticReaderReadsEveryFileAsTheExplicitOne)
{
    const std::map<std::string, std::string> forms = {{".tab", "tab"}, {".xml", "xml"}, {".m10", "fasta"}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VARNEK_TEST_DATA)) {
        const auto form = forms.find(entry.path().extension().string());
        if (form == forms.end())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = readFile(entry.path().string());
        const std::string explicitly = readAndDump(std::move(*explicitReader(form->second)), text);
        EXPECT_EQ(explicitly.rfind("line ", 0), std::string::npos) << explicitly;
        // ssearch36 writes the -m 10 form too, but its first line names ssearch36.
        const bool recognised = text.rfind("# ssearch36", 0) != 0;
        EXPECT_EQ(readAndDump(ProcessAutoInputFile(), text), recognised ? explicitly : unknown);
        ++files;
    }
    EXPECT_GE(files, 19);
}

}  // namespace

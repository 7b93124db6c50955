// The automatic reader must give exactly what the explicitly chosen reader
// gives: the same result list, or the same message at the same line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "ProcessAutoInputFile.h"
#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"

namespace {

void dumpSequence(std::ostream& out, const Sequence& s)
{
    out << "  " << s.begin << ' ' << s.end << ' ' << s.getSeq() << " [";
    for (int position : s.positions)
        out << ' ' << position;
    out << " ]\n";
}

std::string dump(const std::vector<QueryResult>& results)
{
    std::ostringstream out;
    for (const QueryResult& q : results) {
        out << "query " << q.length << ' ' << q.id << '|' << q.definition << '\n';
        for (const HitResult& h : q.hits) {
            out << " hit " << h.id << '|' << h.description << '\n';
            for (const AlignmentResult& a : h.alignments) {
                dumpSequence(out, a.query);
                dumpSequence(out, a.hit);
                for (const WindowResult& w : a.windows)
                    out << "  window " << w.begin << ' ' << w.end << ' ' << w.overlapBegin << ' '
                        << w.overlapEnd << ' ' << w.overlapLeft << ' ' << w.overlapRight << ' '
                        << w.identity << '\n';
            }
        }
    }
    return out.str();
}

// What one reader made of a text: the dumped result list, or "error LINE: MESSAGE".
std::string outcome(ProcessInputFile& reader, const std::string& text)
{
    Parameters params;
    params.length = 4;
    std::istringstream input(text);
    try {
        return dump(reader.process(input, params));
    } catch (const ProcessInputFile::FormatException& e) {
        return "error " + std::to_string(e.line) + ": " + e.message;
    }
}

std::unique_ptr<ProcessInputFile> explicitReader(const std::string& form)
{
    if (form == "blast:tab")
        return std::make_unique<ProcessBlastFile>();
    if (form == "blast:xml")
        return std::make_unique<ProcessBlastXmlFile>();
    return std::make_unique<ProcessFastaFile>();
}

// The first line in which two outcomes differ, so that a failure stays readable.
std::string firstDifference(const std::string& automatic, const std::string& explicitForm)
{
    std::istringstream a(automatic), e(explicitForm);
    std::string lineA, lineE;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreE = static_cast<bool>(std::getline(e, lineE));
        if (!moreA && !moreE)
            return "";
        if (lineA != lineE || moreA != moreE)
            return "line " + std::to_string(line) + ": auto \"" + lineA.substr(0, 200) + "\", explicit \"" +
                   lineE.substr(0, 200) + "\"";
    }
}

void expectSameAsExplicit(const std::string& form, const std::string& text, const std::string& error)
{
    ProcessAutoInputFile autoReader;
    const std::string automatic = outcome(autoReader, text);
    EXPECT_EQ(firstDifference(automatic, outcome(*explicitReader(form), text)), "");
    if (error.empty())
        EXPECT_NE(automatic.rfind("error", 0), 0u) << automatic;
    else
        EXPECT_EQ(automatic, "error " + error);
}

struct SameCase {
    const char* name;
    const char* form;
    std::string text;
    std::string error;  // "LINE: MESSAGE", empty when the text is valid
};

const std::string tabHeader =
    "# BLASTN 2.12.0+\n# Query: q1 first query\n# Database: db\n"
    "# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq, "
    "subject seq\n# 2 hits found\n";
const std::string tabRows =
    "q1\ts1\t1\t8\t20\t13\tone \xFF title\tACGTACGT\tACGTACGA\n"
    "q1\ts2\t3\t9\t1\t8\ttwo\tAC-TACGT\tACGTACGT\n";

const std::string fastaStart = "# fasta36 -m 10 q.fa db.fa\nFASTA searches a protein or DNA sequence data bank\n";
const std::string fastaQuery =
    "  1>>>q1 first query - 8 nt\nLibrary: db\n>>>q1, 8 nt vs db library\n; pg_name: fasta36\n";
const std::string fastaHit =
    ">>s1 one title\n; fa_frame: f\n>q1 ..\n; sq_len: 8\n; al_display_start: 1\nACGTACGT\n"
    ">s1 ..\n; sq_len: 8\n; al_display_start: 20\nACGTACGA\n; al_cons:\n:::::::.\n";
const std::string fastaEnd = ">>><<<\n>>>///\n";

const std::string xmlStart =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE BlastOutput PUBLIC \"-//NCBI//NCBI BlastOutput/EN\" \"NCBI_BlastOutput.dtd\">\n"
    "<BlastOutput><BlastOutput_iterations><Iteration>"
    "<Iteration_query-def>q1 first query</Iteration_query-def><Iteration_query-len>8</Iteration_query-len>"
    "<Iteration_hits><Hit><Hit_def>s1 one title</Hit_def><Hit_hsps><Hsp>";
const std::string xmlHsp =
    "<Hsp_query-from>1</Hsp_query-from><Hsp_query-to>8</Hsp_query-to>"
    "<Hsp_hit-from>20</Hsp_hit-from><Hsp_hit-to>13</Hsp_hit-to>"
    "<Hsp_qseq>ACGTACGT</Hsp_qseq><Hsp_hseq>ACGTACGA</Hsp_hseq>";
const std::string xmlEnd = "</Hsp></Hit_hsps></Hit></Iteration_hits></Iteration></BlastOutput_iterations></BlastOutput>\n";

const SameCase sameCases[] = {
    {"TabValid", "blast:tab", tabHeader + tabRows, ""},
    {"TabFieldsOnSecondLine", "blast:tab",
     "# BLAST\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, "
     "query seq, subject seq\n" + tabRows, ""},
    {"TabLongFirstLine", "blast:tab", "# BLASTN " + std::string(3000, 'x') + "\n" + tabHeader + tabRows, ""},
    {"TabCommentsOnly", "blast:tab", "# BLASTN 2.12.0+\n# Query: q1\n# 0 hits found\n", ""},
    {"TabWithoutFields", "blast:tab", "# BLASTN 2.12.0+\n# Query: q1\n" + tabRows, "2: cannot find line '# Fields:'"},
    {"TabMissingField", "blast:tab",
     "# BLAST\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq\n",
     "2: field 'subject seq' is not found in the input"},
    {"TabFewColumns", "blast:tab", tabHeader + tabRows + "q1\ts3\t1\n", "8: not enough columns"},
    {"TabEmptyLineAtEnd", "blast:tab", tabHeader + tabRows + "\n", "8: not enough columns"},
    {"TabDifferentLengths", "blast:tab", tabHeader + "q1\ts1\t1\t8\t1\t7\tt\tACGTACGT\tACGTACG\n",
     "6: sequences has different lengths"},
    {"TabBadInteger", "blast:tab", tabHeader + tabRows + "q1\ts1\t1x\t8\t1\t8\tt\tACGTACGT\tACGTACGT\n",
     "8: wrong integer format"},
    {"TabWrongQueryEnd", "blast:tab", tabHeader + "q1\ts1\t1\t9\t1\t8\tt\tACGTACGT\tACGTACGT\n",
     "6: unexpected value of a query sequence end position"},
    {"TabWrongHitEnd", "blast:tab", tabHeader + "q1\ts1\t1\t8\t1\t9\tt\tACGTACGT\tACGTACGT\n",
     "6: unexpected value of a hit sequence end position"},
    {"FastaValid", "fasta", fastaStart + fastaQuery + fastaHit + fastaEnd, ""},
    {"FastaQueryOnSecondLine", "fasta", "# fasta36\n" + fastaQuery + fastaHit + fastaEnd, ""},
    {"FastaLongFirstLine", "fasta", "# fasta36 " + std::string(2500, 'y') + "\n" + fastaQuery + fastaHit + fastaEnd, ""},
    {"FastaWithoutQuery", "fasta", fastaStart, "2: line '  1>>>' is missing"},
    {"FastaCut", "fasta", fastaStart + fastaQuery + ">>s1 one title\n; fa_frame: f\n>q1 ..\n",
     "9: unexpected end of file"},
    {"FastaBadDisplayStart", "fasta", fastaStart + fastaQuery + ">>s1 t\n>q1 ..\n; al_display_start: 1a\n",
     "9: wrong integer format"},
    {"FastaBadQueryHeader", "fasta", fastaStart + fastaQuery + fastaHit + ">>><<<\nnext\n",
     "20: line 'num>>>' is missing"},
    {"FastaLoneNextAlignment", "fasta", fastaStart + fastaQuery + ">--\n", "7: line '>--' is unexpected"},
    {"XmlValid", "blast:xml", xmlStart + xmlHsp + xmlEnd, ""},
    {"XmlNotWellFormed", "blast:xml", xmlStart + xmlHsp, "0: failed to parse XML"},
    {"XmlDifferentLengths", "blast:xml",
     xmlStart + "<Hsp_query-from>1</Hsp_query-from><Hsp_query-to>8</Hsp_query-to>"
                "<Hsp_hit-from>1</Hsp_hit-from><Hsp_hit-to>7</Hsp_hit-to>"
                "<Hsp_qseq>ACGTACGT</Hsp_qseq><Hsp_hseq>ACGTACG</Hsp_hseq>" + xmlEnd,
     "0: sequences has different lengths"},
    {"XmlMissingCoordinate", "blast:xml", xmlStart + "<Hsp_qseq>A</Hsp_qseq>" + xmlEnd,
     "0: unexpected count of xpath results"},
};

void PrintTo(const SameCase& c, std::ostream* out) { *out << c.name; }

class SameAsExplicit : public testing::TestWithParam<SameCase> {};

TEST_P(SameAsExplicit, GivesTheSameResultOrError)
{
    expectSameAsExplicit(GetParam().form, GetParam().text, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(AutoInput, SameAsExplicit, testing::ValuesIn(sameCases),
                         [](const testing::TestParamInfo<SameCase>& info) { return info.param.name; });

// The explicit form of a search result file, from its name; empty for the
// files that are not search results (sequences, scripts, notes).
std::string formOfFile(const std::filesystem::path& file)
{
    const std::string extension = file.extension().string();
    if (extension == ".tab")
        return "blast:tab";
    if (extension == ".xml")
        return "blast:xml";
    if (extension == ".m10")
        return "fasta";
    return "";
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream input(file, std::ios_base::binary);
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

TEST(SameAsExplicit, EveryRealSearchResult)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VARNEK_TEST_DATA)) {
        const std::string form = formOfFile(entry.path());
        if (form.empty())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = readFile(entry.path());
        // ssearch36 writes the -m 10 form too, but its first line names
        // ssearch36; only the explicit form reads it.
        if (text.rfind("# ssearch36", 0) == 0) {
            ProcessAutoInputFile autoReader;
            EXPECT_EQ(outcome(autoReader, text), "error 0: unknown type of the input file");
        } else {
            expectSameAsExplicit(form, text, "");
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace

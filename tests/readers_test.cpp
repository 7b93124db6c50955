// Every reader on one table of inputs, each row read by its explicit reader
// and by the automatic one, which must give the same records or message.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>

#include "ProcessAutoInputFile.h"
#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"
#include "test_support.h"

namespace {

enum class Form { Tab, Xml, Fasta, Unknown };

std::unique_ptr<ProcessInputFile> explicitReader(Form form)
{
    if (form == Form::Tab)
        return std::make_unique<ProcessBlastFile>();
    if (form == Form::Xml)
        return std::make_unique<ProcessBlastXmlFile>();
    return std::make_unique<ProcessFastaFile>();
}

std::vector<QueryResult> read(ProcessInputFile& reader, const std::string& text)
{
    Parameters params;
    params.length = 4;
    std::istringstream input(text);
    return reader.process(input, params);
}

std::string readAndDump(ProcessInputFile&& reader, const std::string& text)
{
    return outcome([&] { return dump(read(reader, text)); });
}

const std::string unknown = "line 0: unknown type of the input file";

struct ReaderRow {
    const char* name;
    Form form;
    std::string input;
    std::string expected;  // the records' dump, or "line N: message"
    bool recognised = true;  // else the automatic reader gives `unknown`
};

void PrintTo(const ReaderRow& row, std::ostream* out) { *out << row.name; }

const std::string fields = "query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq, subject seq";
const std::string tabHead = "# BLASTN 2.12.0+\n# Fields: " + fields + "\n";
const std::string tabRow = "q1\ts1\t3\t9\t120\t113\tmutated copy\tACGT-TTA\tACGTATTA\n";
const std::string tabRowDump = "Q q1||-1\nH s1|mutated copy\nA 3 9 ACGT-TTA 3+++=+++ / 120 113 ACGTATTA 120-------\n"
                               "W 0 7 0 7 0 0 0.875\n";
const std::string ac = "A 1 2 AC 1+ / 1 2 AC 1+\n";

std::string acRow(const std::string& query, const std::string& subject, const std::string& title)
{
    return query + "\t" + subject + "\t1\t2\t1\t2\t" + title + "\tAC\tAC\n";
}

const std::string xmlHead = "<?xml version=\"1.0\"?>\n"
                            "<!DOCTYPE BlastOutput PUBLIC \"-//NCBI//NCBI BlastOutput/EN\" \"NCBI_BlastOutput.dtd\">\n";

std::string xml(const std::string& iterations)
{
    return xmlHead + "<BlastOutput><BlastOutput_iterations>" + iterations + "</BlastOutput_iterations></BlastOutput>\n";
}

std::string iteration(const std::string& definition, const std::string& length, const std::string& hits)
{
    return "<Iteration><Iteration_query-def>" + definition + "</Iteration_query-def><Iteration_query-len>" + length +
           "</Iteration_query-len><Iteration_hits>" + hits + "</Iteration_hits></Iteration>";
}

std::string hit(const std::string& fields, const std::string& hsps)
{
    return "<Hit>" + fields + "<Hit_hsps>" + hsps + "</Hit_hsps></Hit>";
}

// Fields given as nullptr are left out.
std::string hsp(const std::array<const char*, 6>& values)
{
    const std::string names[] = {"query-from", "query-to", "hit-from", "hit-to", "qseq", "hseq"};
    std::string text = "<Hsp>";
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i])
            text += "<Hsp_" + names[i] + ">" + values[i] + "</Hsp_" + names[i] + ">";
    return text + "</Hsp>";
}

const std::string goodHsp = hsp({"5", "8", "9", "5", "AC-GT", "ACAGT"});
const std::string goodHspDump = "A 5 8 AC-GT 5+=++ / 9 5 ACAGT 9----\nW 0 4 0 4 0 0 0.8\n";

std::string xmlHit(const std::string& fields, const std::string& hsps = goodHsp)
{
    return xml(iteration("q1 first query", "40", hit(fields, hsps)));
}

// Little-endian UTF-16 with a byte order mark; one unit after the fourth query cannot be decoded.
std::string utf16WithLoneSurrogate()
{
    const std::string good = iteration("q", "1", "");
    std::string wide = "\xff\xfe";
    for (char c : xml(good + good + good + good + "@" + good))
        wide += c == '@' ? std::string("\0\xd8", 2) : std::string{c, '\0'};
    return wide;
}

const std::string fastaSearch =
    "# fasta36 -m 10 q.fa lib.fa\n  1>>>q1 first query - 8 nt\n>>>q1, 8 nt vs lib library\n; pg_name: fasta36\n"
    ">>hitA desc one\n; fa_opt: 40\n>q1 ..\n; sq_len: 8\n; al_display_start: 1\nACGTACGT\n"
    ">hitA ..\n; sq_len: 20\n; al_display_start: 5\nACGT\nACGT\n; al_cons:\n::::::::\n"
    ">>><<<\n  2>>>q2 nohit\n!! No sequences with E() < 0.001\n>>><<<\n>>>///\nnot read\n";

std::string crlf(const std::string& text)
{
    std::string converted;
    for (char c : text)
        converted += c == '\n' ? "\r\n" : std::string(1, c);
    return converted;
}

// One query whose hit list starts on line 4.
std::string fastaQuery(const std::string& hitList) { return "# fasta36\n  1>>>q\n>>>q\n" + hitList + ">>><<<\n>>>///\n"; }

const ReaderRow readerRows[] = {
    {"TabReadsEveryFieldOfARow", Form::Tab, tabHead + tabRow, tabRowDump},
    {"TabReadsALongFirstLine", Form::Tab, "# BLASTN " + std::string(3000, 'x') + "\n# Fields: " + fields + "\n" + tabRow,
     tabRowDump},
    {"TabGroupsOnlyConsecutiveRows", Form::Tab,
     tabHead + acRow("q1", "s1", "t1") + "# BLASTN 2.12.0+\n# Query: q1\n# Fields: nothing\n" + acRow("q1", "s1", "t2") +
         acRow("q1", "s2", "t3") + acRow("q1", "s1", "t4") + acRow("q2", "s1", "t5") + "q1\ts1\t1\t2\t1\t2\tt6\tAC\tAC",
     "Q q1||-1\nH s1|t1\n" + ac + ac + "H s2|t3\n" + ac + "H s1|t4\n" + ac + "Q q2||-1\nH s1|t5\n" + ac +
         "Q q1||-1\nH s1|t6\n" + ac},
    {"TabTakesFieldsFromTheirNamedColumns", Form::Tab,
     "# BLASTN 2.12.0+\r\n# Fields: evalue, subject seq, s. end, query seq, subject title, q. end, s. start, q. start, "
     "subject id, query id, bit score\r\n1e-5\tACGTATTA\t113\tACGT-TTA\tmutated copy\t9\t120\t3\ts1\tq1\t77\r\n",
     tabRowDump},
    {"TabPutsFurtherTabsIntoTheLastColumn", Form::Tab,
     "# BLAST\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, query seq, subject seq, subject title\n"
     "q1\ts1\t1\t2\t1\t2\tAC\tAC\ta\tb\n",
     "Q q1||-1\nH s1|a\tb\n" + ac},
    {"TabNumbersNamesOverSeveralFieldsLinesAndTakesTheLaterOfTwo", Form::Tab,
     "# BLAST\n# Fields: query id, subject id, q. start, q. end\n# Fields: s. start, s. end, subject title, query seq, "
     "subject seq, query id\nx\ts1\t1\t2\t1\t2\tt\tAC\tAC\tq1\n",
     "Q q1||-1\nH s1|t\n" + ac},
    // A search in which no query has a hit: BLAST writes no "# Fields:" line.
    {"TabCommentsOnlyAreASearchWithoutHits", Form::Tab, "# BLASTN 2.12.0+\n# Query: q1\n# 0 hits found\n", ""},
    {"TabFieldsLineWithoutRows", Form::Tab, tabHead, ""},
    {"TabFirstLineWithoutLineEnd", Form::Tab, "# BLAST", ""},
    {"TabEmptyInput", Form::Tab, "", "line 0: cannot find line '# Fields:'", false},
    {"TabRowBeforeFieldsLine", Form::Tab, "# BLASTN 2.12.0+\n# Query: q1\n" + tabRow, "line 2: cannot find line '# Fields:'"},
    {"TabOneFieldMissing", Form::Tab, "# BLAST\n# Fields: " + fields.substr(0, fields.size() - 13) + "\n",
     "line 2: field 'subject seq' is not found in the input"},
    {"TabFieldsMissing", Form::Tab,
     "# BLAST\n# Fields: query id, subject id, q. end, s. start, subject title, query seq, subject seq\n" + tabRow,
     "line 2: fields 'q. start', 's. end' are not found in the input"},
    {"TabNoBlankAfterTheColon", Form::Tab, "# BLAST\n# Fields:" + fields + "\n" + tabRow,
     "line 2: field 'query id' is not found in the input"},
    {"TabCarriageReturnEndsTheLastName", Form::Tab, crlf(tabHead + tabRow), "line 2: field 'subject seq' is not found in the input"},
    {"TabTrailingCommaAndBlankNameAnEmptyColumn", Form::Tab, "# BLAST\n# Fields: " + fields + ", \n" + tabRow,
     "line 3: not enough columns"},
    {"TabNotEnoughColumns", Form::Tab, tabHead + tabRow + "# Query: q2\n\n", "line 5: not enough columns"},
    {"TabTextsOfUnequalLength", Form::Tab, tabHead + "q1\ts1\tx\t8\t1\t7\tt\tACGTACGT\tACGTACG\n",
     "line 3: sequences has different lengths"},
    {"TabWrongInteger", Form::Tab, tabHead + "q1\ts1\t1\t9\t1\t2x\tt\tAC\tAC\n", "line 3: wrong integer format"},
    {"TabQueryEnd", Form::Tab, tabHead + "q1\ts1\t1\t3\t1\t3\tt\tAC\tAC\n",
     "line 3: unexpected value of a query sequence end position"},
    {"TabHitEnd", Form::Tab, tabHead + "q1\ts1\t1\t2\t1\t3\tt\tAC\tAC\n", "line 3: unexpected value of a hit sequence end position"},

    {"XmlReadsEveryField", Form::Xml, xmlHit("<Hit_id>gnl|BL_ORD_ID|0</Hit_id><Hit_def>h1 some hit</Hit_def>"),
     "Q q1|q1 first query|40\nH h1|h1 some hit\n" + goodHspDump},
    // The identifier names the hit unless it is one of BLAST's ordinals.
    {"XmlNamesTheHit", Form::Xml,
     xml(iteration("q", "1",
                   hit("<Hit_id>sp|P1|ONE</Hit_id><Hit_def>a b</Hit_def>", "") +
                       hit("<Hit_def>c d</Hit_def><Hit_id>gnl|other|7</Hit_id>", "") +
                       hit("<Hit_id>gnl|BL_ORD_ID|</Hit_id><Hit_def>e f</Hit_def>", "") +
                       hit("<Hit_id></Hit_id><Hit_def>g h</Hit_def>", "") +
                       hit("<Hit_id>a</Hit_id><Hit_id>b</Hit_id><Hit_def>i j</Hit_def>", "") +
                       "<Hit><Hit_def>R&amp;D &#65;&apos;s</Hit_def></Hit>")),
     "Q q|q|1\nH sp|P1|ONE|a b\nH gnl|other|7|c d\nH e|e f\nH g|g h\nH i|i j\nH R&D|R&D A's\n"},
    {"XmlKeepsDocumentOrderAndQueriesWithoutHits", Form::Xml,
     xml(iteration("q1", "40", hit("<Hit_def>h2</Hit_def>", hsp({" +1", "3", "-3", "-1", "AAA", "AAA"}) + goodHsp)) +
         "<Iteration><Iteration_query-def>q2 lonely</Iteration_query-def><Iteration_query-len>-7</Iteration_query-len>"
         "</Iteration>"),
     "Q q1|q1|40\nH h2|h2\nA 1 3 AAA 1++ / -3 -1 AAA -3++\n" + goodHspDump + "Q q2|q2 lonely|-7\n"},
    {"XmlReadsNothingOutsideTheBlastPath", Form::Xml,
     xmlHead + "<BlastOutput xmlns='urn:x'><BlastOutput_iterations>" + iteration("q", "1", "") +
         "</BlastOutput_iterations></BlastOutput>",
     ""},
    {"XmlNotWellFormed", Form::Xml, xmlHead + "<BlastOutput>", "line 0: failed to parse XML"},
    {"XmlBareDoctypePrefix", Form::Xml, "<?xml version=\"1.0\"?>\n<!DOCTYPE BlastOutput PUBLIC", "line 0: failed to parse XML"},
    {"XmlUndecodableUnit", Form::Xml, utf16WithLoneSurrogate(), "line 0: failed to parse XML", false},
    {"XmlFieldMissing", Form::Xml, xmlHit("<Hit_def>h</Hit_def>", hsp({"5", "8", "9", "5", "AC-GT", nullptr})),
     "line 0: unexpected count of xpath results"},
    {"XmlEmptyText", Form::Xml, xmlHit("<Hit_def></Hit_def>"), "line 0: unexpected type of an xpath value"},
    {"XmlCdataText", Form::Xml, xmlHit("<Hit_def><![CDATA[h]]></Hit_def>"), "line 0: unexpected type of an xpath value"},
    {"XmlElementInText", Form::Xml, xmlHit("<Hit_def>h<b/></Hit_def>"), "line 0: unexpected type of an xpath value"},
    {"XmlWrongInteger", Form::Xml, xml(iteration("q", "40 ", "")), "line 0: wrong integer format"},
    {"XmlTextsOfUnequalLength", Form::Xml, xmlHit("<Hit_def>h</Hit_def>", hsp({"5", "9", "9", "5", "AC-GT", "ACAG"})),
     "line 0: sequences has different lengths"},
    {"XmlQueryEnd", Form::Xml, xmlHit("<Hit_def>h</Hit_def>", hsp({"5", "9", "9", "5", "AC-GT", "ACAGT"})),
     "line 0: unexpected value of a query sequence end position"},
    {"XmlHitEnd", Form::Xml, xmlHit("<Hit_def>h</Hit_def>", hsp({"5", "8", "9", "4", "AC-GT", "ACAGT"})),
     "line 0: unexpected value of a hit sequence end position"},

    {"FastaReadsQueriesHitsAndAlignments", Form::Fasta, fastaSearch,
     "Q q1|first query - 8 nt|8\nH hitA|desc one\nA 1 8 ACGTACGT 1+++++++ / 5 12 ACGTACGT 5+++++++\nW 0 7 0 7 0 0 1\n"
     "Q q2|nohit|-1\n"},
    {"FastaNumbersQueriesPastNineHundredNinetyNine", Form::Fasta,
     "# fasta36\n  1>>>a b\n>>><<<\n999>>>c\n>>><<<\n1000>>>d e f\n>>><<<\n12345>>>g\n>>><<<\n>>>///\n",
     "Q a|b|-1\nQ c||-1\nQ d|e f|-1\nQ g||-1\n"},
    {"FastaStartsAtTheFirstQueryOnly", Form::Fasta,
     "# fasta36\n  2>>>early\n 1>>>early\n  1>>>q\n>>>///\n; x\n>>><<<\n>>>///\n", "Q q||-1\n"},
    // FASTA36 numbers a reverse-strand block downwards and says so by al_start above al_stop.
    {"FastaCountsReverseStrandBlocksDownwards", Form::Fasta,
     fastaQuery(">>h\n>q ..\n; al_start: 12\n; al_stop: 9\n; al_display_start: 10\nAC-G\n"
                ">h ..\n; al_stop: 5\n; al_start: 7\n; al_display_start: 7\nACTG\n; al_cons:\n"),
     "Q q||-1\nH h|\nA 10 8 AC-G 10-=- / 7 4 ACTG 7---\n"},
    {"FastaCutsTextsToTheShorterOne", Form::Fasta,
     fastaQuery(">>h\n>q\nXXXX\nACGTACGTAC\n>h\n;\nAC\n>>x\n>--\n; ends here\n"),
     "Q q||-1\nH h|\nA 0 7 ACGTACGT 0+++++++ / 0 5 AC>>x>-- 0+++++==\n"},
    {"FastaAddsNextAlignmentsToTheHitAndTakesTheLengthFromQueryBlocks", Form::Fasta,
     fastaQuery(">>h1 first\n>q\n; sq_len: 4\n; sq_len: 4\nAC\n>h1\n; sq_len: 99\nAC\n;\n"
                ">--\n>q\n; sq_len: 4\n; al_display_start: 20\nGT\n>h1\n; al_display_start: 30\nGT\n;\n"),
     "Q q||4\nH h1|first\nA 0 1 AC 0+ / 0 1 AC 0+\nA 20 21 GT 20+ / 30 31 GT 30+\n"},
    {"FastaCrLfLines", Form::Fasta, crlf(fastaSearch), "line 8: wrong integer format"},
    {"FastaNoFirstQuery", Form::Fasta, "# fasta36\nQuery: q.fa\n", "line 2: line '  1>>>' is missing"},
    {"FastaNoQueryStart", Form::Fasta, "# fasta36\n  1>>>q\n", "line 2: line '>>>' is missing"},
    {"FastaCutInAnAlignment", Form::Fasta, fastaSearch.substr(0, fastaSearch.find("ACGTACGT\n") + 9),
     "line 10: unexpected end of file"},
    {"FastaQueryHeaderWithTwoDigits", Form::Fasta, "# fasta36\n  1>>>a\n>>><<<\n12>>>b\n", "line 4: line 'num>>>' is missing"},
    {"FastaEndOfResultsInAHitList", Form::Fasta, fastaQuery(">>>///\n"), "line 4: line '>>><<<' is missing"},
    {"FastaNextAlignmentBeforeAnyHit", Form::Fasta, fastaQuery(">--\n"), "line 4: line '>--' is unexpected"},
    {"FastaTextInAHitList", Form::Fasta, fastaQuery("hitA\n"), "line 4: line '>>' is missing"},
    {"FastaNoBlockHeader", Form::Fasta, fastaQuery(">>h\nq ..\n"), "line 5: line '>' is missing"},
    {"FastaWrongInteger", Form::Fasta, fastaQuery(">>h\n>q\n; al_display_start: 1.5\n"), "line 6: wrong integer format"},
    {"FastaLengthChanges", Form::Fasta, fastaQuery(">>h\n>q\n; sq_len: 0\n; sq_len: 4\n"), "line 7: unexpected sequence length"},
    {"FastaCoordinatesPastTheIntRange", Form::Fasta,
     fastaQuery(">>h\n>q\n; al_display_start: 2147483647\nAC\n>h\n;\nAC\n;\n"), "line 11: wrong integer format"},

    {"UnknownByteOrderMark", Form::Unknown, "\xEF\xBB\xBF# BLAST\n", unknown},
    {"UnknownLowerCase", Form::Unknown, "# blast\n# fields: query id\n", unknown},
    {"UnknownCutName", Form::Unknown, "# BLAS\n", unknown},
    {"UnknownXmlEncoding", Form::Unknown, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + xmlHead.substr(22), unknown},
    {"UnknownXmlTrailingBlank", Form::Unknown, "<?xml version=\"1.0\"?> \n" + xmlHead.substr(22), unknown},
    {"UnknownXmlOtherDoctype", Form::Unknown, "<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n", unknown},
    {"UnknownXmlThenTabular", Form::Unknown, "<?xml version=\"1.0\"?>\n# BLAST\n", unknown},
};

class Reader : public testing::TestWithParam<ReaderRow> {};

TEST_P(Reader, GivesTheRecordsOrTheMessageAndTheAutomaticReaderAgrees)
{
    const ReaderRow& row = GetParam();
    if (row.form != Form::Unknown) {
        EXPECT_EQ(readAndDump(std::move(*explicitReader(row.form)), row.input), row.expected);
    }
    EXPECT_EQ(readAndDump(ProcessAutoInputFile(), row.input), row.recognised ? row.expected : unknown);
}

INSTANTIATE_TEST_SUITE_P(Rows, Reader, testing::ValuesIn(readerRows),
                         [](const testing::TestParamInfo<ReaderRow>& info) { return std::string(info.param.name); });

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
        ProcessBlastXmlFile xmlReader;
        ProcessBlastFile tabReader;
        const std::string fromXml = comparable(read(xmlReader, readFile(dataPath(stem + ".xml"))), titled);
        EXPECT_EQ(fromXml, comparable(read(tabReader, readFile(dataPath(stem + ".tab"))), titled)) << stem;
        all += fromXml;
    }
    EXPECT_NE(all.find("\nW "), std::string::npos);
}

TEST(RealSearches, TheAutomaticReaderReadsEveryFileAsTheExplicitOne)
{
    const std::pair<std::string, Form> forms[] = {{".tab", Form::Tab}, {".xml", Form::Xml}, {".m10", Form::Fasta}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VARNEK_TEST_DATA))
        for (const auto& [extension, form] : forms) {
            if (entry.path().extension() != extension)
                continue;
            SCOPED_TRACE(entry.path().filename().string());
            const std::string text = readFile(entry.path().string());
            const std::string explicitly = readAndDump(std::move(*explicitReader(form)), text);
            EXPECT_EQ(explicitly.rfind("line ", 0), std::string::npos) << explicitly;
            // ssearch36 writes the -m 10 form too, but its first line names ssearch36.
            const bool recognised = text.rfind("# ssearch36", 0) != 0;
            EXPECT_EQ(readAndDump(ProcessAutoInputFile(), text), recognised ? explicitly : unknown);
            ++files;
        }
    EXPECT_GE(files, 17);
}

}  // namespace

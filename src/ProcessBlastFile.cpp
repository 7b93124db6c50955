#include "ProcessBlastFile.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

const std::array<std::string, 9> ProcessBlastFile::requiredFields = {
    "query id", "subject id", "q. start", "q. end", "s. start", "s. end",
    "subject title", "query seq", "subject seq"};

namespace {

using FormatException = ProcessInputFile::FormatException;

// Slots of requiredFields.
enum Field : std::size_t {
    QueryId, SubjectId, QueryStart, QueryEnd, SubjectStart, SubjectEnd, SubjectTitle, QuerySeq, SubjectSeq
};

constexpr std::size_t notFound = static_cast<std::size_t>(-1);
constexpr std::string_view fieldsPrefix = "# Fields:";

bool isComment(const std::string& line) { return !line.empty() && line[0] == '#'; }

bool isFieldsLine(const std::string& line) { return std::string_view(line).substr(0, fieldsPrefix.size()) == fieldsPrefix; }

// Which column of a row carries each required field, as the "# Fields:"
// line of the leading comment block names them.
class ColumnLayout {
public:
    ColumnLayout() { fieldColumns.fill(notFound); }

    void readNames(const std::string& fieldsLine);
    // Throws unless a "# Fields:" line named every required field.
    void check(unsigned long line) const;

    bool fieldsFound() const { return seenFieldsLine; }
    std::size_t columnCount() const { return columns; }
    std::size_t column(Field field) const { return fieldColumns[field]; }

private:
    void nameColumn(std::string_view name, std::size_t column);

    bool seenFieldsLine = false;
    // A second "# Fields:" line numbers its names on from the first one's.
    std::size_t columns = 0;
    std::array<std::size_t, 9> fieldColumns;
};

// BLAST separates the names by ", " and puts a blank after the colon: one
// character after the colon and after each comma is dropped, whatever it is,
// and nothing else is trimmed.
void ColumnLayout::readNames(const std::string& fieldsLine)
{
    seenFieldsLine = true;
    const std::string_view text(fieldsLine);
    for (std::size_t p = fieldsPrefix.size(); p < text.size();) {
        const std::size_t comma = text.find(',', p);
        const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        nameColumn(end > p + 1 ? text.substr(p + 1, end - p - 1) : std::string_view(), columns++);
        p = end + 1;
    }
}

// A name listed twice keeps its later column.
void ColumnLayout::nameColumn(std::string_view name, std::size_t column)
{
    for (std::size_t slot = 0; slot < ProcessBlastFile::requiredFields.size(); ++slot)
        if (ProcessBlastFile::requiredFields[slot] == name)
            fieldColumns[slot] = column;
}

void ColumnLayout::check(unsigned long line) const
{
    if (!seenFieldsLine)
        throw FormatException{line, "cannot find line '# Fields:'"};
    std::string missing;
    int missingCount = 0;
    for (std::size_t slot = 0; slot < fieldColumns.size(); ++slot) {
        if (fieldColumns[slot] != notFound)
            continue;
        missing += missing.empty() ? "'" : ", '";
        missing += ProcessBlastFile::requiredFields[slot] + "'";
        ++missingCount;
    }
    if (missingCount == 1)
        throw FormatException{line, "field " + missing + " is not found in the input"};
    if (missingCount > 1)
        throw FormatException{line, "fields " + missing + " are not found in the input"};
}

// Turns the data rows into the result list. Only the last query and its last
// hit are compared with a row, so only consecutive rows are grouped.
class RowReader {
public:
    RowReader(ProcessInputFile& analyzer, const Parameters& params, const ColumnLayout& layout)
        : analyzer(analyzer), params(params), layout(layout), columns(layout.columnCount())
    {
    }

    void read(const std::string& line, unsigned long lineNumber);
    std::vector<QueryResult> takeResults() { return std::move(results); }

private:
    void split(const std::string& line, unsigned long lineNumber);
    HitResult& group();
    HitResult& startHit();
    int coordinate(Field field, unsigned long lineNumber) const;
    std::string& text(Field field) { return columns[layout.column(field)]; }
    const std::string& text(Field field) const { return columns[layout.column(field)]; }

    ProcessInputFile& analyzer;
    const Parameters& params;
    const ColumnLayout& layout;
    std::vector<std::string> columns;  // made once, overwritten by every row
    std::vector<QueryResult> results;
};

void RowReader::read(const std::string& line, unsigned long lineNumber)
{
    split(line, lineNumber);
    if (text(QuerySeq).size() != text(SubjectSeq).size())
        throw FormatException{lineNumber, "sequences has different lengths"};
    HitResult& hit = group();
    const int queryStart = coordinate(QueryStart, lineNumber);
    const int queryEnd = coordinate(QueryEnd, lineNumber);
    const int subjectStart = coordinate(SubjectStart, lineNumber);
    const int subjectEnd = coordinate(SubjectEnd, lineNumber);
    // The next row overwrites every column, so the aligned texts can move.
    Sequence query = makeSequence(queryStart, queryEnd, std::move(text(QuerySeq)), Side::Query, lineNumber);
    Sequence subject = makeSequence(subjectStart, subjectEnd, std::move(text(SubjectSeq)), Side::Hit, lineNumber);
    std::vector<WindowResult> windows = analyzer.analyzeAlignment(query, subject, params);
    hit.alignments.push_back(AlignmentResult{std::move(query), std::move(subject), std::move(windows)});
}

// The last column takes the rest of the line, further tabs included.
void RowReader::split(const std::string& line, unsigned long lineNumber)
{
    std::size_t begin = 0;
    for (std::size_t c = 0; c + 1 < columns.size(); ++c) {
        const std::size_t tab = line.find('\t', begin);
        if (tab == std::string::npos)
            throw FormatException{lineNumber, "not enough columns"};
        columns[c].assign(line, begin, tab - begin);
        begin = tab + 1;
    }
    columns.back().assign(line, begin, std::string::npos);
}

HitResult& RowReader::group()
{
    if (results.empty() || results.back().id != text(QueryId)) {
        results.push_back(QueryResult{-1, text(QueryId), std::string(), {}});
        return startHit();
    }
    HitResult& currentHit = results.back().hits.back();
    return currentHit.id == text(SubjectId) ? currentHit : startHit();
}

HitResult& RowReader::startHit()
{
    std::vector<HitResult>& hits = results.back().hits;
    hits.push_back(HitResult{text(SubjectId), text(SubjectTitle), {}});
    return hits.back();
}

int RowReader::coordinate(Field field, unsigned long lineNumber) const
{
    return integerField(text(field), lineNumber);
}

}  // namespace

std::vector<QueryResult> ProcessBlastFile::process(std::istream& input, const Parameters& params)
{
    enum class State { LeadingComments, Rows };
    State state = State::LeadingComments;
    ColumnLayout layout;
    std::optional<RowReader> rows;  // made when the rows begin
    unsigned long lineNumber = 0;
    std::string line;
    while (std::getline(input, line)) {
        ++lineNumber;
        switch (state) {
        case State::LeadingComments:
            if (isComment(line)) {
                if (isFieldsLine(line))
                    layout.readNames(line);
                break;
            }
            layout.check(lineNumber - 1);  // the block is the lines before this one
            rows.emplace(*this, params, layout);
            state = State::Rows;
            [[fallthrough]];
        case State::Rows:
            // Later comment blocks belong to later queries and end no group.
            if (!isComment(line))
                rows->read(line, lineNumber);
            break;
        }
    }
    if (state == State::Rows)
        return rows->takeResults();
    // BLAST writes only comment lines, without "# Fields:", when no query has a hit.
    if (lineNumber == 0 || layout.fieldsFound())
        layout.check(lineNumber);
    return {};
}

#include "OutputGenerator.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <ctime>
#include <iomanip>

const char* const varnekVersion = "0.5.7";

AlignmentCounts countAlignments(const QueryResult& query)
{
    AlignmentCounts counts;
    for (const HitResult& hit : query.hits) {
        for (const AlignmentResult& alignment : hit.alignments) {
            ++counts.alignments;
            if (!alignment.windows.empty())
                ++counts.positive;
        }
    }
    return counts;
}

int hiddenCount(const AlignmentCounts& counts, const Parameters& params)
{
    if (params.limit <= 0 || counts.positive <= params.limit)
        return 0;
    return counts.positive - params.limit;
}

std::string notShownNote(int hidden, int limit)
{
    return std::to_string(hidden) + (hidden == 1 ? " alignment was not shown" : " alignments were not shown") +
           " (due to --limit=" + std::to_string(limit) + " parameter)";
}

bool isListed(int alignmentNumber, const Parameters& params)
{
    return params.limit <= 0 || alignmentNumber <= params.limit;
}

std::string formatDate(std::time_t date)
{
    char text[80] = "";
    if (const std::tm* local = std::localtime(&date))
        std::strftime(text, sizeof text, "%d.%m.%Y %I:%M:%S", local);
    return text;
}

namespace {

const std::size_t blockWidth = 80;
const std::size_t nameLength = 19;
const int nameFieldWidth = 20;
const char* const matchFiller = "                    ";  // as wide as a name field

// The cut id, padded to its field; a filter must see the padding too, so that
// escaped names keep the columns of the block aligned.
std::string nameField(const std::string& id)
{
    std::string field = id.substr(0, nameLength);
    field.resize(nameFieldWidth, ' ');
    return field;
}

struct Block {
    std::size_t first;  // first alignment column
    std::size_t last;   // last alignment column, inclusive
};

char windowMark(const WindowResult& window, std::size_t column)
{
    // Compared in 64 bits: columns are sizes, window bounds are ints.
    const long long i = static_cast<long long>(column);
    if (window.begin <= i && i <= window.end)
        return '*';
    if ((window.overlapBegin <= i && i < window.begin) || (window.end < i && i <= window.overlapEnd))
        return '.';
    return ' ';
}

// The lines of a block are put together in one reused buffer and handed to
// the stream whole, instead of with one stream call per column.
void writeLine(std::ostream& out, const std::string& line)
{
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out << std::endl;
}

void writeWindowLines(std::ostream& out, const std::vector<WindowResult>& windows, const Block& block,
                      std::string& line)
{
    // Every block numbers the windows from the start, so all blocks show the same numbers.
    WindowNumbering numbering;
    for (const WindowResult& window : windows) {
        out << "window_" << std::left << std::setw(13) << numbering.next(window) << std::right;
        line.clear();
        for (std::size_t column = block.first; column <= block.last; ++column)
            line += windowMark(window, column);
        writeLine(out, line);
    }
}

// What `out << std::setw(width) << number` writes with right adjustment; the
// reports never change the integer format of their stream.
void appendRightAligned(std::string& line, long long number, int width, char fill)
{
    char digits[24];
    const std::size_t length = std::to_chars(digits, digits + sizeof digits, number).ptr - digits;
    if (length < static_cast<std::size_t>(width))
        line.append(width - length, fill);
    line.append(digits, length);
}

// Walks one side's coordinates across the whole alignment; 64 bits keep a
// hostile begin at the edge of int from overflowing.
class Ruler {
public:
    explicit Ruler(const Sequence& side)
        : step_(side.end > side.begin ? 1 : -1), coordinate_(static_cast<long long>(side.begin) - step_)
    {
    }

    // Each number ends above the residue that it numbers.
    void write(std::ostream& out, const std::string& text, const Block& block, std::string& line)
    {
        line.clear();
        int width = nameFieldWidth;
        for (std::size_t column = block.first; column <= block.last; ++column) {
            ++width;
            if (text[column] == '-')
                continue;
            coordinate_ += step_;
            if (coordinate_ % 10 == 0) {
                appendRightAligned(line, coordinate_, width, out.fill());
                width = 0;
            }
        }
        writeLine(out, line);
    }

private:
    int step_;
    long long coordinate_;
};

// The name comes filtered already: it is the same in every block.
void writeSequenceLine(std::ostream& out, const std::string& filteredName, const std::string& text,
                       const Block& block, OutputGenerator::TextFilter filter)
{
    const std::size_t length = block.last - block.first + 1;
    out << filteredName;
    if (filter)
        out << filter(text.substr(block.first, length));
    else
        out.write(text.data() + block.first, static_cast<std::streamsize>(length));
    out << std::endl;
}

void writeMatchLine(std::ostream& out, const std::string& query, const std::string& hit, const Block& block,
                    std::string& line)
{
    line = matchFiller;
    for (std::size_t column = block.first; column <= block.last; ++column)
        line += query[column] == hit[column] ? '|' : ' ';
    writeLine(out, line);
}

}  // namespace

void OutputGenerator::printAlignment(std::ostream& out, const QueryResult& query, const HitResult& hit,
                                     const AlignmentResult& alignment, TextFilter filter)
{
    const std::string queryName = filter ? filter(nameField(query.id)) : nameField(query.id);
    const std::string hitName = filter ? filter(nameField(hit.id)) : nameField(hit.id);
    const std::string& queryText = alignment.query.getSeq();
    const std::string& hitText = alignment.hit.getSeq();
    // Both texts have the same length; the shorter one bounds every read should they not.
    const std::size_t columns = std::min(hitText.size(), queryText.size());
    Ruler queryRuler(alignment.query);
    Ruler hitRuler(alignment.hit);

    std::string line;
    out << std::right;
    for (std::size_t first = 0; first < columns; first += blockWidth) {
        const Block block{first, std::min(first + blockWidth, columns) - 1};
        writeWindowLines(out, alignment.windows, block, line);
        queryRuler.write(out, queryText, block, line);
        writeSequenceLine(out, queryName, queryText, block, filter);
        writeMatchLine(out, queryText, hitText, block, line);
        writeSequenceLine(out, hitName, hitText, block, filter);
        hitRuler.write(out, hitText, block, line);
        out << std::endl;
    }
    out.width(0);
}

// What the unit tests share: the data folder, reading a file, and a dump of a
// whole result list, so that one string compares two readings.
#ifndef VARNEK_TEST_SUPPORT_H
#define VARNEK_TEST_SUPPORT_H

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProcessInputFile.h"

inline std::string dataPath(const std::string& name) { return std::string(VARNEK_TEST_DATA) + "/" + name; }

inline std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios_base::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A table field with its escapes (\n \t \r \\ \xHH) undone, every "{name}"
// replaced by the text defined for it and every "{c*N}" by N times c.
inline std::string expandField(const std::string& field, const std::map<std::string, std::string>& texts)
{
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        const char c = field[at];
        if (c == '{') {
            const std::size_t close = field.find('}', at);
            const std::string name = field.substr(at + 1, close - at - 1);
            const std::size_t star = name.find('*');  // "{A*3}": AAA
            for (int n = star == std::string::npos ? 0 : std::stoi(name.substr(star + 1)); n > 0; --n)
                text += name.substr(0, star);
            text += star == std::string::npos ? texts.at(name) : "";
            at = close;
        } else if (c == '\\' && field.at(at + 1) == 'x') {
            text += static_cast<char>(std::stoi(field.substr(at + 2, 2), nullptr, 16));
            at += 3;
        } else if (c == '\\') {
            const char e = field.at(++at);
            text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        } else {
            text += c;
        }
    }
    return text;
}

// One row of a case table, as a test parameter known by its first field.
struct Row : std::vector<std::string> {
    using vector::vector;
};

inline void PrintTo(const Row& row, std::ostream* out) { *out << row.at(0); }

inline std::string rowName(const testing::TestParamInfo<Row>& info) { return info.param.at(0); }

// The rows of a case table in tests/: fields apart by " | ", '#' starts a
// comment line, and "@name text" defines what "{name}" stands for below it.
inline std::vector<Row> readTable(const std::string& name)
{
    std::map<std::string, std::string> texts;
    std::vector<Row> rows;
    std::istringstream lines(readFile(dataPath("../" + name)));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '@') {
            const std::size_t blank = std::min(line.find(' '), line.size());
            texts[line.substr(1, blank - 1)] = expandField(line.substr(std::min(blank + 1, line.size())), texts);
            continue;
        }
        rows.emplace_back();
        for (std::size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 3) {
            bar = line.find(" | ", at);
            rows.back().push_back(expandField(line.substr(at, bar - at), texts));
        }
    }
    return rows;
}

// The first coordinate, then one mark per further column: '+', '-' or '=' for
// a step of 1, -1 or 0, the coordinate itself after a blank for any other.
inline std::string positionsSummary(const std::vector<int>& positions)
{
    std::string summary;
    for (std::size_t c = 0; c < positions.size(); ++c) {
        const long long step = c == 0 ? 2 : static_cast<long long>(positions[c]) - positions[c - 1];
        if (step >= -1 && step <= 1)
            summary += step == 1 ? '+' : step == 0 ? '=' : '-';
        else
            summary += (c == 0 ? "" : " ") + std::to_string(positions[c]);
    }
    return summary;
}

inline std::string dumpSide(const Sequence& s)
{
    return std::to_string(s.begin) + " " + std::to_string(s.end) + " " + s.seq + " " + positionsSummary(s.positions);
}

// One line per record: "Q id|definition|length", "H id|description",
// "A query side / hit side", "W begin end overlapBegin overlapEnd left right identity".
inline std::string dump(const std::vector<QueryResult>& results)
{
    std::ostringstream out;
    for (const QueryResult& q : results) {
        out << "Q " << q.id << '|' << q.definition << '|' << q.length << '\n';
        for (const HitResult& h : q.hits) {
            out << "H " << h.id << '|' << h.description << '\n';
            for (const AlignmentResult& a : h.alignments) {
                out << "A " << dumpSide(a.query) << " / " << dumpSide(a.hit) << '\n';
                for (const WindowResult& w : a.windows)
                    out << "W " << w.begin << ' ' << w.end << ' ' << w.overlapBegin << ' ' << w.overlapEnd << ' '
                        << w.overlapLeft << ' ' << w.overlapRight << ' ' << w.identity << '\n';
            }
        }
    }
    return out.str();
}

// What make returns, or how it failed: "line N: message" for malformed input.
template <typename Make>
std::string outcome(Make make)
{
    try {
        return make();
    } catch (const ProcessInputFile::FormatException& e) {
        return "line " + std::to_string(e.line) + ": " + e.message;
    } catch (const std::invalid_argument&) {
        return "invalid argument";
    } catch (const std::out_of_range&) {
        return "out of range";
    }
}

#endif

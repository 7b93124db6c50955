// The run: command line, reading the whole input, writing the whole report.
#include <getopt.h>
#include <libxml/xmlversion.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "HtmlOutputGenerator.h"
#include "ProcessAutoInputFile.h"
#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"
#include "TextOutputGenerator.h"

namespace {

const char* const usageText =
    "Usage: varnek [OPTION]... FILE...\n"
    "Find windows of high identity in the alignments of a sequence search.\n"
    "\n"
    "Mandatory arguments to long options are mandatory for short options too.\n"
    "  -l, --length=LENGTH          minimum window length (default is 200)\n"
    "  -t, --threshold=THRESHOLD    minimum identity threshold (default is 0.8)\n"
    "  -d, --details                show overlapping windows\n"
    "  -a, --limit                  mamimum number of alignments (default is 50)\n"
    "                                 The value 0 means unlimited.\n"
    "  -i, --input=FORMAT           input format, posible values:\n"
    "                                 auto (default)\n"
    "                                 blast:xml\n"
    "                                 blast:tab\n"
    "                                 fasta\n"
    "  -o, --output=FORMAT          output format, posible values:\n"
    "                                 text (default)\n"
    "                                 text:brief\n"
    "                                 text:details\n"
    "                                 html\n"
    "  -w, --write=FILE             write result into the file\n"
    "  -h, --help                   print this help message\n"
    "\n"
    "Input format notes:\n"
    "  * xml blast(n|p) output has to be run with parameter -outfmt 5\n"
    "  * tabular blast(n|p) output with parameter \n"
    "    -outfmt \"7 qseqid sseqid qstart qend sstart send stitle qseq sseq\"\n"
    "  * fasta with output format -m 10\n";

const option longOptions[] = {
    {"length", required_argument, nullptr, 'l'}, {"threshold", required_argument, nullptr, 't'},
    {"details", no_argument, nullptr, 'd'},      {"limit", required_argument, nullptr, 'a'},
    {"input", required_argument, nullptr, 'i'},  {"output", required_argument, nullptr, 'o'},
    {"write", required_argument, nullptr, 'w'},  {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

struct InputFormat {
    const char* keyword;
    std::unique_ptr<ProcessInputFile> (*create)();
};

template <typename Reader>
std::unique_ptr<ProcessInputFile> createReader()
{
    return std::make_unique<Reader>();
}

const InputFormat inputFormats[] = {
    {"auto", createReader<ProcessAutoInputFile>},
    {"blast:tab", createReader<ProcessBlastFile>},
    {"blast:xml", createReader<ProcessBlastXmlFile>},
    {"fasta", createReader<ProcessFastaFile>},
};

struct OutputFormat {
    const char* keyword;
    std::unique_ptr<OutputGenerator> (*create)();
};

template <typename Writer, auto... settings>
std::unique_ptr<OutputGenerator> createWriter()
{
    return std::make_unique<Writer>(settings...);
}

const OutputFormat outputFormats[] = {
    {"text", createWriter<TextOutputGenerator, true, true>},
    {"text:brief", createWriter<TextOutputGenerator, true, false>},
    {"text:details", createWriter<TextOutputGenerator, false, true>},
    {"html", createWriter<HtmlOutputGenerator, false>},
    {"html:ext", createWriter<HtmlOutputGenerator, true>},
};

template <typename Format, std::size_t N>
const Format* findFormat(const Format (&formats)[N], const std::string& keyword)
{
    for (const Format& format : formats)
        if (keyword == format.keyword)
            return &format;
    return nullptr;
}

struct Run {
    std::string programName;
    Parameters params;
    const InputFormat* inputFormat = &inputFormats[0];
    const OutputFormat* outputFormat = &outputFormats[0];
    bool hasOutputFile = false;
    std::string outputFile;
    std::vector<QueryResult> results;
};

// A command-line error: its message has been written, the help hint follows.
struct UsageError {};

// The stop after the usage text: nothing is read, and the run succeeds.
struct HelpShown {};

[[noreturn]] void fail(const Run& run, const std::string& message)
{
    std::cerr << run.programName << ": " << message << std::endl;
    throw UsageError{};
}

enum class IntRule { Positive, NotNegative };

int parseInt(const Run& run, const char* arg, const char* what, IntRule rule)
{
    const std::string text = arg;
    const std::string wrong = std::string("wrong ") + what + " value: " + text;
    int value = 0;
    std::size_t used = 0;
    try {
        value = std::stoi(text, &used, 10);
    } catch (const std::invalid_argument&) {
        fail(run, wrong);
    } catch (const std::out_of_range&) {
        fail(run, std::string(what) + " value is out of range: " + text);
    }
    if (used != text.size() || (rule == IntRule::Positive ? value <= 0 : value < 0))
        fail(run, wrong);
    return value;
}

double parseThreshold(const Run& run, const char* arg)
{
    const std::string text = arg;
    double value = 0;
    std::size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::invalid_argument&) {
        fail(run, "wrong threshold value: " + text);
    } catch (const std::out_of_range&) {
        fail(run, "threshold value is out of range: " + text);
    }
    if (used != text.size() || !(value > 0 && value <= 1))
        fail(run, "wrong threshold value: " + text);
    return value;
}

void handleOption(Run& run, int option, const char* arg)
{
    switch (option) {
    case 'l': run.params.length = parseInt(run, arg, "length", IntRule::Positive); break;
    case 't': run.params.threshold = parseThreshold(run, arg); break;
    case 'd': run.params.details = true; break;
    case 'a': run.params.limit = parseInt(run, arg, "limit", IntRule::NotNegative); break;
    case 'i':
        run.inputFormat = findFormat(inputFormats, arg);
        if (!run.inputFormat)
            fail(run, std::string("unknown input format: ") + arg);
        break;
    case 'o':
        run.outputFormat = findFormat(outputFormats, arg);
        if (!run.outputFormat)
            fail(run, std::string("unknown output format: ") + arg);
        break;
    case 'w':
        run.hasOutputFile = true;
        run.outputFile = arg;
        break;
    case 'h':
        std::cout << usageText;
        throw HelpShown{};
    default:  // getopt_long has written its diagnostic
        throw UsageError{};
    }
}

void parseCommandLine(Run& run, int argc, char** argv)
{
    int option;
    while ((option = getopt_long(argc, argv, "l:t:da:i:o:w:h", longOptions, nullptr)) != -1)
        handleOption(run, option, optarg);
    if (argc > optind + 1)
        fail(run, "too much arguments");
}

void reportFileError(const Run& run, const char* what, const std::string& name, int error)
{
    const std::string reason = std::strerror(error);
    std::cerr << run.programName << ": " << what << ' ' << name << ": " << reason << std::endl;
}

// The reason of a stream failure. A failed read carries it as its error code
// (the file buffer takes errno at the failing read, before unwinding can change
// it); a failed write only sets badbit, which throws at once, so errno holds it.
int errorNumber(const std::ios_base::failure& failure)
{
    const std::error_category& category = failure.code().category();
    if (category == std::generic_category() || category == std::system_category())
        return failure.code().value();
    return errno;
}

void reportFormatError(const Run& run, const ProcessInputFile::FormatException& e)
{
    std::cerr << run.programName << ": format error: " << run.params.input;
    if (e.line != 0)
        std::cerr << ':' << e.line;
    std::cerr << ": " << e.message << std::endl;
}

// Reads the whole input into run.results; returns 0, or the exit status of a failure.
int readInput(Run& run, const char* file)
{
    std::unique_ptr<ProcessInputFile> reader;
    try {
        reader = run.inputFormat->create();
        if (file) {
            run.params.input = file;
            std::ifstream input;
            // A read that fails (the operand is a folder, say) is an error; only the end of the file is not.
            input.exceptions(std::ios_base::badbit);
            input.open(file);
            if (input.fail()) {
                reportFileError(run, "cannot open", file, errno);
                return 2;
            }
            run.results = reader->process(input, run.params);
            input.close();
        } else {
            run.params.input = "<standard input>";
            // A failed read of standard input (a closed descriptor, say) must not pass for its end.
            std::cin.exceptions(std::cin.exceptions() | std::ios_base::badbit);
            run.results = reader->process(std::cin, run.params);
        }
    } catch (const std::ios_base::failure& failure) {
        reportFileError(run, "input error", run.params.input, errorNumber(failure));
        return 2;
    } catch (const ProcessInputFile::FormatException& e) {
        reportFormatError(run, e);
        return 2;
    }
    return 0;
}

int writeOutput(Run& run)
{
    const std::string outputName = run.hasOutputFile ? run.outputFile : "<standard output>";
    std::unique_ptr<OutputGenerator> writer;
    try {
        writer = run.outputFormat->create();
        if (run.hasOutputFile) {
            std::ofstream output;
            // A failed write (a full device, say) is an error, not a silently cut report.
            output.exceptions(std::ios_base::badbit);
            output.open(run.outputFile);
            if (output.fail()) {
                reportFileError(run, "cannot open", run.outputFile, errno);
                return 2;
            }
            writer->generate(output, run.results, run.params);
            output.close();
        } else {
            // A failed write to standard output (closed, or a full device) is an error.
            std::cout.exceptions(std::cout.exceptions() | std::ios_base::badbit);
            writer->generate(std::cout, run.results, run.params);
        }
    } catch (const std::ios_base::failure& failure) {
        reportFileError(run, "output error", outputName, errorNumber(failure));
        return 2;
    }
    return 0;
}

int runVarnek(int argc, char** argv)
{
    Run run;
    run.programName = argc > 0 ? argv[0] : "varnek";
    run.params.date = std::time(nullptr);
    try {
        parseCommandLine(run, argc, argv);
    } catch (const UsageError&) {
        std::cerr << "Try '" << run.programName << " --help' for more information." << std::endl;
        return 1;
    } catch (const HelpShown&) {
        return 0;
    }
    const char* file = argc > optind ? argv[optind] : nullptr;
    if (const int status = readInput(run, file))
        return status;
    return writeOutput(run);
}

}  // namespace

int main(int argc, char** argv)
{
    // Streams of their own read and write the descriptors directly, so that a
    // failed read of standard input throws instead of looking like its end.
    std::ios_base::sync_with_stdio(false);
    // A message must not flush standard output: after a failed write that
    // flush would throw again from inside the handler.
    std::cerr.tie(nullptr);
    xmlCheckVersion(20904);
    try {
        return runVarnek(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "not enough memory" << std::endl;
        return 2;
    }
}

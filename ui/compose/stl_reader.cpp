#include "ui/compose/stl_reader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include <sys/stat.h>

#include "platform/safe_file.h"
#include "ui/compose/field_text.h"

namespace {

// What a line keeps for matching; the rest of an over-long line is read and counted, not kept.
constexpr std::size_t kKeptLineChars = 4096;
constexpr std::int64_t kBinaryHeader = 84;
constexpr std::int64_t kBinaryRecord = 50;

float littleEndianFloat(const unsigned char* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) |
                               static_cast<std::uint32_t>(p[1]) << 8 |
                               static_cast<std::uint32_t>(p[2]) << 16 |
                               static_cast<std::uint32_t>(p[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The numbers after the first `skipWords` words of a line, read as "%lg" would read them in the
// C locale (a number may be followed by other characters in its word); returns how many of
// `count` were read before the first word that is no number.
int readNumbers(const std::string& line, int skipWords, double* out, int count) {
    std::size_t at = 0;
    auto nextWord = [&](std::size_t& first, std::size_t& last) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at])))
            ++at;
        first = at;
        while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at])))
            ++at;
        last = at;
        return first < last;
    };
    std::size_t first = 0, last = 0;
    for (int i = 0; i < skipWords; ++i)
        if (!nextWord(first, last)) return 0;
    int read = 0;
    while (read < count && nextWord(first, last)) {
        if (line[first] == '+') ++first;
        double v = 0;
        auto r = std::from_chars(line.data() + first, line.data() + last, v);
        if (r.ec != std::errc() || r.ptr == line.data() + first) break;
        out[read++] = v;
    }
    return read;
}

std::int64_t lengthOf(std::FILE* f) {
    struct stat st {};
    if (fstat(fileno(f), &st) != 0) return 0;
    return static_cast<std::int64_t>(st.st_size);
}

} // namespace

StlReader::StlReader(StlSinks sinks) : sinks_(std::move(sinks)) {}

StlReader::~StlReader() {
    if (input_) std::fclose(input_);
    if (log_) std::fclose(log_);
}

int StlReader::SniffFormat(const std::string& path, const StlSinks& sinks) {
    // Only a regular file, opened without waiting: a FIFO would freeze the window.
    std::FILE* f = platform::openRegularForRead(path, true);
    if (!f) {
        if (sinks.messageBox) sinks.messageBox(path, "Unable to open file.");
        return 0;
    }
    // The first line must exist; the second, lower-cased, tells the kind.
    auto lineOf = [f](std::string& line) {
        line.clear();
        int c;
        bool any = false;
        while ((c = std::fgetc(f)) != EOF) {
            any = true;
            if (c == '\n') break;
            if (line.size() < kKeptLineChars) line += static_cast<char>(c);
        }
        return any;
    };
    std::string line;
    int result = 0;
    if (lineOf(line)) {
        result = 2;
        if (lineOf(line)) {
            for (char& c : line)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (line.find("facet") != std::string::npos) result = 1;
        }
    }
    std::fclose(f);
    return result;
}

bool StlReader::run(const std::string& command) {
    if (commandFailed) return true;
    const bool failed = sinks_.command ? sinks_.command(command) : false;
    if (failed) commandFailed = true;
    return failed;
}

void StlReader::LogLine(const std::string& text) {
    if (log_) std::fputs(text.c_str(), log_);
    if (sinks_.logLine) sinks_.logLine(text);
}

void StlReader::warn(const char* what) {
    ++warningCount;
    LogLine(std::string(what) + " at line " + std::to_string(lineNumber) + ":\n");
    LogLine(">" + currentLine + "\n");
}

int StlReader::open(const std::string& path, bool isBinary) {
    normal[0] = normal[1] = normal[2] = 0;
    parseState = 0;
    solidCount = 0;
    lineNumber = warningCount = facetCount = 0;
    bytesProcessed = 0;
    triangleCount = 0;
    vertexIndex = 0;
    recordsRead_ = 0;
    commandFailed = startRefused = netVoid = false;
    facetBad_ = false;
    binary = isBinary ? 1 : 0;
    if (input_) std::fclose(input_);
    input_ = platform::openRegularForRead(path, true);
    if (!input_) {
        if (sinks_.messageBox) sinks_.messageBox("OpenFail", "Unable to open.");
        return 0;
    }
    if (log_) std::fclose(log_);
    log_ = platform::openRegularForWrite(logPath);
    fileLength = lengthOf(input_);
    LogLine("Meshwick has commenced processing file.\n");
    fileName = path;
    // A binary file is judged by its header before the net is started: a file that is not what
    // it claims leaves nothing behind.
    if (isBinary && !readBinaryHeader()) {
        std::fclose(input_);
        input_ = nullptr;
        if (log_) std::fclose(log_);
        log_ = nullptr;
        state = 1;
        return 0;
    }
    state = 2;
    if (run(startCommand)) {
        // The net was not started: whatever followed would land in a net the user is building.
        startRefused = true;
    }
    return 1;
}

bool StlReader::readBinaryHeader() {
    unsigned char header[kBinaryHeader];
    const std::size_t got = std::fread(header, 1, sizeof header, input_);
    std::string why;
    if (got < sizeof header) {
        why = fileName + " is too short to be a binary STL file: " + std::to_string(fileLength) +
              " bytes, where the header alone takes " + std::to_string(kBinaryHeader) + ".";
    } else {
        triangleCount = static_cast<std::uint32_t>(header[80]) |
                        static_cast<std::uint32_t>(header[81]) << 8 |
                        static_cast<std::uint32_t>(header[82]) << 16 |
                        static_cast<std::uint32_t>(header[83]) << 24;
        const std::int64_t fit = (fileLength - kBinaryHeader) / kBinaryRecord;
        const std::int64_t counted = triangleCount;
        // A count one record off is an exporter's slip; more is another kind of file (an ASCII
        // file with a blank second line reads as hundreds of millions of triangles).
        if (counted > fit + 1 || counted + 1 < fit)
            why = fileName + " is not a binary STL file: its header counts " +
                  std::to_string(counted) + " triangles, but its " + std::to_string(fileLength) +
                  " bytes hold " + std::to_string(fit) + ".";
        else if (counted > fit) {
            ++warningCount;
            LogLine("Warning: the header counts " + std::to_string(counted) +
                    " triangles but the file holds " + std::to_string(fit) + "; reading " +
                    std::to_string(fit) + ".\n");
            triangleCount = static_cast<std::uint32_t>(fit);
        }
    }
    if (why.empty()) return true;
    triangleCount = 0;
    LogLine(why + "\n");
    if (sinks_.messageBox) sinks_.messageBox(fileName, why);
    return false;
}

int StlReader::OpenAscii(const std::string& path) {
    return open(path, false);
}

int StlReader::OpenBinary(const std::string& path) {
    return open(path, true);
}

bool StlReader::readLine(std::string& line) {
    line.clear();
    std::int64_t length = 0; // bytes consumed, the newline included
    int c;
    while ((c = std::fgetc(input_)) != EOF) {
        ++length;
        if (c == '\n') break;
        if (line.size() < kKeptLineChars) line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bytesProcessed += length;
    return length > 0;
}

int StlReader::ParseAscii() {
    if (!input_ || commandFailed || startRefused) return 0;
    std::string line;
    if (!readLine(line)) {
        LogLine("End of file reached, " + std::to_string(lineNumber) + " lines, with " +
                std::to_string(warningCount) + " warning(s).\nProcessed " +
                std::to_string(solidCount) + " solid(s) - " + std::to_string(facetCount) +
                " facets successfully.\n");
        return 0;
    }
    ++lineNumber;
    currentLine = line;
    auto has = [&line](const char* word) { return line.find(word) != std::string::npos; };
    switch (parseState) {
    case 0:
        if (has("solid")) {
            parseState = 1;
            ++solidCount;
        } else {
            warn("Expected solid keyword");
        }
        break;
    case 1:
        if (has("normal")) {
            readNumbers(line, 2, normal, 3);
            parseState = 2;
            vertexIndex = 0;
            facetBad_ = false;
        } else if (has("endsolid")) {
            parseState = 0;
        }
        break;
    case 2:
        if (has("outer")) {
            parseState = 3;
            vertexIndex = 0;
        } else {
            warn("Expected outer loop keyword");
        }
        break;
    case 3:
        if (has("vertex")) {
            double v[3] = {};
            const int n = readNumbers(line, 1, v, 3);
            if (n < 3 || !std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2])) {
                if (!facetBad_) warn("Incomplete or non-finite vertex; the facet is skipped");
                facetBad_ = true;
            }
            for (int i = 0; i < 3; ++i)
                vertices[vertexIndex][i] = v[i];
            if (++vertexIndex > 2) parseState = 4;
        } else {
            warn("Expected vertex keyword");
        }
        break;
    case 4:
        if (has("endloop")) {
            parseState = 5;
            vertexIndex = 0;
        } else {
            warn("Expected endloop keyword");
        }
        break;
    case 5:
        if (has("endfacet")) {
            parseState = 1;
            vertexIndex = 0;
            if (!facetBad_) {
                ++facetCount;
                WriteFacet();
            }
            facetBad_ = false;
        } else {
            warn("Expected endfacet keyword");
        }
        break;
    default: parseState = 0; break;
    }
    return commandFailed ? 0 : 1;
}

int StlReader::ReadBinary() {
    if (!input_ || commandFailed || startRefused) return 0;
    if (recordsRead_ >= static_cast<std::int64_t>(triangleCount)) return 0;
    unsigned char record[kBinaryRecord];
    if (std::fread(record, 1, sizeof record, input_) < sizeof record) {
        ++warningCount;
        LogLine("Warning: record " + std::to_string(recordsRead_ + 1) +
                " is incomplete; reading ends.\n");
        triangleCount = static_cast<std::uint32_t>(recordsRead_);
        return 0;
    }
    ++recordsRead_;
    bytesProcessed += 48;
    for (int i = 0; i < 3; ++i)
        normal[i] = littleEndianFloat(record + 4 * i);
    bool finite = true;
    for (int v = 0; v < 3; ++v)
        for (int i = 0; i < 3; ++i) {
            vertices[v][i] = littleEndianFloat(record + 12 + 12 * v + 4 * i);
            finite = finite && std::isfinite(vertices[v][i]);
        }
    if (finite) {
        WriteFacet();
        ++facetCount;
    } else {
        ++warningCount;
        LogLine("Warning: record " + std::to_string(recordsRead_) +
                " has a coordinate that is not finite; the facet is skipped.\n");
    }
    if (commandFailed) return 0;
    return recordsRead_ < static_cast<std::int64_t>(triangleCount) ? 1 : 0;
}

void StlReader::WriteFacet() {
    if (run("polynet/polygon") || run("poly/chain")) return;
    for (const auto& v : vertices) {
        // Binary coordinates are floats: write the fewest digits that give the float back.
        const std::string x = binary ? floatNumber(static_cast<float>(v[0])) : fieldNumber(v[0]);
        const std::string y = binary ? floatNumber(static_cast<float>(v[1])) : fieldNumber(v[1]);
        const std::string z = binary ? floatNumber(static_cast<float>(v[2])) : fieldNumber(v[2]);
        if (run("poly/poi " + x + " " + y + " " + z)) return;
    }
    run("polynet/close");
}

void StlReader::Finish() {
    if (input_) {
        std::fclose(input_);
        input_ = nullptr;
    }
    if (log_) {
        std::fclose(log_);
        log_ = nullptr;
    }
    // The net is finished even after a facet failed; a refused start has no net to finish, and
    // a net without a facet is left for the caller to delete (finishing it is an error).
    netVoid = state == 2 && !startRefused && facetCount == 0;
    if (state == 2 && !startRefused && !netVoid && sinks_.command &&
        sinks_.command("polynet/fin"))
        commandFailed = true;
    state = 1;
}

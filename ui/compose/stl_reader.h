// Reads a stereolithography (STL) file, ASCII or binary, and writes it into the model as one
// polygon net through the command language: a start command, six commands per facet, a finish.
// The reader knows nothing of windows: commands, log lines and boxes go out through sinks; the
// import loop (stl_import.h) drives it and polls for Escape.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

struct StlSinks {
    // Runs one command line; returns true when the command reported an error.
    std::function<bool(const std::string&)> command;
    // Every text the reader logs (also written to the log file), for the dialog's list.
    std::function<void(const std::string&)> logLine;
    // A message box: caption, text.
    std::function<void(const std::string&, const std::string&)> messageBox;
};

class StlReader {
  public:
    explicit StlReader(StlSinks sinks = {});
    ~StlReader();
    StlReader(const StlReader&) = delete;
    StlReader& operator=(const StlReader&) = delete;

    // 0 unreadable, 1 ASCII (the second line holds "facet" in any case), 2 binary.
    static int SniffFormat(const std::string& path, const StlSinks& sinks);
    // Open the file, create the log, run the start command; 1 on success, 0 on failure. After a
    // start command that reported an error `startRefused` is set and nothing more is sent. A
    // binary file whose header is cut short or counts more than one triangle more or fewer than
    // its size holds is refused with a box naming the file and the reason, before the start.
    int OpenAscii(const std::string& path);
    int OpenBinary(const std::string& path);
    // One line / one facet; nonzero while there is more to read.
    int ParseAscii();
    int ReadBinary();
    // The six commands of the facet in `vertices`.
    void WriteFacet();
    // Closes the files and finishes the net ("polynet/fin"), unless the start was refused or no
    // facet was written: then `netVoid` is set and the net is left for the caller to delete.
    void Finish();
    // To the log file and the dialog's list.
    void LogLine(const std::string& text);

    // The log file's path ("mshwklog.txt" in the current directory until the caller sets it).
    std::string logPath = "mshwklog.txt";
    std::string startCommand = "polynet/start STLtestobject refl=1.0";

    double normal[3] = {};
    double vertices[3][3] = {};
    int parseState = 0;
    std::string currentLine;
    std::string fileName;
    int solidCount = 0;
    long lineNumber = 0;
    long warningCount = 0;
    int state = 0; // 2 while reading, 1 when finished
    int binary = 0;
    long facetCount = 0;
    std::int64_t fileLength = 0;
    std::int64_t bytesProcessed = 0;
    std::uint32_t triangleCount = 0;
    int vertexIndex = 0;
    // A command reported an error: the caller stops reading.
    bool commandFailed = false;
    bool startRefused = false;
    bool netVoid = false;

  private:
    int open(const std::string& path, bool isBinary);
    // Reads and judges the 84-byte header; false (after the box) when the file is refused.
    bool readBinaryHeader();
    void warn(const char* what);
    bool readLine(std::string& line);
    bool run(const std::string& command);

    StlSinks sinks_;
    std::FILE* input_ = nullptr;
    std::FILE* log_ = nullptr;
    std::int64_t recordsRead_ = 0;
    bool facetBad_ = false; // a vertex of the current ASCII facet was incomplete or not finite
};

#include <cstring>

#include "command/macros.h"
#include "command/messages.h"
#include "command/reader.h"

ReaderState& readerState() {
    static ReaderState s;
    return s;
}

void resetReaderState() {
    readerState() = ReaderState{};
    readerState().inputStream = messageState().consoleStream;
}

int lineLengthTrimmed(const std::string& text, int limit) {
    int n = static_cast<int>(std::min(text.size(), static_cast<std::size_t>(limit)));
    while (n > 0 && text[static_cast<std::size_t>(n) - 1] == ' ')
        --n;
    return n;
}

bool runOwnsInput() {
    auto& r = readerState();
    return !(r.runBaseLevel > 0 && macroTop <= r.runBaseLevel);
}

namespace {
// Reads one line, newline consumed, at most kLineStored characters kept, a trailing carriage
// return removed. False at end of file with nothing read; `error` is set on a read error.
bool readPhysicalLine(std::FILE* stream, std::string& line, bool& error) {
    error = false;
    line.clear();
    if (!stream) return false;
    static char* buffer = nullptr;
    static std::size_t capacity = 0;
    ssize_t n = getline(&buffer, &capacity, stream);
    if (n < 0) {
        if (std::ferror(stream)) error = true;
        return false;
    }
    std::size_t len = static_cast<std::size_t>(n);
    if (len > 0 && buffer[len - 1] == '\n') --len;
    if (len > 0 && buffer[len - 1] == '\r') --len;
    line.assign(buffer, std::min(len, static_cast<std::size_t>(kLineStored)));
    // A NUL byte ends the text of a line.
    line.resize(std::strlen(line.c_str()));
    return true;
}
} // namespace

bool readAnswerLine(std::string& line) {
    line.clear();
    if (!runOwnsInput()) return false;
    std::FILE* stream = readerState().inputStream;
    printPrompt(stream, outputChannel);
    bool error = false;
    return readPhysicalLine(stream, line, error);
}

// Fuzz target of the STL reader: the input is sniffed, then read both as ASCII and as binary with
// the commands recorded. Each read must end within a pass a line or a record, send the start
// first and "polynet/fin" last and once (or nothing more when no facet came), and between them
// whole facets of six commands whose coordinates are finite numbers; the facets counted must be
// the facets sent. A binary read goes past the start only when its header's count agrees with
// the size within one record.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "ui/compose/field_text.h"
#include "ui/compose/stl_reader.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

void check(bool ok) {
    if (!ok) std::abort();
}

bool finitePoint(const std::string& command) {
    const std::string prefix = "poly/poi ";
    if (command.compare(0, prefix.size(), prefix) != 0) return false;
    std::string rest = command.substr(prefix.size());
    int numbers = 0;
    std::size_t at = 0;
    while (at <= rest.size()) {
        std::size_t end = rest.find(' ', at);
        if (end == std::string::npos) end = rest.size();
        auto v = parseFieldNumber(rest.substr(at, end - at));
        if (!v || !std::isfinite(*v)) return false;
        ++numbers;
        at = end + 1;
    }
    return numbers == 3;
}

void readAs(const std::string& path, bool binary, std::size_t size, std::size_t lines,
            const std::string& logPath) {
    std::vector<std::string> commands;
    StlSinks sinks{[&commands](const std::string& c) {
                       commands.push_back(c);
                       return false;
                   },
                   nullptr, nullptr};
    StlReader reader(sinks);
    reader.logPath = logPath;
    if (!(binary ? reader.OpenBinary(path) : reader.OpenAscii(path))) return;
    const std::size_t limit = binary ? size / 50 + 2 : lines + 2;
    std::size_t passes = 0;
    while (binary ? reader.ReadBinary() : reader.ParseAscii())
        check(++passes <= limit);
    reader.Finish();
    check(reader.bytesProcessed <= reader.fileLength);
    check(!commands.empty() && commands.front() == reader.startCommand);
    // A binary header that disagrees with the size by more than a record was refused above.
    if (binary) {
        const long long counted = reader.triangleCount, fit = (static_cast<long long>(size) - 84) / 50;
        check(counted <= fit + 1 && counted + 1 >= fit);
    }
    // Without a facet the net is left unfinished for the import to delete.
    check(reader.netVoid == (reader.facetCount == 0));
    if (reader.netVoid) {
        check(commands.size() == 1);
        return;
    }
    check(commands.back() == "polynet/fin");
    check((commands.size() - 2) % 6 == 0);
    check(static_cast<long>((commands.size() - 2) / 6) == reader.facetCount);
    for (std::size_t i = 1; i + 1 < commands.size(); i += 6) {
        check(commands[i] == "polynet/polygon");
        check(commands[i + 1] == "poly/chain");
        for (int v = 0; v < 3; ++v)
            check(finitePoint(commands[i + 2 + v]));
        check(commands[i + 5] == "polynet/close");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    const std::string& home = fuzzsupport::scratchDirectory("meridyn-stl-fuzz-XXXXXX");
    const std::string path = home + "/fuzz.stl";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    std::size_t lines = 0;
    for (std::size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    const int format = StlReader::SniffFormat(path, {});
    check(format >= 0 && format <= 2);
    check(format != 0 || size == 0);
    readAs(path, false, size, lines, home + "/mshwklog.txt");
    readAs(path, true, size, lines, home + "/mshwklog.txt");
    return 0;
}

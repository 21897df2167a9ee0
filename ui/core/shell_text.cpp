#include "ui/core/shell_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/model/object_table.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The number at the start of a text (after blanks), 0 when none.
int leadingNumber(std::string_view text) {
    std::string s(text);
    return std::atoi(s.c_str());
}

} // namespace

std::string windowTitle(const std::string& documentTitle) {
    return documentTitle + " - MERIDYN";
}

bool isModelFileName(std::string_view path) {
    if (path.size() < 3) return false;
    std::string tail(path.substr(path.size() - 3));
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == "opt";
}

std::string withModelExtension(const std::string& path) {
    std::filesystem::path p(path);
    if (p.has_extension() && p.extension() != ".") return path;
    if (!path.empty() && path.back() == '.') return path + "opt";
    return path + ".opt";
}

std::string titleOfPath(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string macroCommandText(const std::string& path) {
    return macroRunCommand(path);
}

std::string saveCommandText(const std::string& path) {
    return "save/overwrite/name=" + quotedName(path);
}

std::string saveChangesQuestion(const std::string& documentTitle) {
    return "Save changes to " + documentTitle + "?";
}

std::vector<std::string> commandLinesOfTypedText(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&] {
        bool blank = true;
        for (char c : line)
            if (c != ' ') blank = false;
        if (!blank) lines.push_back(line);
        line.clear();
    };
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            flush();
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            line += ' ';
        } else {
            line += c;
        }
    }
    flush();
    if (lines.empty()) lines.emplace_back();
    return lines;
}

bool isBareStopWord(std::string_view line) {
    std::string word;
    for (char c : line)
        if (!isBlank(c)) word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word == "end" || word == "exit" || word == "bye" || word == "quit";
}

std::string treeItemText(const std::string& label, const std::string& kindName,
                         const std::string& suffix) {
    return label + "(" + kindName + ")" + suffix;
}

std::string labelOfItemText(std::string_view text) {
    const auto paren = text.find('(');
    if (paren != std::string_view::npos && paren > 0) return std::string(text.substr(0, paren));
    return std::string(text);
}

int surfaceNumberOfItemText(std::string_view text) {
    constexpr std::string_view word = "Surface";
    if (text.size() <= word.size() || text.substr(0, word.size()) != word) return 1;
    long n = 0;
    for (std::size_t i = word.size(); i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 1;
        if (n < 1000000) n = n * 10 + (text[i] - '0');
    }
    return n < 1 ? 1 : static_cast<int>(n);
}

int objectNumberOfLabel(const std::string& label) {
    if (label.empty()) return 0;
    if (const char* text = aliasLookup(label.c_str())) return leadingNumber(text);
    return leadingNumber(label);
}

namespace {
std::string foldedName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}
} // namespace

bool isValidAliasName(std::string_view name) {
    return isNameReadBack(foldedName(name));
}

std::optional<std::string> renameCommandText(const std::string& labelBefore,
                                             const std::string& newText, bool* refused) {
    if (refused) *refused = false;
    if (labelBefore == kTreeRootText || newText.empty()) return std::nullopt;
    // As the reader folds words: the name a saved model gives back.
    const std::string name = foldedName(labelOfItemText(newText));
    if (!isValidAliasName(name)) {
        if (refused) *refused = true;
        return std::nullopt;
    }
    return "rename/newname=" + name + " " + labelBefore;
}

std::optional<int> parseCommandObjectName(std::string_view line, std::string& name) {
    name.clear();
    for (std::size_t i = 2; i <= 40 && i < line.size(); ++i) {
        if (isBlank(line[i]) || line[i] == '(') break;
        name += line[i];
    }
    if (name.empty()) return std::nullopt;
    if (const char* text = aliasLookup(name.c_str())) {
        const int n = leadingNumber(text);
        if (n > 0) return n;
        return std::nullopt;
    }
    for (char c : name)
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const int n = leadingNumber(name);
    if (n >= 1 && n <= kMaxObjects && getObject(n - 1)) return n;
    return std::nullopt;
}

std::optional<std::string> checkBeltRequest(const BeltRequest& r) {
    if (r.cells < 4 || r.cells > 360 || r.cells % 4 != 0)
        return std::string("Number of cells must be a multiple of 4 from 4 to 360.");
    if (!(r.radius > 0) || !std::isfinite(r.radius))
        return std::string("Radius of the belt must be above 0.");
    if (!(r.width > 0) || !std::isfinite(r.width))
        return std::string("Belt width must be above 0.");
    return std::nullopt;
}

std::vector<std::string> beltCommandTexts(BeltPlane plane, const BeltRequest& r) {
    const char* belt = "polynet/belt/xypolar XYPolarRad ";
    const char* turn = "rotate/z XYPolarRad";
    const char* name = "XYPolarRad";
    if (plane == BeltPlane::XZ) {
        belt = "polynet/belt/xzpolar XZPolarRad ";
        turn = "rotate/y XZPolarRad";
        name = "XZPolarRad";
    } else if (plane == BeltPlane::YZ) {
        belt = "polynet/belt/yzpolar YZPolarRad ";
        turn = "rotate/x YZPolarRad";
        name = "YZPolarRad";
    }
    const double step = -180.0 / r.cells;
    return {
        belt + formatText("%g %g %d", r.radius, r.width, r.cells),
        "place",
        turn + formatText(" %g", step),
        std::string("rad/attach ") + name + " 4 " + formatText(" %d", r.cells / 4),
    };
}

double defaultBeltRadius(double hx, double hy, double hz) {
    return std::sqrt(hx * hx + hy * hy + hz * hz);
}

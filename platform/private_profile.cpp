#include "platform/private_profile.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/safe_file.h"

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

} // namespace

ProfileFile::Line ProfileFile::makeLine(std::string text, bool cr) {
    Line line;
    line.text = std::move(text);
    line.carriageReturn = cr;
    std::string_view body = trim(line.text);
    if (body.empty() || body.front() == ';' || body.front() == '#') return line;
    if (body.front() == '[') {
        std::size_t close = body.find(']');
        if (close != std::string_view::npos) {
            line.header = true;
            line.section = std::string(trim(body.substr(1, close - 1)));
        }
        return line;
    }
    std::size_t eq = line.text.find('=');
    if (eq == std::string::npos) return line;
    std::string_view key = trim(std::string_view(line.text).substr(0, eq));
    if (key.empty()) return line;
    line.key = std::string(key);
    line.valueAt = eq + 1;
    return line;
}

void ProfileFile::parse(std::string_view text) {
    lines_.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view raw = text.substr(pos, end - pos);
        bool cr = !raw.empty() && raw.back() == '\r';
        if (cr) raw.remove_suffix(1);
        lines_.push_back(makeLine(std::string(raw), cr));
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
    }
}

bool ProfileFile::load(const std::filesystem::path& path, std::string* refused) {
    parse({});
    std::string data;
    const char* why = nullptr;
    switch (readRegularFile(path.string(), static_cast<std::size_t>(kMaxFileBytes), data)) {
    case ReadFailure::None:
        parse(data);
        return true;
    case ReadFailure::Unopened:
        return false;
    case ReadFailure::NotRegular:
        why = "not a regular file";
        break;
    case ReadFailure::TooLarge:
        why = "larger than 1 MB";
        break;
    case ReadFailure::ReadError:
        why = "could not be read";
        break;
    }
    if (refused) *refused = why;
    return false;
}

std::vector<std::pair<std::size_t, std::size_t>>
ProfileFile::sections(std::string_view name) const {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    bool inside = false;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].header) continue;
        if (inside) out.emplace_back(begin, i);
        inside = sameName(lines_[i].section, name);
        begin = i + 1;
    }
    if (inside) out.emplace_back(begin, lines_.size());
    return out;
}

std::optional<std::string> ProfileFile::get(std::string_view section, std::string_view key) const {
    for (auto [begin, end] : sections(section)) {
        for (std::size_t i = begin; i < end; ++i) {
            const Line& line = lines_[i];
            if (!line.key.empty() && sameName(line.key, key))
                return std::string(trim(std::string_view(line.text).substr(line.valueAt)));
        }
    }
    return std::nullopt;
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view rawValue) {
    // A line end inside a value would split its line.
    std::string value(rawValue);
    for (char& c : value)
        if (c == '\n' || c == '\r') c = ' ';
    auto found = sections(section);
    for (auto [begin, end] : found) {
        for (std::size_t i = begin; i < end; ++i) {
            Line& line = lines_[i];
            if (!line.key.empty() && sameName(line.key, key)) {
                line.text.resize(line.valueAt);
                line.text.append(value);
                return;
            }
        }
    }
    bool cr = !lines_.empty() && lines_.front().carriageReturn;
    std::string keyLine = std::string(key) + "=" + std::string(value);
    if (!found.empty()) {
        // After the last non-blank line of the first section, so blank separators stay below.
        auto [begin, end] = found.front();
        std::size_t at = end;
        while (at > begin && trim(lines_[at - 1].text).empty())
            --at;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), makeLine(keyLine, cr));
        return;
    }
    lines_.push_back(makeLine("[" + std::string(section) + "]", cr));
    lines_.push_back(makeLine(keyLine, cr));
}

std::string ProfileFile::text() const {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].text;
        if (lines_[i].carriageReturn) out += '\r';
        out += '\n';
    }
    return out;
}

bool ProfileFile::save(const std::filesystem::path& path, std::string* error) const {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    std::filesystem::path dir = path.parent_path();
    if (!dir.empty()) {
        std::filesystem::create_directories(dir, ec);
        if (ec) return fail(ec.message());
    }
    // Through a link onto the file it names; never onto a device, a FIFO or a directory.
    std::string why;
    if (!replaceFileContents(path, text(), true, &why)) return fail(why);
    return true;
}

int profileInt(std::string_view value) {
    std::string_view s = trim(value);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(n);
}

int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& path) {
    ProfileFile file;
    file.load(path);
    auto value = file.get(section, key);
    return value ? profileInt(*value) : defaultValue;
}

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue,
                                    const std::filesystem::path& path) {
    ProfileFile file;
    file.load(path);
    auto value = file.get(section, key);
    return value ? *value : std::string(defaultValue);
}

bool writePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& path) {
    ProfileFile file;
    file.load(path);
    file.set(section, key, value);
    return file.save(path);
}

} // namespace platform

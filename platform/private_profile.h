// Private-profile files: plain text with "[section]" lines and "key=value" lines. Section and
// key names match in any case. Writing keeps every line it does not change (other sections,
// other keys, comments) and replaces the file through a temporary file and a rename.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProfileFile {
  public:
    // The largest file read: a settings file is small, and anything bigger is not one.
    static constexpr long kMaxFileBytes = 1L << 20;

    // Reads the file; a missing or unreadable file gives an empty profile (false). Only a regular
    // file of at most kMaxFileBytes is read (a device or FIFO could block or never end): anything
    // else gives an empty profile, false, and `refused` says why.
    bool load(const std::filesystem::path& path, std::string* refused = nullptr);
    // Parses text as the contents of a profile file.
    void parse(std::string_view text);

    // The value of the first occurrence of the key in the first section of that name that holds
    // it, with blanks around it removed; nothing when absent.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Updates the key in its line, or appends it to its section (the section is added at the
    // end when missing).
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;
    // Writes the profile, creating the directory when missing. On failure `error` says why.
    bool save(const std::filesystem::path& path, std::string* error = nullptr) const;

  private:
    struct Line {
        std::string text;      // the line as read, without its line end
        bool carriageReturn{}; // the line ended in "\r\n"
        bool header{};         // a "[section]" line
        std::string section;   // its name
        std::string key;       // key name ("" when not a key line)
        std::size_t valueAt{}; // offset of the value text in `text` (after '=')
    };
    static Line makeLine(std::string text, bool cr);
    // Index range [begin, end) of the lines of each section of that name, in file order.
    std::vector<std::pair<std::size_t, std::size_t>> sections(std::string_view name) const;

    std::vector<Line> lines_;
};

// The integer of the leading digits of a profile value (a sign is allowed, blanks before it are
// skipped), limited to the int range; 0 when there are none.
int profileInt(std::string_view value);

int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& path);
std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue,
                                    const std::filesystem::path& path);
bool writePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& path);

} // namespace platform

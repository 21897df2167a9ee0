#include "ui/core/shell_options.h"

#include <algorithm>

#include "command/messages/messages.h"
#include "platform/private_profile.h"

std::optional<ShellOptions> parseShellOptions(const std::vector<std::string>& args,
                                              std::string& error) {
    ShellOptions o;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--home") {
            if (i + 1 >= args.size()) {
                error = "--home needs a directory";
                return std::nullopt;
            }
            o.home = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else if (haveFile) {
            error = "only one FILE can be opened";
            return std::nullopt;
        } else {
            o.file = a;
            haveFile = true;
        }
    }
    return o;
}

std::string homeInUseText(const std::string& home) {
    return formatText("Another MERIDYN is using the home directory %s.", home.c_str());
}

void RecentFiles::load(const std::filesystem::path& iniPath) {
    entries_.clear();
    platform::ProfileFile profile;
    profile.load(iniPath);
    for (int i = 1; i <= kCount; ++i) {
        auto v = profile.get("Recent File List", "File" + std::to_string(i));
        if (v && !v->empty()) entries_.push_back(*v);
    }
}

bool RecentFiles::save(const std::filesystem::path& iniPath) const {
    platform::ProfileFile profile;
    profile.load(iniPath);
    for (int i = 1; i <= kCount; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        profile.set("Recent File List", "File" + std::to_string(i),
                    k < entries_.size() ? entries_[k] : "");
    }
    return profile.save(iniPath);
}

void RecentFiles::add(const std::string& path) {
    remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kCount) entries_.resize(kCount);
}

void RecentFiles::remove(const std::string& path) {
    entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
}

#include "command/document/program_home.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "command/messages/messages.h"
#include "platform/temp_file.h"

namespace fs = std::filesystem;

bool ProgramHome::resolve(const std::string& given, std::string& error) {
    start_ = platform::currentDirectory();
    if (start_.empty() && (given.empty() || given.front() != '/')) {
        error = "the working directory cannot be read";
        return false;
    }
    std::error_code ec;
    if (!given.empty() && !fs::is_directory(fromStart(given), ec)) {
        error = given + " is not a directory";
        return false;
    }
    home_ = given.empty() ? start_ : fs::path(fromStart(given)).lexically_normal().string();
    while (home_.size() > 1 && home_.back() == '/')
        home_.pop_back();
    return true;
}

std::string ProgramHome::fromStart(const std::string& path) const {
    if (path.empty() || path.front() == '/' || start_.empty()) return path;
    return (fs::path(start_) / path).string();
}

bool ProgramHome::enter(std::string& error) {
    // Settings paths given relative are meant from where the user started.
    for (const char* name : {"MERIDYN_INI", "XDG_CONFIG_HOME", "HOME"}) {
        const char* value = std::getenv(name);
        if (value && *value && *value != '/') setenv(name, fromStart(value).c_str(), 1);
    }
    if (chdir(home_.c_str()) != 0) {
        error = "cannot work in " + home_ + ": " + std::strerror(errno);
        return false;
    }
    programHome = home_;
    return true;
}

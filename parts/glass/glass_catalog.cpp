#include "parts/glass/glass_catalog.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "command/settings/settings.h"

void CGlassCatalog::Keep(std::unique_ptr<CGlass> glass) {
    if (!glass) return;
    auto found = glasses_.find(glass->name);
    if (found != glasses_.end()) return; // the first glass of a name wins
    std::string key = glass->name;
    glasses_.emplace(std::move(key), std::move(glass));
}

void CGlassCatalog::ReadLine(const std::string& line, std::unique_ptr<CGlass>& building,
                             int& records) {
    if (line.size() < 2) return;
    const char tag[3] = {line[0], line[1], '\0'};
    const char* rest = line.c_str() + 2;
    if (tag[0] == 'N' && tag[1] == 'M') {
        Keep(std::move(building));
        building = std::make_unique<CGlass>();
        building->ParseLine(tag, rest);
        ++records;
    } else if (building) {
        building->ParseLine(tag, rest);
    }
}

int CGlassCatalog::LoadText(const std::string& text) {
    std::unique_ptr<CGlass> building;
    int records = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ReadLine(line, building, records);
        start = end + 1;
    }
    Keep(std::move(building));
    return records;
}

int CGlassCatalog::Load(const std::string& fileName) {
    for (const std::string& loaded : loadedFiles_)
        if (loaded == fileName) return kAlreadyLoaded;
    // Only a regular file: a directory reads nothing, a device may never end and a pipe would
    // wait for a writer (hence the non-blocking open).
    int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kUnreadable;
    struct stat info {};
    std::FILE* file = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(fd, "r");
    if (!file) {
        close(fd);
        return kUnreadable;
    }
    loadedFiles_.push_back(fileName);

    // Read whole (getline keeps any NUL bytes and has no length limit); LoadText does the rest.
    std::string text;
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&buffer, &capacity, file)) > 0) text.append(buffer, length);
    std::free(buffer);
    std::fclose(file);
    LoadText(text);
    return kLoaded;
}

CGlass* CGlassCatalog::FindGlass(const std::string& name) const {
    auto found = glasses_.find(name);
    return found == glasses_.end() ? nullptr : found->second.get();
}

void CGlassCatalog::Reset() {
    glasses_.clear();
    loadedFiles_.clear();
}

CGlassCatalog& glassCatalogInstance() {
    static CGlassCatalog catalog;
    return catalog;
}

void resetGlassCatalogState() {
    glassCatalogInstance().Reset();
}

void registerGlassCatalog() {
    settingsHooks().loadCatalog = [](const std::string& fileName) {
        return glassCatalog.Load(fileName);
    };
}

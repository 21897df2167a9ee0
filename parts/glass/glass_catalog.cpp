#include "parts/glass/glass_catalog.h"

#include "command/settings/settings.h"
#include "platform/safe_file.h"

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
    // wait for a writer. Read whole (NUL bytes are kept and lines have no length limit) before
    // anything changes, so a read that fails part-way adds no glass.
    std::string text;
    switch (platform::readRegularFile(fileName, kMaxCatalogBytes, text)) {
    case platform::ReadFailure::None:
        break;
    case platform::ReadFailure::TooLarge:
        return kTooLarge;
    default:
        return kUnreadable;
    }
    loadedFiles_.push_back(fileName);
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

#include "command/interpreter/command_table.h"

#include <array>
#include <vector>

const char* const commandKeywords[kCommandKeywordCount + 1] = {
    "activate", "bye",  "redefine",  "clear",      "deactivate", "define",   "delete", "display",
    "dos",      "echo", "end",       "energy",     "exit",       "iges",     "macro",  "material",
    "modify",   "noop", "pause",     "photometry", "place",      "polynet",  "quit",   "radiometer",
    "raytrace", "read", "remove",    "rename",     "replicate",  "retrieve", "rotate", "save",
    "set",      "show", "translate", "user1",      "user2",      "user3",    "user4",  "user5",
    "variable", "view", "write",     "IFTHEN",     "LSEIF",      "ELSE",     "ENDIF",  " "};

namespace {

std::array<std::vector<CommandHandler>, kCommandKeywordCount>& handlerSlots() {
    static std::array<std::vector<CommandHandler>, kCommandKeywordCount> slots;
    return slots;
}

// Words whose behaviour belongs to the interpreter itself, or that do nothing.
bool takesHandler(std::string_view keyword) {
    static constexpr std::string_view fixed[] = {"macro",    "end",    "exit",  "bye",   "quit",
                                                 "clear",    "pause",  "noop",  "dos",   "retrieve",
                                                 "variable", "write",  "user1", "user2", "user3",
                                                 "user4",    "IFTHEN", "LSEIF", "ELSE",  "ENDIF"};
    for (auto f : fixed)
        if (f == keyword) return false;
    return true;
}

} // namespace

int commandKeywordIndex(std::string_view keyword) {
    for (int i = 0; i < kCommandKeywordCount; ++i)
        if (keyword == commandKeywords[i]) return i;
    return -1;
}

bool isStopWord(std::string_view keyword) {
    return keyword == "end" || keyword == "exit" || keyword == "bye" || keyword == "quit";
}

bool addCommandHandler(std::string_view keyword, CommandHandler handler) {
    int i = commandKeywordIndex(keyword);
    if (i < 0 || !takesHandler(keyword) || !handler) return false;
    handlerSlots()[static_cast<std::size_t>(i)].push_back(std::move(handler));
    return true;
}

bool setCommandHandler(std::string_view keyword, CommandHandler handler) {
    int i = commandKeywordIndex(keyword);
    if (i < 0 || !takesHandler(keyword) || !handler) return false;
    auto& slot = handlerSlots()[static_cast<std::size_t>(i)];
    slot.clear();
    slot.push_back(std::move(handler));
    return true;
}

bool hasCommandHandler(std::string_view keyword) {
    int i = commandKeywordIndex(keyword);
    return i >= 0 && !handlerSlots()[static_cast<std::size_t>(i)].empty();
}

int runCommandHandlers(std::string_view keyword, CQelDoc& doc) {
    int i = commandKeywordIndex(keyword);
    if (i < 0) return -1;
    int result = -1;
    const auto& steps = handlerSlots()[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < steps.size(); ++k)
        result = steps[k](doc);
    return result;
}

void resetCommandHandlers() {
    for (auto& slot : handlerSlots())
        slot.clear();
}

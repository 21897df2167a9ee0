#include "command/interpreter/aliases.h"

#include <cstdio>
#include <cstring>

namespace {
void copyField(char (&dst)[21], const char* src) {
    std::snprintf(dst, sizeof dst, "%s", src ? src : "");
}
} // namespace

AliasState& aliasState() {
    static AliasState s;
    return s;
}

void resetAliasState() {
    aliasState() = AliasState{};
}

int aliasAdd(const char* name, const char* text) {
    if (!name || !text || !*name) return 0;
    AliasRecord rec;
    copyField(rec.name, name);
    copyField(rec.text, text);
    for (const auto& a : aliasState().aliases) {
        if (std::strcmp(a.name, rec.name) == 0 || std::strcmp(a.text, rec.text) == 0) return 0;
    }
    auto& list = aliasState().aliases;
    list.push_back(rec);
    return static_cast<int>(list.size());
}

void aliasRemove(AliasRecord* record) {
    auto& list = aliasState().aliases;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (&*it == record) {
            list.erase(it);
            return;
        }
    }
}

AliasRecord* aliasFindByName(const char* name) {
    if (!name) return nullptr;
    for (auto& a : aliasState().aliases)
        if (std::strncmp(a.name, name, 20) == 0 && std::strlen(name) <= 20) return &a;
    return nullptr;
}

AliasRecord* aliasFindByText(const char* text) {
    if (!text) return nullptr;
    for (auto& a : aliasState().aliases)
        if (std::strncmp(a.text, text, 20) == 0 && std::strlen(text) <= 20) return &a;
    return nullptr;
}

const char* aliasLookup(const char* name) {
    AliasRecord* a = aliasFindByName(name);
    return a ? a->text : nullptr;
}

void aliasList(OutputChannel channel) {
    const auto& list = aliasState().aliases;
    if (list.empty()) {
        outText(channel, "No aliases defined.\n");
        return;
    }
    outText(channel, "Alias name               Replacement text\n");
    outText(channel, "____________________     ____________________\n");
    for (const auto& a : list)
        outText(channel, "%20s <== %20s\n", a.name, a.text);
}

void aliasClearAll() {
    aliasState().aliases.clear();
    clearPendingAlias();
}

void clearPendingAlias() {
    aliasState().pendingAliasName.clear();
    aliasState().pendingAliasText.clear();
}

int registerPendingAlias(OutputChannel channel, int objectNumber) {
    auto& s = aliasState();
    if (s.pendingAliasName.empty()) return 0;
    std::string name = s.pendingAliasName;
    std::string text = std::to_string(objectNumber);
    if (aliasAdd(name.c_str(), text.c_str())) {
        const AliasRecord& a = s.aliases.back();
        outText(channel, "Added alias: ");
        outText(channel, "%20s <== %20s\n", a.name, a.text);
    } else {
        outText(channel, "Unable to add alias %s and text %s\n", name.c_str(), text.c_str());
    }
    clearPendingAlias();
    return 1;
}

void removeObjectAlias(OutputChannel channel, int objectNumber) {
    std::string text = std::to_string(objectNumber);
    AliasRecord* a = aliasFindByText(text.c_str());
    if (!a) return;
    outText(channel, "Alias %s removed.\n", a->name);
    aliasRemove(a);
}

const char* objectLabel(int objectNumber) {
    auto& s = aliasState();
    std::string text = std::to_string(objectNumber);
    AliasRecord* a = aliasFindByText(text.c_str());
    s.labelText = a ? std::string(a->name) : text;
    return s.labelText.c_str();
}

bool isNameReadBack(std::string_view name, std::size_t limit) {
    if (name.empty() || name.size() > limit || name[0] < 'a' || name[0] > 'z') return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

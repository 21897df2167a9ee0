// Aliases: names that stand for object numbers (or other short texts) in commands, and the text
// by which messages name an object.
#pragma once

#include <list>
#include <string>
#include <string_view>

#include "command/messages/messages.h"

struct AliasRecord {
    char name[21] = {};
    char text[21] = {};
};

struct AliasState {
    std::list<AliasRecord> aliases; // list order is creation order; addresses are stable
    std::string pendingAliasName;   // last name-like parameter word of the current command
    std::string pendingAliasText;
    std::string labelText; // the text objectLabel last returned
};

AliasState& aliasState();
void resetAliasState();

// Adds an alias; refuses (0) a name or text already in the list, an empty name, or a failed
// allocation. Returns the 1-based position of the new record.
int aliasAdd(const char* name, const char* text);
void aliasRemove(AliasRecord* record);
AliasRecord* aliasFindByName(const char* name);
AliasRecord* aliasFindByText(const char* text);
// The replacement text of a name, or nullptr.
const char* aliasLookup(const char* name);
void aliasList(OutputChannel channel);
// Removes every alias (clearing the model).
void aliasClearAll();

// The longest name a command can give an object and read back: a 20-character word is refused
// as too long.
inline constexpr std::size_t kNameReadBackChars = 19;
// True when the reader gives the name back as the same name: a lower-case letter, then
// lower-case letters, digits or "_" (the reader folds words to lower case), at most `limit`
// characters.
bool isNameReadBack(std::string_view name, std::size_t limit = kNameReadBackChars);

// Registers the pending name (if any) as an alias of object n. Returns 0 when no name was
// pending, else 1.
int registerPendingAlias(OutputChannel channel, int objectNumber);
void clearPendingAlias();
// Removes the alias that stands for object n, with its message.
void removeObjectAlias(OutputChannel channel, int objectNumber);

// The alias name whose replacement text is the object number, else the number as text. Valid
// until the next call.
const char* objectLabel(int objectNumber);

// The command keyword table and the handler slots behind it. The command loop matches every
// command word against the table; the document's dispatcher runs the handlers registered for
// the matched keyword. Subsystems register their handlers at start-up (see
// registerCommandHandlers in app/), so each keyword is filled by the library that owns it.
#pragma once

#include <functional>
#include <string_view>

#include "command/interpreter/parsed_command.h"

class CQelDoc;

inline constexpr int kCommandKeywordCount = 47;
// The keywords in table order, ended by " ".
extern const char* const commandKeywords[kCommandKeywordCount + 1];

// A handler reads the parsed command and returns 1 when done, 0 when it rejected the command.
using CommandHandler = std::function<int(CQelDoc&)>;

// Appends a handler to a keyword's list; a keyword with several handlers runs them in the order
// they were added (modify: geometry first, then the part-list steps). Returns false for a word
// that takes no handler: not in the table, or one the interpreter itself runs (macro, the stop
// words, clear, pause, and the words that do nothing).
bool addCommandHandler(std::string_view keyword, CommandHandler handler);
// Replaces every handler of a keyword.
bool setCommandHandler(std::string_view keyword, CommandHandler handler);
bool hasCommandHandler(std::string_view keyword);
// Runs the handlers of a keyword in order (handlers must not register others while they run); the
// result of the last one, or -1 when there is none.
int runCommandHandlers(std::string_view keyword, CQelDoc& doc);
// Removes every registered handler.
void resetCommandHandlers();

// Index of a full keyword in the table (plain equality), or -1.
int commandKeywordIndex(std::string_view keyword);
// The four words that end a session typed at the top level (inside a macro they do nothing).
bool isStopWord(std::string_view keyword);

// The display's command keywords: the view command's entry, which finds the view-type word and
// hands it to viewCommand.
#pragma once

#include <string>

// The view-type word of the view command: the one view-type modifier given, "system" when none.
// Several are the error "Multiple view modifiers not permitted." and give an empty word.
std::string viewTypeWord();
// Registers the view command with the dispatcher.
void registerDisplayCommands();

// The display's command keywords: view with its options, iges (the system view exported as line
// records) and energy. Each entry returns 1 when done and 0 when it rejected the command.
#pragma once

#include <string>

inline constexpr const char* kDefaultIgesName = "sysview.igs";

struct ViewOptionsState {
    int greyPalette = 0; // the intensity view is shown in grey levels, not in the spectrum
};
ViewOptionsState& viewOptionsState();
void resetViewOptionsState();

inline int& greyPalette = viewOptionsState().greyPalette;

// The view-type word of the view command: the one view-type modifier given, "system" when none.
// Several are the error "Multiple view modifiers not permitted." and give an empty word.
std::string viewTypeWord();

// The view command: an IGES export of the picture, the energy plot's scaling and the palette,
// then the view itself (viewCommand).
int viewCommandOptions();
int igesCommand();
int energyCommand();

// Registers view, iges and energy with the dispatcher.
void registerDisplayCommands();

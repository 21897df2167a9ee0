// The keyword entries of the commands that draw or analyse: view with its options, iges (the
// system view exported as line records) and energy. Each returns 1 when done and 0 when it
// rejected the command.
#pragma once

inline constexpr const char* kDefaultIgesName = "sysview.igs";

struct ViewOptionsState {
    int greyPalette = 0; // the intensity view is shown in grey levels, not in the spectrum
};
ViewOptionsState& viewOptionsState();
void resetViewOptionsState();

inline int& greyPalette = viewOptionsState().greyPalette;

int viewCommandOptions();
int igesCommand();
int energyCommand();

// Puts view, iges and energy into the command keyword table.
void registerDisplayKeywords();

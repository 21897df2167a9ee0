// The selected light source's last trace: selecting a light-source part that was traced copies
// the trace it keeps into the last raytrace (so raytrace/last traces it again) and into the
// presets of the trace dialogs.
#pragma once

// True when the selected object (viewObject) is a light-source part with a kept trace.
bool recallSelectedSourceTrace();

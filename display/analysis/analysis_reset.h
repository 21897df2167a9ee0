// The state of the analyses and exchange modules as one reset: the film grid, the angular
// tables, the bitmap holder and the IGES header. Tests, and the display layer's reset, call it.
#pragma once

void resetAnalysisState();

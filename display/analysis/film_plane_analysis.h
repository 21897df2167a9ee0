// Film-plane analyses of the spot file: linear energy profiles across a detector and the
// encircled-energy table. The energy command calls them.
#pragma once

#include <string>

// word "xlinear", "ylinear" or "encircled"; `outputPath` may be empty (report on the screen).
// The analyses come later: for now the entry accepts every word and does nothing.
int filmPlaneCommand(const char* word, const std::string& outputPath);

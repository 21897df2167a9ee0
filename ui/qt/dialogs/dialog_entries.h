// Connects the dialogs to the window: the view's dialog seams (parameter input, tool dialogs,
// the data-output file) and the entries File > ImportSTL... and Design > Prism > CornerCube....
#pragma once

#include <vector>

#include "ui/compose/stl_import.h"

class MainWindow;
struct ShellEntry;

// Installs the seams for this window and returns its two menu rows.
std::vector<ShellEntry> installDialogs(MainWindow& window);
// The handlers of the two rows.
StlImportResult importStlFile(MainWindow& window);
int defineCubeCorner(MainWindow& window);

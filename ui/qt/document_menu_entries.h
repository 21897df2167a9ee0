// The document's entries of the main window's menus, and the document's enabling table applied
// to every entry when a menu opens and after every run.
#pragma once

#include <vector>

#include "ui/props/document_menu.h"

class MainWindow;
class QAction;
struct ShellEntry;

// What the table reads, taken now.
DocumentMenuState documentMenuSnapshot(const MainWindow& window);
// Appends RunMacro, SaveHistory, ReRunLastMacro, ClearReRunMacro, EditLastMacro, EditFile,
// SaveRaysAsText, SaveSpotsAsText, the spot listings, HPGL export, CopyText, SetUnits mm, AddRays,
// ReSet, PopUpOnError and Import IGES.
void appendDocumentEntries(MainWindow& window, std::vector<ShellEntry>& entries);
// Enables `action` when its entry's own rule (`ownEnabled`) and the table's row, if any, allow
// it; a row with a check mark makes the action checkable and sets it.
void applyDocumentMenuTable(const DocumentMenuState& state, const ShellEntry& entry,
                            QAction* action, bool ownEnabled);

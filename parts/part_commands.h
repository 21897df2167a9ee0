// The keywords of the part list, the part of a new document that clears the model, and the
// part model's side of saving (the parts section, the loaded catalogs) and of redefinition.
#pragma once

#include <string>

class CPartList;
class CDefineParams;

// Makes the document's part list (once) and registers define, delete, activate, deactivate,
// redefine, rename, replicate and the polynet part step on it, the index refresh after SET, the
// glass column of the listing, the SAVE command with the parts section, and the model clearing
// of every new document: every object, then every part.
void registerPartCommands();

// The document's Metamorph on `list`: marks the part of the selected object (viewObject) for
// redefinition by the next define command and hands back its define path and values.
// 1 ready, 0 no such part ("Part not found."), -1 a polygon net (nothing changes).
int metamorphPart(CPartList& list, CDefineParams* params, std::string* partNameOut);

// Empties the document's part list (when made) and, when thePartList is that list, leaves
// thePartList null as before the first registration. A part list some caller made stays theirs.
void resetPartCommandsState();

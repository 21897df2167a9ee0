// The keywords of the part list and the part of a new document that clears the model.
#pragma once

// Makes the document's part list (once) and registers define and delete on it, and the model
// clearing of every new document: every object, then every part.
void registerPartCommands();
// Empties the document's part list (when made) and, when thePartList is that list, leaves
// thePartList null as before the first registration. A part list some caller made stays theirs.
void resetPartCommandsState();

// Puts the object commands of the geometry core into the command keyword table.
#pragma once

// Registers place, translate, rotate, remove, modify (its geometry step, before the part list's
// steps) and display, and fills the settings' snug-workbox hook.
void registerObjectCommands();

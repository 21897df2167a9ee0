// The command keywords that place and move objects: place, translate, rotate and remove. Each
// reads its modifiers and values from the parsed command, checks them and calls the placement
// operation. Every handler returns 1 when done and 0 when it refused the command.
#pragma once

// place/[global|relative|inside|rotations]: activates and places an object.
int placeCommand();
// translate/[global|local]: moves a placed object.
int translateCommand();
// rotate/[local|global|relative]/{x|y|z}: turns a placed object.
int rotateCommand();
// remove: takes an object out of the workbox.
int removeCommand();

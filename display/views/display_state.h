// The reset of the display library's state. Fourth link of the chain of layer resets; it resets
// the parts layer (and with it the engine and the command library) first. Call it between runs,
// with no document and no view alive.
#pragma once

// Resets the parts layer (resetPartsState), then the drawing and view state: the plot state
// (display file and HPGL plot closed), the 3-D line export (its file closed), the annotations,
// the view modes (with the view window the redraw requests go to) and the view command's options.
void resetDisplayState();

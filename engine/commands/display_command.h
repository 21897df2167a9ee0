// The display keyword: lists objects, surfaces, extents, alternate-surface functions, user
// parameters or the traced rays as text, on the screen or (with /file) into the display file.
#pragma once

// 1 when something was listed or reported, 0 when the command was refused.
int displayCommand();

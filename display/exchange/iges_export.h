// The view's IGES export as a whole, for drivers without the export dialog: the system view's
// line records are written to a fresh temporary file by the iges command, then converted with
// the dialog's default header texts into the IGES file.
#pragma once

#include <string>

class CQelDoc;

// Exports the current model (and the rays, when they are shown) to the IGES file `path`.
// 1 written, 0 after a message.
int exportIgesView(CQelDoc& document, const std::string& path);

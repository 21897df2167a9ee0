// The radiometers of parts as the view and the window see them: the intensity bins of a part's
// radiometer for the intensity image, and the questions and preparation the selected part's
// radiometer answers for the intensity and polar radiometer views. The selected part is the
// shell's selectedPartName, found again in the part list at each use.
#pragma once

#include <optional>
#include <string>

#include "ui/core/dib.h"

// 1 when a part is selected and carries a radiometer (through bitmapState().radiometer).
int HasSelectedRadiometer();
// 1 when the selected part is a polygon net with a radiometer and a polar plane.
int IsSelectedPolynetRadiometer();
// The polar radiometer view's data: when the selected part carries a radiometer, its intensity
// per steradian fills the intensity row of the polar tables from the net of the part's first
// surface (a part without one leaves the row empty); 1 then, else 0.
int PrepareSelectedPolarRadiometer();
// The detector plot of an object for the intensity view: the outline and dimension box of a ray
// trace detector, with its first surface's extents (x from, x to, y from, y to). False, with
// nothing drawn and no message, for any other object.
bool drawIntensityDetector(int object, double extents[4]);

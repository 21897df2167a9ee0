#include "display/analysis/analysis_reset.h"

#include "display/analysis/angular_analysis.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/exchange/iges_writer.h"
#include "display/raster/bitmap_holder.h"

void resetAnalysisState() {
    resetFilmPlaneState();
    resetAngularState();
    resetBitmapHolder();
    resetIgesState();
}

#include "display/views/display_state.h"

#include "display/analysis/analysis_reset.h"
#include "display/plot/plot_primitives.h"
#include "display/views/annotations.h"
#include "display/views/display_commands.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"
#include "parts/parts_state.h"

void resetDisplayState() {
    resetPartsState();
    resetLineExportState();
    resetPlotState();
    resetAnnotationState();
    resetViewModeState();
    resetViewOptionsState();
    resetAnalysisState();
}

#include "parts/parts_state.h"

#include "engine/model/engine_state.h"
#include "parts/glass/glass_catalog.h"
#include "parts/part.h"
#include "parts/part_commands.h"
#include "parts/plugin_binder.h"
#include "parts/raytrace_manager.h"
#include "parts/output/ray_output_state.h"
#include "parts/radiometers/polar_tables.h"
#include "parts/radiometers/radiometer.h"
#include "parts/templates/define_params.h"
#include "parts/trace/trace_totals.h"

void resetPartsState() {
    resetEngineState();
    resetPartCommandsState();
    resetPartWriterState();
    resetGlassCatalogState();
    resetDefineParamsState();
    resetRadiometerState();
    resetPolarTables();
    resetTraceTotals();
    resetLastTraceStore();
    resetPluginBinderState();
    resetRayOutputState();
}

#include "parts/parts_state.h"

#include "engine/model/engine_state.h"
#include "parts/output/ray_output_state.h"
#include "parts/part.h"
#include "parts/part_commands.h"
#include "parts/plugin_binder.h"

void resetPartsState() {
    resetEngineState();
    resetPartCommandsState();
    resetPartWriterState();
    resetPluginBinderState();
    resetRayOutputState();
}

#include "parts/parts_state.h"

#include "engine/model/engine_state.h"
#include "parts/part_commands.h"
#include "parts/plugin_binder.h"
#include "parts/trace_totals.h"

void resetPartsState() {
    resetEngineState();
    resetPartCommandsState();
    resetPluginBinderState();
    resetTraceTotals();
}

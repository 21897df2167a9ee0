#include "engine/model/engine_state.h"

#include "command/document/command_state.h"
#include "engine/build/object_definitions.h"
#include "engine/commands/listing.h"
#include "engine/commands/placement_commands.h"
#include "engine/commands/polynet_command.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "engine/model/model_version.h"
#include "engine/model/object_table.h"
#include "engine/model/view_transform.h"
#include "engine/optics/optics.h"
#include "engine/optics/random_sampling.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"
#include "engine/surfaces/toric_surfaces.h"
#include "engine/trace/part_search.h"
#include "engine/trace/ray_tree.h"

void resetEngineState() {
    resetCommandState();
    // The object table and everything the engine caches about the model.
    resetObjectTable();
    resetCurrentObjects();
    resetViewState();
    resetPlacementCommandsState();
    listingHooks() = ListingHooks{};
    setCpcMirrorBuilder(nullptr);
    // Polygon nets: the command's state, trims, node allocators and the net trace state.
    resetPolynets();
    resetRayTreeState();
    resetSurfaceHitState();
    resetModelVersion();
    resetModelSearch();
    resetSurfaceMediaState();
    resetAltSurfaceState();
    clearAsphericCache();
    resetToricState();
    resetCpcState();
    resetOpticsState();
    resetRandomState();
    // The data files last: nothing above writes to them.
    resetRayFiles();
}

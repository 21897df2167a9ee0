// The reset of the parts library's state. Third link of the chain of layer resets; it resets the
// engine (and with it the command library) first. Call it between runs, with no document alive.
#pragma once

// Resets the engine (resetEngineState), then the document's part list (resetPartCommandsState),
// the plug-in binder's last binding and load error, and the tracer's per-ray output files
// (closed). The raytrace manager keeps no state of its own: the document makes it and
// theRaytraceManager lives as long as that document.
void resetPartsState();

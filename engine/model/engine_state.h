// The reset of the engine library's state: the model and everything the engine caches go back to
// what a freshly started program holds. Second link of the chain of layer resets; it resets the
// command library first (resetCommandState). Call it between runs, with no document alive.
#pragma once

// Resets the command library (resetCommandState), then, in this order: the object table with
// every model block (objects, surfaces, alternate-surface records, polygon nets), the current
// objects, the view transform, the placement commands, the listing hooks and the CPC mirror
// builder; the polygon nets (the command's net under construction, trims, node allocators, the
// net trace state); the ray tree; the surface hits and media; the alternate-surface slots; the
// aspheric, toric and CPC caches; the optics and the random generator; the data files (rays.dat,
// spots.dat, reemit.dat closed, last spot and wavelength forgotten).
void resetEngineState();

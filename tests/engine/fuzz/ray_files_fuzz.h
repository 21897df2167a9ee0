// One fuzz input run through every reader of the data files and through the dump and the pick.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the input as rays.dat, spots.dat and reemit.dat in a scratch home directory and reads
// them back every way the program does. Returns 0.
int fuzzRayFilesOneInput(const std::uint8_t* data, std::size_t size);

// The named double parameters of an object: the values a definition used, kept for saving and
// listing, and the inputs that some surfaces (the CPC) read at every intercept.
#pragma once

#include "engine/model/object_table.h"

inline constexpr double kUnsetUserParameter = 42.0; // what a parameter reads until it is set
inline constexpr int kUserParameterNameChars = 20;

// Gives the object `count` parameters, each 42.0, named by the first `count` entries of `names`
// (a table ending with " "; missing names are empty, each name is cut to 20 characters). The
// object keeps its own copy of the names. 0 when the memory cannot be had (the list is then
// left as it was), else 1.
int allocUserParameters(ObjectRecord* object, int count, const char* const* names);
// "No parameters attached.\n" and 0 when there are none; else one "%s = %lg  " per parameter
// and "\n" on the output channel, and 1.
int printUserParameters(const ObjectRecord* object);
// Copies the first `count` values into the object's parameters; returns count.
int setUserParameters(ObjectRecord* object, const double* values);

// The model version: a number that every change of the model's geometry makes new (define,
// place, translate, rotate, remove, modify, delete, the edits of a polygon net). Whatever keeps
// something worked out from the geometry (the nearest-hit searches' bounding hierarchies) keeps
// the version it was worked out at, and works it out again once the two differ.
#pragma once

#include <cstdint>

namespace model_version_detail {
inline std::uint64_t version = 1;
} // namespace model_version_detail

// Inline: every search asks for it, once per ray segment.
inline std::uint64_t modelVersion() { return model_version_detail::version; }
void bumpModelVersion();
// A reset changes the version too, never back to a number an earlier model had: what was
// worked out before the reset is stale after it.
void resetModelVersion();

// Runs a command handler that may change the model, then makes the version new.
template <class Handler> int changingModel(Handler handler) {
    const int result = handler();
    bumpModelVersion();
    return result;
}

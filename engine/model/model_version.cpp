#include "engine/model/model_version.h"

void bumpModelVersion() { ++model_version_detail::version; }

void resetModelVersion() { ++model_version_detail::version; }

/* A plug-in whose UserParamNames writes a long name with no terminator, and whose ray entry
   returns its record's mode as the result. */
#include <string.h>

#include "plugin_interface.h"

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    memset(buffer, 'a', 200);
    return 1;
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* record) {
    return (int)record->v[SRC_MODE] + 40;
}

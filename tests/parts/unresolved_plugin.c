/* A plug-in that needs a symbol nobody defines: loading it must fail, not crash later. */
#include "plugin_interface.h"

extern int meridynTestSymbolThatDoesNotExist(void);

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* record) {
    (void)record;
    return meridynTestSymbolThatDoesNotExist();
}

#include "ui/core/view_state.h"

#include "command/settings/settings.h"

QelViewState& qelViewState() {
    static QelViewState state;
    return state;
}

void resetQelViewState() {
    qelViewState() = QelViewState{};
    const double* h = workbox.halfSize;
    qelViewState().gridExtent = 0.333 * (h[0] + h[1] + h[2]);
}

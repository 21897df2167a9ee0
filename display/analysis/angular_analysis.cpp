#include "display/analysis/angular_analysis.h"

int angularCommand() {
    return 1;
}

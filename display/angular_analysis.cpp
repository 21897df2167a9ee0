#include "display/angular_analysis.h"

int angularCommand() {
    return 1;
}

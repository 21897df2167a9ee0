#include "parts/ray_output_command.h"

int RayOutputCommand() {
    return 0;
}

#include "parts/parts_keywords.h"

#include "command/command_table.h"
#include "parts/ray_output_command.h"

void registerPartsKeywords() {
    addCommandHandler("echo", [](CQelDoc&) { return RayOutputCommand(); });
}

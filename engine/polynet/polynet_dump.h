// The printed form of a polygon net.
#pragma once

#include "command/messages/messages.h"
#include "engine/polynet/polynet_records.h"

// Every part, facet, contour and vertex of the net on the channel; an empty net gives the
// information box "Empty polynet.\n".
void polynetDump(const PolynetRecord* net, OutputChannel channel);

// The angular analysis of the stored rays: where the light leaving the system goes, by angle
// from each axis and by azimuth. The energy command's polar form calls it.
#pragma once

// Reads its values from the command. The analysis comes later: for now it does nothing.
int angularCommand();

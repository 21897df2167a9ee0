// The sun of the shaded and solid images: where it stands (absolute, or relative to the viewer),
// how bright the brightest pixel may be, and the light direction the renderer shades with. This
// is the one copy of the sun; set/sun and the settings reset reach it through the settings hooks.
#pragma once

struct SunState {
    // The load-time values are those of the settings reset, set without a report.
    double azimuth = 10.0;   // degrees
    double elevation = 20.0; // degrees
    int relative = 1;        // the angles are added to the viewer's
    double maxIntensity = 255.0;
    double vector[3] = {0.0, 0.0, 0.0}; // unit light direction; set by setSunVector
};

SunState& sunState();
void resetSunState();

// Stores a new sun position and reports it. An intensity outside 0 < i < 256 becomes 255.
void setSunPosition(double azimuth, double elevation, double intensity, int relative);
// Sets the light direction for a viewer at the given angles and reports it.
void setSunVector(double viewerAzimuth, double viewerElevation);

// Connects set/sun and the settings reset to this sun.
void installSunHooks();

#include "command/general/sun_position.h"

#include <cmath>
#include <numbers>

#include "command/messages/messages.h"
#include "command/settings/settings.h"

SunState& sunState() {
    static SunState s;
    return s;
}

void resetSunState() {
    sunState() = SunState{};
}

void setSunPosition(double azimuth, double elevation, double intensity, int relative) {
    SunState& s = sunState();
    s.maxIntensity = intensity > 0.0 && intensity < 256.0 ? intensity : 255.0;
    s.azimuth = azimuth;
    s.elevation = elevation;
    s.relative = relative;
    if (relative)
        outText(outputChannel, "Sun position relative to viewer is azimuth = %g elevation = %g.\n",
                azimuth, elevation);
    else
        outText(outputChannel, "Absolute sun position is azimuth = %g elevation = %g.\n", azimuth,
                elevation);
    outText(outputChannel, "Maximum pixel intensity = %g\n", s.maxIntensity);
}

void setSunVector(double viewerAzimuth, double viewerElevation) {
    SunState& s = sunState();
    double az = s.azimuth;
    double el = s.elevation;
    if (s.relative) {
        az += viewerAzimuth;
        el += viewerElevation;
    }
    outText(outputChannel, "Sun at az=%lg el=%lg\n", az, el);
    az *= std::numbers::pi / 180.0;
    el *= std::numbers::pi / 180.0;
    double v[3] = {std::cos(el) * std::sin(az), std::sin(el), std::cos(az) * std::cos(el)};
    // cos and sin never vanish together, so the length is 1 up to rounding; it is divided out
    // all the same so that the stored direction is a unit vector to the last bit the maths
    // gives. Angles that are not finite leave no usable direction: the old one stays.
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (std::isfinite(length) && length > 0.0)
        for (int i = 0; i < 3; ++i)
            s.vector[i] = v[i] / length;
    outText(outputChannel, "Sun vector set to: %lf %lf %lf", s.vector[0], s.vector[1], s.vector[2]);
}

void installSunHooks() {
    SettingsHooks& hooks = settingsHooks();
    hooks.setSunPosition = setSunPosition;
    hooks.sunPosition = [] {
        const SunState& s = sunState();
        return SunPosition{s.azimuth, s.elevation, s.maxIntensity};
    };
}

// The design-tool dialogs' work without a window: the presets they open with, the checks that
// keep them open, and the command texts OK composes. The Qt dialogs only show and read fields.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

// Edit > Rotate...: frame 0 global, 1 local, 2 relative; axis 0-2 = x, y, z.
struct RotationRequest {
    int frame = 1;
    int axis = 0;
    std::string object, reference;
    double angle = 0;
};
std::optional<std::string> rotationRefusal(const RotationRequest& r);
std::string rotationCommand(const RotationRequest& r);

// Edit > Place...: type 0 global, 1 relative, 2 inside, 3 rotations.
struct PlacementRequest {
    int type = 0;
    double x = 0, y = 0, z = 0, a = 0, b = 0, g = 0;
    std::string object, reference;
};
std::optional<std::string> placementRefusal(const PlacementRequest& r);
std::string placementCommand(const PlacementRequest& r);

// Edit > Translate...: type 0 global, 1 local.
struct TranslationRequest {
    int type = 0;
    double x = 0, y = 0, z = 0;
    std::string object;
};
std::optional<std::string> translationRefusal(const TranslationRequest& r);
std::string translationCommand(const TranslationRequest& r);

// Window > SetWorkbox...: each half size above 0 and at most 1e300.
std::optional<std::string> workboxRefusal(const std::array<double, 3>& halfSizes);
// The grid extent after the workbox changed: 0.333 x the sum of the half sizes.
double gridExtentOf(const std::array<double, 3>& halfSizes);

// Options > Wavelength...: no negative wavelength; the two commands run after OK and Cancel.
std::optional<std::string> wavelengthRefusal(const std::array<double, 12>& wavelengths);
std::vector<std::string> wavelengthCommands(const std::array<double, 12>& weights,
                                            const std::array<double, 12>& wavelengths);

// Window > Perspective...: the least eye distance taken, 0.33 x the sum of the half sizes.
double perspectiveMinimum(const std::array<double, 3>& halfSizes);
bool perspectiveAccepted(double distance, const std::array<double, 3>& halfSizes);

// View > Solid...: the sizes offered for a client area and a sampling step.
struct SolidSizes {
    int maxNx = 0, maxNy = 0, nx = 0, ny = 0;
};
// r = height / width (1 for a width of 0).
double solidAspect(int clientWidth, int clientHeight);
// The presets before the dialog: nx 128, ny 128 x r.
SolidSizes solidPresets(int clientWidth, int clientHeight);
// The sizes for a slider step: nx = width / step down to a multiple of 4, ny = height / step.
SolidSizes solidSizesForStep(int clientWidth, int clientHeight, int step);
// Nx rounded up to the next multiple of 4.
int solidRoundNx(int nx);
std::optional<std::string> solidRefusal(int nx, int ny);
// The eye distance kept within 100000 x the sum of the half sizes.
double solidEyeDistance(double viewDistance, const std::array<double, 3>& halfSizes);
inline constexpr const char* kSolidLimitFormat = "Maximum size Nx = %d and Ny = %d.";
std::string solidLimitText(int maxNx, int maxNy);

// Design > Replicate...: copies 1 to 499, base name a name of at most 16 characters.
std::optional<std::string> replicateRefusal(int copies, const std::string& baseName);
std::string replicateCommand(const std::string& baseName, const std::string& objectLabel,
                             int copies);

// AltSurfaces > Fresnel...: 0 radial, 1 x-cylindrical, 2 y-cylindrical.
std::string fresnelAltSurfacePath(int orientation);

// View > IGES export...: the command that starts the recording.
std::string igesCommand(bool viewRays, const std::string& fileName);

// STL import: reflectance and absorption 0 to 1 and together at most 1; the name as a command
// word of at most 19 characters (empty: "Enter an object name") that no object has yet.
struct StlParameters {
    std::string name;
    double reflectance = 1.0, absorption = 0.0, index = 1.0;
};
inline constexpr const char* kStlEmptyNameText = "Enter an object name";
inline constexpr const char* kStlEmptyNameCaption = "Incomplete";
std::optional<std::string> stlParametersRefusal(const StlParameters& p);
std::string stlStartCommand(const StlParameters& p);

// Design > Prism > CornerCube...: half width above 0 up to 1e37, index 0 to 1000, name a command
// word of at most 17 characters.
struct CubeCornerRequest {
    std::string name;
    double halfWidth = 10, index = 1.5;
};
std::optional<std::string> cubeCornerRefusal(const CubeCornerRequest& r);

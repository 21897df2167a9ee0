#include "display/analysis/solid_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "command/general/sun_position.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/raster/bitmap_holder.h"
#include "engine/model/view_transform.h"
#include "parts/trace/shade_ray.h"
#include "parts/trace/trace_progress.h"
#include "platform/safe_file.h"

namespace {

constexpr double kImageDegree = 0.0174532925;

Vec3 sunDirection() {
    const double* v = sunState().vector;
    return {v[0], v[1], v[2]};
}

// The image's TEMP.SOL: written under a temporary name and put in place at the end, so a
// reader never sees half a header.
class SolidFile {
  public:
    bool open(int nx, int ny) {
        if (!file_.open(kSolidFileName, true)) {
            errorText(outputChannel, "Unable to open %s for output.\n", kSolidFileName);
            return false;
        }
        std::fprintf(file_.stream(), "1 %d %d %f\n", nx, ny, sunState().maxIntensity);
        return true;
    }
    bool append(const unsigned char* bytes, int count) {
        if (std::fwrite(bytes, 1, static_cast<std::size_t>(count), file_.stream()) ==
            static_cast<std::size_t>(count))
            return true;
        errorText(outputChannel, "Unable to open %s for output during image write.\n",
                  kSolidFileName);
        return false;
    }
    bool finish() {
        if (file_.commit()) return true;
        errorText(outputChannel, "Unable to open %s for output during image write.\n",
                  kSolidFileName);
        return false;
    }

  private:
    platform::ReplacementFile file_;
};

enum class Shader { Solid, Shaded };

int render(Shader shader, const std::string& name, int nx, int ny, double azimuth,
           double elevation, int show, double distance) {
    if (nx < 1 || ny < 1) return 0;
    // The holder is sized for this image before a byte is written.
    if (!makeImageDib(nx, ny)) {
        errorText(outputChannel, "No room for in memory for grid of this size.\n");
        return 0;
    }
    setSunVector(azimuth, elevation);
    const Vec3 light = sunDirection();
    const Vec3 centre{workbox.center[0], workbox.center[1], workbox.center[2]};
    const Vec3 half{workbox.halfSize[0], workbox.halfSize[1], workbox.halfSize[2]};
    const double a = azimuth * kImageDegree, e = elevation * kImageDegree;
    const Vec3 eye{centre.x + distance * std::cos(e) * std::sin(a),
                   centre.y + distance * std::sin(e),
                   centre.z + distance * std::cos(e) * std::cos(a)};
    eyeDistance = distance;
    setViewTransform(eye, centre);
    // The image plane through the centre, fitted to the workbox with a 4 percent margin.
    double xr[2] = {0, 0}, yr[2] = {0, 0};
    projectBoxExtents(centre, half, xr, yr);
    const double ratio = aspect > 0.0 && std::isfinite(aspect) ? aspect : 1.0;
    const double size = std::max(xr[1] - xr[0], (yr[1] - yr[0]) * ratio) * 1.04;
    const double cx = (xr[0] + xr[1]) / 2.0, cy = (yr[0] + yr[1]) / 2.0;
    const double x0 = cx - size / 2.0, x1 = cx + size / 2.0;
    const double y0 = cy - size / ratio / 2.0, y1 = cy + size / ratio / 2.0;
    if (shader == Shader::Shaded) infoText("xl= %lg %lg yl =%lg %lg\n", x0, x1, y0, y1);

    const bool withFile = !name.empty() && name != "null";
    SolidFile file;
    if (withFile && !file.open(nx, ny)) return 0;

    // The view rotation turns view-space directions back into the model frame.
    const PlacementMatrix& m = viewMatrix;
    const double depth = viewDepth;
    const double dx = (x1 - x0) / nx, dy = -(y1 - y0) / ny;
    std::vector<unsigned char> row(static_cast<std::size_t>(nx));
    const std::size_t bits = imageBitsOffset(imageDib);
    const std::size_t stride = imageStride(nx);
    int result = 1;
    for (int i = 0; i < ny; ++i) {
        const double py = y1 + dy / 2.0 + i * dy;
        for (int j = 0; j < nx; ++j) {
            // Columns run left to right as the wireframe of the same view shows them.
            const double px = x0 + dx / 2.0 + j * dx;
            const Vec3 v{px, py, -depth};
            Vec3 d{v.x * m[0][0] + v.y * m[0][1] + v.z * m[0][2],
                   v.x * m[1][0] + v.y * m[1][1] + v.z * m[1][2],
                   v.x * m[2][0] + v.y * m[2][1] + v.z * m[2][2]};
            normalize3(d);
            double shade = 0.0;
            if (shader == Shader::Solid)
                ShadePixel(eye, d, light, &shade);
            else
                shade = shadeViewRay(eye, d);
            int byte = std::isfinite(shade) ? static_cast<int>(std::clamp(shade, 0.0, 255.0)) : 0;
            if (byte == 0) byte = 255;
            row[static_cast<std::size_t>(j)] = static_cast<unsigned char>(byte);
        }
        std::copy(row.begin(), row.end(),
                  imageDib.begin() +
                      static_cast<std::ptrdiff_t>(bits + stride * static_cast<std::size_t>(ny - 1 - i)));
        bool stop = false;
        if (shader == Shader::Solid) {
            stop = traceProgress(i + 1, ny) != 0;
        } else if (escapePressed()) {
            abortRequest = 1;
            stop = true;
        }
        if (withFile && !file.append(row.data(), nx)) {
            result = 0;
            break;
        }
        if (stop) break;
    }
    if (withFile && !file.finish()) result = 0;
    if (show) solidMode = 1;
    return result;
}

} // namespace

// The same rule as the solid image's ShadePixel, on the direction as given.
double shadeViewRay(const Vec3& eye, const Vec3& direction) {
    return ShadeRay(eye, direction, sunDirection(), nullptr);
}

bool appendImageRow(const std::string& path, const unsigned char* bytes, int count) {
    std::FILE* f = platform::openRegularForAppend(path);
    if (!f) {
        errorText(outputChannel, "Unable to open %s for output during image write.\n",
                  path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes, 1, static_cast<std::size_t>(count), f) ==
                    static_cast<std::size_t>(count);
    return std::fclose(f) == 0 && ok;
}

int renderSolidImage(const std::string& name, int nx, int ny, double azimuth, double elevation,
                     int mode, int show, double distance) {
    (void)mode; // one shading mode
    // The view's Solid tool chooses the solid mode itself once the image is made (with the rays
    // shown it puts the wireframe over the image), so the render leaves the mode alone.
    (void)show;
    return render(Shader::Solid, name, nx, ny, azimuth, elevation, 0, distance);
}

int renderShadedImage(const std::string& name, int nx, int ny, double azimuth, double elevation,
                      int mode, int show, double distance) {
    (void)mode;
    return render(Shader::Shaded, name, nx, ny, azimuth, elevation, show, distance);
}

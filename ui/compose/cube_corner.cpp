#include "ui/compose/cube_corner.h"

#include <cmath>

#include "command/text/number_text.h"
#include "ui/compose/field_text.h"

namespace {

// The pattern with each "%lg" replaced by the next value, written as "%lg" does in the C locale.
std::string format(const char* pattern, double a, double b = 0, double c = 0) {
    const double values[] = {a, b, c};
    std::string out;
    int next = 0;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'l' && p[2] == 'g' && next < 3) {
            out += generalText(values[next++]);
            p += 2;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace

std::vector<std::string> cubeCornerCommands(const std::string& name, double halfWidth,
                                            double index) {
    // The angles are taken as these decimals, so that the facets meet the base where they did.
    const double deg30 = 0.5235987756666667;
    const double deg60 = 1.0471975513333334;
    const double a = halfWidth;
    const double r = a / std::cos(deg30);
    const double h = a * std::sqrt(2.0) * 0.5;
    const double c = a * std::cos(deg30);
    const double s = a * std::sin(deg30);
    std::vector<std::string> out;
    out.push_back("polynet/start " + name + format(" index=%lg refl=0.0", index));
    out.insert(out.end(), {"polynet/poly", "polynet/chain"});
    for (int k = 0; k < 6; ++k) {
        const double t = -k * deg60;
        out.push_back(format("polynet/point %lg %lg 0.0", r * std::cos(t), r * std::sin(t)));
    }
    out.push_back("polynet/close");
    auto facet = [&out](std::initializer_list<std::string> steps) {
        out.insert(out.end(), {"polynet/poly", "polynet/chain"});
        out.insert(out.end(), steps);
        out.push_back("polynet/close");
    };
    facet({"pol/ver 6 1 1", "pol/ver 5 1 1", format("pol/point 0.0 %lg %lg ", a, h)});
    facet({"pol/ver 2 1 1", "pol/ver 1 1 1", format("pol/point %lg %lg %lg ", c, -s, h)});
    facet({"pol/ver 4 1 1", "pol/ver 3 1 1", format("pol/point %lg %lg %lg ", -c, -s, h)});
    facet({format("poly/point 0.0 0.0 %lg", a * std::sqrt(2.0)), "pol/ver 3 1 2", "pol/ver 5 1 1",
           "pol/ver 4 1 1", "pol/ver 3 1 4"});
    facet({"pol/ver 1 1 5", "pol/ver 3 1 2", "pol/ver 6 1 1", "pol/ver 1 1 1", "pol/ver 3 1 3"});
    facet({"pol/ver 1 1 5", "pol/ver 3 1 3", "pol/ver 2 1 1", "pol/ver 3 1 1", "pol/ver 3 1 4"});
    out.push_back("polynet/fin");
    out.push_back("polynet/normal " + name);
    return out;
}

int issueCubeCorner(const std::vector<std::string>& lines,
                    const std::function<bool(const std::string&)>& run) {
    int count = 0;
    for (const auto& line : lines) {
        ++count;
        if (run(line)) break;
    }
    return count;
}

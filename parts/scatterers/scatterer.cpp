#include "parts/scatterers/scatterer.h"

#include <cstring>

#include "engine/optics/scatter_laws.h"
#include "command/text/number_text.h"

namespace {

int sameText(const char* text, const char* keyword) {
    return text && std::strcmp(text, keyword) == 0 ? 1 : 0;
}

} // namespace

int CScatterer::IsKind(const char*) const {
    return 0;
}

std::string CScatterer::WriteCommand(const std::string& objectName, int surface) const {
    return "modify/scatterer/none " + objectName + formatCText(".%d\n", surface);
}

int CScatterer::Scatter(Vec3&, double, Vec3&) {
    return 0;
}

int CLambertianScatterer::IsKind(const char* text) const {
    return sameText(text, "lambertian");
}

std::string CLambertianScatterer::WriteCommand(const std::string& objectName, int surface) const {
    return "modify/scatterer/lambertian " + objectName + formatCText(".%d", surface) +
           numberWords({fraction}) + "\n";
}

int CLambertianScatterer::Scatter(Vec3& direction, double factor, Vec3& normal) {
    const Vec3 source = direction;
    return scatterLambertian(source, fraction, direction, factor, normal);
}

int CGaussianScatterer::IsKind(const char* text) const {
    return sameText(text, "gaussian");
}

std::string CGaussianScatterer::WriteCommand(const std::string& objectName, int surface) const {
    return "modify/scatterer/gaussian " + objectName +
           formatCText(".%d", surface) + numberWords({fraction, sigma}) + "\n";
}

int CGaussianScatterer::Scatter(Vec3& direction, double factor, Vec3& normal) {
    const Vec3 source = direction;
    return scatterGaussian(source, sigma, fraction, direction, factor, normal);
}

int CPowerLawScatterer::IsKind(const char* text) const {
    return sameText(text, "powerlaw");
}

std::string CPowerLawScatterer::WriteCommand(const std::string& objectName, int surface) const {
    return "modify/scatterer/powerlaw " + objectName +
           formatCText(".%d", surface) + numberWords({fraction, power}) + "\n";
}

int CPowerLawScatterer::Scatter(Vec3& direction, double factor, Vec3& normal) {
    const Vec3 source = direction;
    return scatterPowerLaw(source, power, fraction, direction, factor, normal);
}

int CXyExponentialScatterer::IsKind(const char* text) const {
    return sameText(text, "xy_exponential");
}

std::string CXyExponentialScatterer::WriteCommand(const std::string& objectName,
                                                  int surface) const {
    return "modify/scatterer/xy_exponential " + objectName +
           formatCText(".%d", surface) + numberWords({fraction, xsigma, ysigma}) + "\n";
}

int CXyExponentialScatterer::Scatter(Vec3& direction, double factor, Vec3& normal) {
    const Vec3 source = direction;
    return scatterXyExponential(source, xsigma, ysigma, fraction, direction, factor, normal);
}

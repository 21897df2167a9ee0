// Scatter laws of a surface. A surface handle owns at most one scatterer; the tracer asks it to
// scatter each reflected and transmitted ray, and the part writer asks it for the command that
// makes it again. The base class is the law "none". The sampling is done by the scatter laws of
// the optics layer (engine/optics/scatter_laws.h).
#pragma once

#include <string>

#include "engine/math/vector_math.h"

class CScatterer {
  public:
    CScatterer() = default;
    virtual ~CScatterer() = default;
    CScatterer(const CScatterer&) = delete;
    CScatterer& operator=(const CScatterer&) = delete;

    // 1 when `text` is exactly this law's keyword. The base class says 0 to every text,
    // "none" included.
    virtual int IsKind(const char* text) const;
    // The command that makes this scatterer on surface `surface` of object `objectName`:
    // "modify/scatterer/<keyword> <objectName>.<surface> <fields>\n".
    virtual std::string WriteCommand(const std::string& objectName, int surface) const;
    // Replaces `direction` (a unit specular direction) by a scattered one and returns the law's
    // result: 0 when no scattered direction was made (direction unchanged). `factor` divides the
    // offsets (1.0 for a reflected ray, the far-side index for a transmitted one); `normal` is
    // the normal on the outgoing side. The base class returns 0.
    virtual int Scatter(Vec3& direction, double factor, Vec3& normal);
    // The law's keyword: "none", "lambertian", "gaussian", "powerlaw" or "xy_exponential".
    virtual const char* Keyword() const { return "none"; }
};

class CLambertianScatterer : public CScatterer {
  public:
    explicit CLambertianScatterer(double fraction_) : fraction(fraction_) {}
    int IsKind(const char* text) const override;
    std::string WriteCommand(const std::string& objectName, int surface) const override;
    int Scatter(Vec3& direction, double factor, Vec3& normal) override;
    const char* Keyword() const override { return "lambertian"; }
    double fraction;
};

class CGaussianScatterer : public CScatterer {
  public:
    CGaussianScatterer(double fraction_, double sigma_) : fraction(fraction_), sigma(sigma_) {}
    int IsKind(const char* text) const override;
    std::string WriteCommand(const std::string& objectName, int surface) const override;
    int Scatter(Vec3& direction, double factor, Vec3& normal) override;
    const char* Keyword() const override { return "gaussian"; }
    double fraction;
    double sigma;
};

class CPowerLawScatterer : public CScatterer {
  public:
    CPowerLawScatterer(double fraction_, double power_) : fraction(fraction_), power(power_) {}
    int IsKind(const char* text) const override;
    std::string WriteCommand(const std::string& objectName, int surface) const override;
    int Scatter(Vec3& direction, double factor, Vec3& normal) override;
    const char* Keyword() const override { return "powerlaw"; }
    double fraction;
    double power;
};

class CXyExponentialScatterer : public CScatterer {
  public:
    CXyExponentialScatterer(double fraction_, double xsigma_, double ysigma_)
        : fraction(fraction_), xsigma(xsigma_), ysigma(ysigma_) {}
    int IsKind(const char* text) const override;
    std::string WriteCommand(const std::string& objectName, int surface) const override;
    int Scatter(Vec3& direction, double factor, Vec3& normal) override;
    const char* Keyword() const override { return "xy_exponential"; }
    double fraction;
    double xsigma;
    double ysigma;
};

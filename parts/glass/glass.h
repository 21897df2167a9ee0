// One glass of a glass catalog: its catalog data and its refractive index at any wavelength by
// the dispersion formula of the catalog.
//
// A catalog is a text file, one record per line; the first two characters are the record's tag:
//   NM name formula code nd vd   starts a glass (formula 1 to 5, see Index)
//   CD A0 A1 A2 A3 A4 A5         dispersion coefficients
//   TD t0 .. t5                  thermal data (kept only)
//   LD min max                   valid wavelength range, micrometres
//   ED e0 e1 e2 e3               extra data (kept only)
//   IT a b c                     one transmittance row (the first 30 are kept)
// Any other tag is a comment. A field that a malformed line cannot give keeps its value (0 for a
// new glass).
#pragma once

#include <string>

// The three numbers of one IT line.
class CGlassTransmittance {
  public:
    virtual ~CGlassTransmittance() = default;
    double values[3] = {};
};

inline constexpr int kGlassTransmittanceRows = 30;
// What Index returns when it has no index to give: an unknown formula, a division by zero or a
// value that is not finite. Callers treat anything below -98 as a failure.
inline constexpr double kGlassIndexError = -100.0;

class CGlass {
  public:
    virtual ~CGlass() = default;

    // Parses the rest of a line (the text after its two-character tag) by the tag. Returns 1 for
    // a tag of the catalog format, 0 for any other (the glass is unchanged).
    int ParseLine(const char* tag, const char* rest);

    // lambda brought into the valid range: the maximum when above it, the minimum when below.
    // A glass whose catalog gave no range returns lambda unchanged.
    double ClampWavelength(double lambda) const;

    // The refractive index at lambda micrometres by the formula type (L = lambda^2):
    //   1  n = sqrt|A0 + A1 L + A2/L + A3/L^2 + A4/L^3 + A5/L^4|; a sum of exactly 0 gives nd
    //      (1.0 when nd is 0 too)
    //   2  n = sqrt|1 + sum of K L / (L - P) over (A0,A1), (A2,A3), (A4,A5)|; a pair with P == L
    //      adds 1000.0
    //   3  H = 1/(L - 0.028) (100.0 at L == 0.028); n = A0 + A1 H + A2 H^2 + A3 L + A4 L^2 + A5 L^3
    //   4  n = sqrt|1 + A0 + A1/(1 - A2^2/L) + A3/(L - A4^2)|
    //   5  n = A0 + A1/lambda + A2/lambda^3.5
    // kGlassIndexError for any other type, and where a formula would divide by zero or its value
    // is not finite. The caller clamps lambda first.
    double Index(double lambda) const;

    std::string name;
    // Two descriptive texts of the catalog format; the reader leaves them empty.
    std::string description;
    std::string status;
    double dispersion[6] = {};    // A0..A5 (CD)
    double thermal[6] = {};       // TD
    double range[2] = {};         // minimum, maximum wavelength (LD)
    bool hasRange = false;        // an LD line gave both numbers
    double extra[4] = {};         // ED
    int formulaType = 0;          // NM
    long code = 0;                // second number of NM
    double nd = 0;                // catalog index (NM)
    double vd = 0;                // Abbe number (NM)
    CGlassTransmittance transmittance[kGlassTransmittanceRows];
    int transmittanceCount = 0;
};

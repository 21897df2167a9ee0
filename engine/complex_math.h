// Complex arithmetic on (real, imaginary) pairs for the metal reflectance model.
#pragma once

#include <cmath>

struct ComplexPair {
    double re = 0.0;
    double im = 0.0;
};

// out = a b; out may be a or b.
inline void complexMultiply(const ComplexPair& a, const ComplexPair& b, ComplexPair& out) {
    const ComplexPair r{a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    out = r;
}

// The principal square root: modulus sqrt(|z|) at half the argument atan2(im, re), so the real
// part is never negative. out may be z.
inline void complexSqrt(const ComplexPair& z, ComplexPair& out) {
    const double modulus = std::sqrt(std::hypot(z.re, z.im));
    const double half = 0.5 * std::atan2(z.im, z.re);
    out = {modulus * std::cos(half), modulus * std::sin(half)};
}

inline double complexNormSquared(const ComplexPair& z) {
    return z.re * z.re + z.im * z.im;
}

// Complex arithmetic on (real, imaginary) pairs for the metal reflectance model and the roots of
// polynomials.
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

// out = p / q by Smith's method (the larger part of q as the pivot, so that no intermediate
// overflows). A zero divisor gives (0, 0): there is no quotient to return. out may be p or q.
inline void complexDivide(ComplexPair& out, const ComplexPair& p, const ComplexPair& q) {
    if (q.re == 0 && q.im == 0) {
        out = {};
        return;
    }
    ComplexPair r;
    if (std::fabs(q.re) >= std::fabs(q.im)) {
        const double ratio = q.im / q.re, den = q.re + ratio * q.im;
        r = {(p.re + ratio * p.im) / den, (p.im - ratio * p.re) / den};
    } else {
        const double ratio = q.re / q.im, den = q.im + ratio * q.re;
        r = {(p.re * ratio + p.im) / den, (p.im * ratio - p.re) / den};
    }
    out = r;
}

// out = z^w = exp(w log z) on the principal logarithm (ln|z|, atan2(im, re)); 0 for z = 0.
inline void complexPower(ComplexPair& out, const ComplexPair& z, const ComplexPair& w) {
    if (z.re == 0 && z.im == 0) {
        out = {};
        return;
    }
    const double logModulus = std::log(std::hypot(z.re, z.im));
    const double argument = std::atan2(z.im, z.re);
    const double re = w.re * logModulus - w.im * argument;
    const double im = w.re * argument + w.im * logModulus;
    const double scale = std::exp(re);
    out = {scale * std::cos(im), scale * std::sin(im)};
}

// out = the principal square root of z (real part never negative), without the half-angle
// trigonometry: the root of the larger part is taken first, so nothing cancels. On the negative
// real axis the imaginary part follows the sign of z's imaginary part, so the roots of the two
// sides of the cut are conjugates. (0, 0) for z = 0. out may be z.
inline void complexRoot(ComplexPair& out, const ComplexPair& z) {
    if (z.re == 0 && z.im == 0) {
        out = {};
        return;
    }
    const double modulus = std::hypot(z.re, z.im);
    if (z.re > 0) {
        const double x = std::sqrt((modulus + z.re) / 2);
        out = {x, z.im / (2 * x)};
    } else {
        const double y = std::sqrt((modulus - z.re) / 2);
        out = {std::fabs(z.im) / (2 * y), std::signbit(z.im) ? -y : y};
    }
}

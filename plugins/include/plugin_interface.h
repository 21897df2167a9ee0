/*
 * MERIDYN plug-in interface.
 *
 * A plug-in is a shared library (".so") that MERIDYN loads by file name at run time. It makes
 * the rays of a custom light source, or the refractive index of a gradient-index medium, and
 * names its user parameters for the user interface. This header is the whole contract: plain C,
 * usable from C and C++. Include it, define the entries your plug-in needs with
 * MERIDYN_PLUGIN_EXPORT, and build with hidden default visibility so that nothing else leaks
 * out of the library, for example:
 *
 *     cc -std=c11 -O2 -fPIC -shared -fvisibility=hidden -I<meridyn>/plugins/include \
 *        -o myplugin.so myplugin.c -lm
 *
 * Entries (each takes one pointer and returns a 32-bit int):
 *
 *   int UserParamNames(char *buffer)
 *     Optional, in both kinds. On entry buffer[0] holds a slot number 0..8 as a small unsigned
 *     integer (not a digit). Store a terminating zero in buffer[0]; then, for a slot of 8 or
 *     less, copy that slot's parameter name (at most 29 characters and its terminating zero).
 *     A slot without a parameter, and any slot above 8, leaves the empty name. Always return 1.
 *     The caller passes a zero-filled buffer of MERIDYN_PARAM_BUFFER_SIZE bytes and cuts the
 *     answer after 29 characters, so a longer name is truncated, never overrun.
 *     Ray sources: slot k names parameter p k (record index SRC_PARAM0 + k).
 *     Gradient-index media: slot 0 names the integration step of the material command (the
 *     system's own plug-ins call it "maxdist"); slot k (1..8) names p k (GRIN_PARAM1 + k - 1).
 *
 *   int UserSourceRay(SourceCallRecord *record)            -- ray sources
 *     Check-only call (record->v[SRC_MODE] == 1.0): validate the parameters and seed your
 *     random generator; return 0 when the parameters are acceptable, -1 otherwise. No ray.
 *     Ray call (any other mode): write the start point (SRC_X..SRC_Z) and the unit direction
 *     (SRC_DIR_X..SRC_DIR_Z), scale the weight SRC_WEIGHT, return 0. Return -1 when no ray
 *     could be made: the caller then skips that ray (it traces nothing for it).
 *
 *   int UserGrinDefinition(GrinCallRecord *record)          -- gradient-index media
 *     Write the index n (GRIN_INDEX) and n times the gradient of n per model unit
 *     (GRIN_GRAD_X..GRIN_GRAD_Z, that is half the gradient of n squared) at the point and
 *     wavelength given; return 0. Return -1 when the point or wavelength lies outside the
 *     profile's valid range: the caller then has no index there, whatever GRIN_INDEX holds.
 *
 * Random numbers: a plug-in must not use the C library's rand/srand, whose one state is shared
 * with the program and every other library it loads; keep a generator of your own. Seed it on
 * the check-only call from the clock, unless the environment variable MERIDYN_PLUGIN_SEED holds
 * an unsigned integer: then use that number, so that runs (and tests) can be repeated. The
 * program never sets this variable itself.
 *
 * A plug-in keeps no state between calls except its random generator. All calls come from one
 * thread, one at a time. A loaded plug-in is never unloaded while the program runs.
 */
#ifndef MERIDYN_PLUGIN_INTERFACE_H
#define MERIDYN_PLUGIN_INTERFACE_H

#include <stddef.h>

#ifdef __cplusplus
#define MERIDYN_PLUGIN_EXTERN_C extern "C"
#else
#define MERIDYN_PLUGIN_EXTERN_C
#endif

#if defined(__GNUC__) || defined(__clang__)
#define MERIDYN_PLUGIN_EXPORT MERIDYN_PLUGIN_EXTERN_C __attribute__((visibility("default")))
#else
#define MERIDYN_PLUGIN_EXPORT MERIDYN_PLUGIN_EXTERN_C
#endif

/* Size of the buffer passed to UserParamNames, and the longest name that the caller keeps. */
#define MERIDYN_PARAM_BUFFER_SIZE 256
#define MERIDYN_PARAM_NAME_LENGTH 29
#define MERIDYN_PARAM_SLOTS 9

/*
 * The record of a ray-source call: 23 IEEE 754 doubles, little-endian, one after the other
 * (byte offset = 8 x index). "in" fields are written by the program before the call, "out"
 * fields by the plug-in.
 */
enum SourceRecordIndex {
    SRC_RESERVED = 0,   /* not written by the program, not read by plug-ins */
    SRC_WAVELENGTH = 1, /* in: wavelength of the slot being traced, micrometres */
    SRC_WEIGHT = 2,     /* in-out: the slot's weight; the plug-in multiplies it by its weight */
    SRC_WEIGHT_IN = 3,  /* in: copy of the weight as passed in */
    SRC_X = 4,          /* out: start point x, y, z in the source's local frame (zeroed before) */
    SRC_Y = 5,
    SRC_Z = 6,
    SRC_DIR_X = 7, /* out: unit direction x, y, z (preset to 0, 0, 1 before) */
    SRC_DIR_Y = 8,
    SRC_DIR_Z = 9,
    SRC_CONE_X = 10,     /* in: full cone angle about the x axis, degrees */
    SRC_CONE_Y = 11,     /* in: full cone angle about the y axis, degrees */
    SRC_CONE_SHAPE = 12, /* in: 0.0 elliptical cone, 1.0 rectangular cone */
    SRC_MODE = 13,       /* in: 1.0 check-only call, 0.0 ray call */
    SRC_PARAM0 = 14,     /* in: user parameters p0..p8 at SRC_PARAM0 + k */
    SRC_FIELDS = 23
};

typedef struct SourceCallRecord {
    double v[SRC_FIELDS];
} SourceCallRecord;

/*
 * The record of a gradient-index call: 26 doubles, laid out like the source record.
 */
enum GrinRecordIndex {
    GRIN_TAG = 0, /* in: the constant GRIN_TAG_VALUE; not read by plug-ins */
    GRIN_X = 1,   /* in: point x, y, z in the part's local frame, model units */
    GRIN_Y = 2,
    GRIN_Z = 3,
    GRIN_WAVELENGTH = 4,  /* in: wavelength, micrometres */
    GRIN_MM_PER_UNIT = 5, /* in: millimetres per model unit: 1, 10, 25.4 or 1000 */
    GRIN_INDEX = 6,       /* out: refractive index n */
    GRIN_GRAD_X = 7,      /* out: n dn/dx, n dn/dy, n dn/dz per model unit */
    GRIN_GRAD_Y = 8,
    GRIN_GRAD_Z = 9,
    GRIN_PARAM1 = 10, /* in: user parameters p1..p16 at GRIN_PARAM1 + k - 1 */
    GRIN_FIELDS = 26
};

#define GRIN_TAG_VALUE 29.0

typedef struct GrinCallRecord {
    double v[GRIN_FIELDS];
} GrinCallRecord;

/* The layout is fixed: both sides of the call must agree byte for byte. */
#if defined(__cplusplus)
#define MERIDYN_LAYOUT_CHECK(cond, msg) static_assert(cond, msg)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define MERIDYN_LAYOUT_CHECK(cond, msg) _Static_assert(cond, msg)
#else
#define MERIDYN_LAYOUT_CHECK_JOIN2(a, b) a##b
#define MERIDYN_LAYOUT_CHECK_JOIN(a, b) MERIDYN_LAYOUT_CHECK_JOIN2(a, b)
#define MERIDYN_LAYOUT_CHECK(cond, msg)                                                            \
    typedef char MERIDYN_LAYOUT_CHECK_JOIN(meridyn_layout_check_, __LINE__)[(cond) ? 1 : -1]
#endif

MERIDYN_LAYOUT_CHECK(sizeof(double) == 8, "doubles must be 8 bytes");
MERIDYN_LAYOUT_CHECK(sizeof(SourceCallRecord) == 184, "SourceCallRecord must be 184 bytes");
MERIDYN_LAYOUT_CHECK(sizeof(GrinCallRecord) == 208, "GrinCallRecord must be 208 bytes");
MERIDYN_LAYOUT_CHECK(offsetof(SourceCallRecord, v) == 0, "SourceCallRecord starts at index 0");
MERIDYN_LAYOUT_CHECK(offsetof(GrinCallRecord, v) == 0, "GrinCallRecord starts at index 0");
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__)
MERIDYN_LAYOUT_CHECK(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are little-endian");
#endif
#if defined(__DBL_MANT_DIG__)
MERIDYN_LAYOUT_CHECK(__DBL_MANT_DIG__ == 53, "records hold IEEE 754 doubles");
#endif

/* The entries. A plug-in defines the ones of its kind; the program binds them by name. */
MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer);
MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* record);
MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* record);

#endif /* MERIDYN_PLUGIN_INTERFACE_H */

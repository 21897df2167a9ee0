// One-ray traces over objects built in the object table: the trace state reset around each test,
// a light source to start from, and the records of rays.dat and spots.dat read back.
#pragma once

#include <cmath>
#include <vector>

#include "engine/trace/one_ray_trace.h"
#include "engine/optics/optics.h"
#include "tests/engine/surface_fixture.h"

class TraceTest : public SurfaceTest {
  protected:
    // A light source at `at` (its one surface is never hit).
    ObjectRecord* makeSource(Vec3 at, double betaDegrees = 0) {
        ObjectRecord* o = makeObject(kTypeLightSource);
        o->firstSurface->shapeCode = kShapeNone;
        place(o, at, betaDegrees);
        return o;
    }

    std::vector<RayPointRecord> rays() {
        const std::string bytes = testsupport::readFile(home("rays.dat"));
        std::vector<RayPointRecord> out;
        for (std::size_t i = 0; i + kRayRecordBytes <= bytes.size(); i += kRayRecordBytes)
            out.push_back(
                decodeRayRecord(reinterpret_cast<const unsigned char*>(bytes.data() + i)));
        return out;
    }
    std::vector<SpotRecord> spots() {
        const std::string bytes = testsupport::readFile(home("spots.dat"));
        std::vector<SpotRecord> out;
        for (std::size_t i = 0; i + kSpotRecordBytes <= bytes.size(); i += kSpotRecordBytes)
            out.push_back(decodeSpotRecord(reinterpret_cast<const unsigned char*>(bytes.data() + i),
                                           kSpotRecordBytes));
        return out;
    }
};

#define EXPECT_VEC_NEAR(a, b, tol)                                                                 \
    do {                                                                                           \
        const Vec3 va_ = (a), vb_ = (b);                                                           \
        EXPECT_NEAR(va_.x, vb_.x, tol);                                                            \
        EXPECT_NEAR(va_.y, vb_.y, tol);                                                            \
        EXPECT_NEAR(va_.z, vb_.z, tol);                                                            \
    } while (0)

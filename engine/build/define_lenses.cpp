// The refracting objects: rods, spherical lenses, cylindrical lenses and cemented doublets. Their
// surfaces carry the glass index as the medium behind them; the side flags make a ray along +z
// enter the glass at the front and leave it at the back.
#include <algorithm>
#include <cmath>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/build/define_support.h"
#include "engine/surfaces/quadrics.h"

namespace {

const char* const kRodValues[] = {"length", "diameter", "n", " "};
const char* const kLensValues[] = {"r1", "r2", "thickness", "diameter", "n", " "};
const char* const kCylindricalValues[] = {"r1", "r2", "xhw", "yhw", "thickness", "n", " "};
const char* const kDoubletValues[] = {"r1", "r2", "r3", "t1", "t2", "diameter", "n1", "n2", " "};
// The doublet's names without n1, without n2, and without both (a material gives the index).
const char* const kDoubletValuesNoN1[] = {"r1", "r2", "r3", "t1", "t2", "diameter", "n2", " "};
const char* const kDoubletValuesNoN2[] = {"r1", "r2", "r3", "t1", "t2", "diameter", "n1", " "};
const char* const kDoubletValuesNoIndex[] = {"r1", "r2", "r3", "t1", "t2", "diameter", " "};

const char* const kLensKinds[] = {"spherical", "doublet", "cylindrical", " "};
const char* const kPoweredAxes[] = {"x_powered", "y_powered", " "};
const char* const kMater1[] = {"mater1", " "};
const char* const kMater2[] = {"mater2", " "};

constexpr double kFlatRadius = 1e31; // a flat face of a cylindrical lens, as a radius

void setMedium(SurfaceRecord* s, double n) {
    s->index = n;
    s->absorbtivity = 0;
    s->luminence = 0;
    s->inside = nullptr;
}

// The three surfaces of a spherical lens or rod (faces r1 and r2, radius 0 flat, and the edge),
// centred on the object origin, or on the first vertex with the lens-vertex setting.
void sphericalLensGeometry(ObjectRecord* object, double r1, double r2, double thickness,
                           double diameter, double n, bool vertexOrigin) {
    const double h = thickness / 2;
    const double R = diameter / 2;
    SurfaceRecord* s1 = object->firstSurface;
    SurfaceRecord* s2 = s1->next;
    SurfaceRecord* s3 = s2->next;
    for (SurfaceRecord* s = s1; s; s = s->next) {
        setMedium(s, n);
        s->extent[0] = -R;
        s->extent[1] = R;
        s->extent[2] = -R;
        s->extent[3] = R;
    }

    const double sag1 = sag(r1, R);
    s1->side = r1 > 0 ? -1 : 1;
    if (r1 != 0) {
        sphere(s1->quadric, {0, 0, r1}, std::fabs(r1));
        moveSurface("local", s1, 0, 0, -h);
        s1->extent[4] = std::min(0.0, sag1);
        s1->extent[5] = std::max(0.0, sag1);
    } else {
        moveSurface("local", s1, 0, 0, -h);
        plane(s1->quadric, {0, 0, 1});
        s1->extent[4] = -thickness;
        s1->extent[5] = thickness;
    }

    const double sag2 = sag(r2, R);
    s2->side = r2 > 0 ? 1 : -1;
    if (r2 != 0) {
        sphere(s2->quadric, {0, 0, r2}, std::fabs(r2));
        moveSurface("local", s2, 0, 0, h);
        s2->extent[4] = r2 > 0 ? 0 : -R;
        s2->extent[5] = r2 > 0 ? R : 0;
    } else {
        moveSurface("local", s2, 0, 0, h);
        plane(s2->quadric, {0, 0, 1});
        s2->extent[4] = -h;
        s2->extent[5] = h;
    }

    cylinderAlongZ(s3->quadric, R, R);
    s3->side = -1;
    s3->extent[4] = sag1 - h;
    s3->extent[5] = sag2 + h;

    // The sphere must hold every vertex and rim (a deep face reaches past its vertex).
    const double K = std::max({h, std::fabs(sag1 - h), std::fabs(sag2 + h)});
    object->referencePoint = {0, 0, 0};
    object->boundingRadius = std::sqrt(K * K + R * R);

    if (vertexOrigin) {
        for (SurfaceRecord* s = s1; s; s = s->next)
            moveSurface("local", s, 0, 0, h);
        object->referencePoint.z = h;
    }
}

// The checks a rod and a spherical lens share, in this order: the diameter, the index, then the
// length along z, refused with `lengthMessage`.
bool checkSingleElement(double diameter, double n, double length, const char* lengthMessage) {
    if (!(diameter > 0)) {
        errorText(outputChannel, "Diameter must be positive.\n");
        return false;
    }
    if (n < 1) {
        errorText(outputChannel, "N must be greater than unity.\n");
        return false;
    }
    if (!(length > 0)) {
        errorText(outputChannel, "%s", lengthMessage);
        return false;
    }
    return true;
}

// Makes a rod or spherical lens of `typeCode`: faces r1 and r2 (radius 0 flat), then the edge.
bool makeSingleElement(DefineContext& context, int typeCode, double r1, double r2, double thickness,
                       double diameter, double n, bool vertexOrigin) {
    ObjectRecord* object = context.object;
    if (!appendSurfaces(object, 3, "Out of memory space for surfaces.\n")) return false;
    object->typeCode = typeCode;
    object->wireframeKind = kWireSingleLens;
    SurfaceRecord* s1 = object->firstSurface;
    s1->shapeCode = r1 != 0 ? kShapeSphere : kShapeFlat;
    s1->next->shapeCode = r2 != 0 ? kShapeSphere : kShapeFlat;
    s1->next->next->shapeCode = kShapeCylinder;
    sphericalLensGeometry(object, r1, r2, thickness, diameter, n, vertexOrigin);
    return true;
}

bool buildSphericalLens(DefineContext& context) {
    readValues(context, kLensValues, 5);
    const double r1 = useDefault(0, 100);
    const double r2 = useDefault(1, -100);
    const double thickness = useDefault(2, 20);
    const double diameter = useDefault(3, 70);
    const double n = useDefault(4, 1.33);
    if (!checkSingleElement(diameter, n, thickness, "Thickness must be greater than zero.\n"))
        return false;
    for (double r : {r1, r2}) {
        if (r != 0 && std::fabs(2 * r) < diameter) {
            errorText(outputChannel, "Surface radii must be greater than diameter / 2.0\n");
            return false;
        }
    }
    return makeSingleElement(context, kTypeLens, r1, r2, thickness, diameter, n,
                             sphLensVertex != 0);
}

// A face of the cylindrical lens as first made: flat, absorbing, elliptic outline.
void cylindricalFace(SurfaceRecord* s, const Vec3& planeNormal) {
    s->edgeType = 1;
    s->absorbtion = 1.0;
    s->shapeCode = kShapeFlat;
    plane(s->quadric, planeNormal);
}

bool buildCylindricalLens(DefineContext& context) {
    readValues(context, kCylindricalValues, 6);
    const double r1 = useDefault(0, 100);
    const double r2 = useDefault(1, -100);
    const double xhw = useDefault(2, 40);
    const double yhw = useDefault(3, 20);
    const double thickness = useDefault(4, 20);
    const double n = useDefault(5, 1.33);
    const bool xPowered = chooseOption(kPoweredAxes, "cylindrical lens axis", 1) == 0;
    const double hw = xPowered ? xhw : yhw;
    const double radius1 = r1 != 0 ? r1 : kFlatRadius;
    const double radius2 = r2 != 0 ? r2 : kFlatRadius;
    if (std::fabs(radius1) < hw || std::fabs(radius2) < hw) {
        errorText(outputChannel, "Radii of curvature must be larger than edge half width.\n");
        return false;
    }
    const double s1 = sag(radius1, hw);
    const double s2 = sag(radius2, hw);
    const double zlo = std::min(0.0, s1);
    const double zhi = thickness + std::max(0.0, s2);
    if (zhi - zlo < thickness) {
        errorText(outputChannel, "Radii too short for this thickness.\n");
        return false;
    }
    if (thickness - s1 + s2 < 0) {
        errorText(outputChannel, "Radii too small for this thickness\n");
        return false;
    }
    ObjectRecord* object = context.object;
    if (!appendSurfaces(object, 6, "No more room for surfaces.\n")) return false;
    object->typeCode = kTypeCylindricLens;
    object->wireframeKind = kWireCylindricLens;

    SurfaceRecord* face[6];
    for (int i = 0; i < 6; ++i)
        face[i] = surfaceAt(object, i + 1);
    cylindricalFace(face[0], {0, 0, 1});
    cylindricalFace(face[1], {0, 0, 1});
    cylindricalFace(face[2], {0, 1, 0});
    cylindricalFace(face[3], {0, 1, 0});
    cylindricalFace(face[4], {1, 0, 0});
    cylindricalFace(face[5], {1, 0, 0});

    // The powered faces: a cylinder across the powered axis with its vertex on the z axis.
    auto curvedFace = [&](SurfaceRecord* s, double r, double vertexZ) {
        if (xPowered)
            cylinderAlongY(s->quadric, std::fabs(r), std::fabs(r));
        else
            cylinderAlongX(s->quadric, std::fabs(r), std::fabs(r));
        shiftQuadric(s, {0, 0, r + vertexZ});
    };
    for (int i = 0; i < 2; ++i) {
        SurfaceRecord* s = face[i];
        s->shapeCode = kShapeCylinder;
        s->absorbtion = 0;
        setMedium(s, n);
        setExtent(s, -xhw, xhw, -yhw, yhw, -1, 1);
    }
    if (r1 != 0) {
        curvedFace(face[0], r1, 0);
        face[0]->extent[4] = std::min(0.0, s1);
        face[0]->extent[5] = std::max(0.0, s1);
        face[0]->side = r1 > 0 ? -1 : 1;
    } else {
        moveSurface("local", face[0], 0, 0, zlo);
        face[0]->side = 1;
    }
    if (r2 != 0) {
        curvedFace(face[1], r2, thickness);
        face[1]->extent[4] = thickness + std::min(0.0, s2);
        face[1]->extent[5] = thickness + std::max(0.0, s2);
        face[1]->side = r2 > 0 ? 1 : -1;
    } else {
        moveSurface("local", face[1], 0, 0, zhi);
        face[1]->side = -1;
    }

    // The side walls: y = +yhw and -yhw, then x = -xhw and +xhw, each facing out of the glass.
    const double wallOffsets[4][2] = {{0, yhw}, {0, -yhw}, {-xhw, 0}, {xhw, 0}};
    const int wallSides[4] = {-1, 1, 1, -1};
    for (int i = 0; i < 4; ++i) {
        SurfaceRecord* s = face[i + 2];
        setMedium(s, n);
        s->side = wallSides[i];
        moveSurface("local", s, wallOffsets[i][0], wallOffsets[i][1], 0);
        if (i < 2)
            setExtent(s, -xhw, xhw, -1, 1, zlo, zhi);
        else
            setExtent(s, -1, 1, -yhw, yhw, zlo, zhi);
    }

    const double halfSpan = (zhi - zlo) / 2;
    object->referencePoint = {0, 0, (zlo + zhi) / 2};
    object->boundingRadius = std::sqrt(halfSpan * halfSpan + yhw * yhw + xhw * xhw);
    return true;
}

bool buildDoublet(DefineContext& context) {
    int found1 = 0, found2 = 0, several = 0, index1 = 0, index2 = 0;
    getModifier(kMater1, &found1, &several, &index1, "doublet material");
    several = 0;
    getModifier(kMater2, &found2, &several, &index2, "doublet material");
    KeywordTable names = found1 && found2 ? kDoubletValuesNoIndex
                         : found1         ? kDoubletValuesNoN1
                         : found2         ? kDoubletValuesNoN2
                                          : kDoubletValues;
    const int count = 8 - found1 - found2;
    readValues(context, names, count);
    const double r1 = useDefault(0, 100);
    const double r2 = useDefault(1, -100);
    const double r3 = useDefault(2, 100);
    const double t1 = useDefault(3, 10);
    const double t2 = useDefault(4, 10);
    const double diameter = useDefault(5, 50);
    double n1 = 1.7, n2 = 1.4;
    int next = 6;
    if (!found1) n1 = useDefault(next++, 1.7);
    if (!found2) n2 = useDefault(next++, 1.4);
    if (found1 && lookupMaterialIndex(quotedStrings[index1], n1) != 0) return false;
    if (found2 && lookupMaterialIndex(quotedStrings[index2], n2) != 0) return false;

    if (!(diameter > 0)) {
        errorText(outputChannel, " Lens diameter must be greater than zero.\n");
        return false;
    }
    if (!(t1 > 0 && t2 > 0)) {
        errorText(outputChannel, " Lens thickness must be greater than zero.\n");
        return false;
    }
    if ((!found1 && n1 < 1) || (!found2 && n2 < 1)) {
        errorText(outputChannel, " Index of refraction must not be less than one.\n");
        return false;
    }
    const double R = diameter / 2;
    for (double r : {r1, r2, r3}) {
        if (r != 0 && std::fabs(r) < R) {
            errorText(outputChannel, " Surface radii must be greater than lens radius\n");
            return false;
        }
    }
    ObjectRecord* object = context.object;
    if (!appendSurfaces(object, 5, "Out of memory space for surfaces.\n")) return false;
    object->typeCode = kTypeLens;
    object->wireframeKind = kWireSingleLens;
    SurfaceRecord* front = surfaceAt(object, 1);
    SurfaceRecord* cemented = surfaceAt(object, 2);
    SurfaceRecord* edge1 = surfaceAt(object, 3);
    SurfaceRecord* back = surfaceAt(object, 4);
    SurfaceRecord* edge2 = surfaceAt(object, 5);

    // A face with its vertex at z = v: a sphere through the vertex, or a plane moved there.
    auto makeFace = [&](SurfaceRecord* s, double r, double v) {
        s->shapeCode = r != 0 ? kShapeSphere : kShapeFlat;
        s->extent[0] = s->extent[2] = -R;
        s->extent[1] = s->extent[3] = R;
        if (r != 0) {
            sphere(s->quadric, {0, 0, v + r}, std::fabs(r));
            const double rim = v + sag(r, R);
            s->extent[4] = std::min(v, rim);
            s->extent[5] = std::max(v, rim);
        } else {
            plane(s->quadric, {0, 0, 1});
            moveSurface("local", s, 0, 0, v);
            s->extent[4] = -1;
            s->extent[5] = 1;
        }
    };
    makeFace(front, r1, 0);
    makeFace(cemented, r2, t1);
    makeFace(back, r3, t1 + t2);
    front->side = r1 > 0 ? -1 : 1;
    cemented->side = r2 > 0 ? 1 : -1;
    back->side = r3 > 0 ? 1 : -1;

    const double rim1 = sag(r1, R), rim2 = t1 + sag(r2, R), rim3 = t1 + t2 + sag(r3, R);
    for (SurfaceRecord* edge : {edge1, edge2}) {
        edge->shapeCode = kShapeCylinder;
        edge->absorbtion = 1.0;
        edge->side = -1;
        cylinderAlongZ(edge->quadric, R, R);
    }
    setExtent(edge1, -R, R, -R, R, rim1, rim2);
    setExtent(edge2, -R, R, -R, R, rim2, rim3);

    for (SurfaceRecord* s : {front, cemented, edge1})
        setMedium(s, n1);
    for (SurfaceRecord* s : {back, edge2})
        setMedium(s, n2);
    // Crossing the cemented face forwards enters the second element.
    cemented->inside = back;
    return true;
}

} // namespace

bool buildRod(DefineContext& context) {
    readValues(context, kRodValues, 3);
    const double length = useDefault(0, 200);
    const double diameter = useDefault(1, 40);
    const double n = useDefault(2, 1.33);
    if (!checkSingleElement(diameter, n, length, "Length must be greater than zero.\n"))
        return false;
    return makeSingleElement(context, kTypeRod, 0, 0, length, diameter, n, false);
}

bool buildLens(DefineContext& context) {
    switch (chooseOption(kLensKinds, "lens type", 0)) {
    case 1:
        return buildDoublet(context);
    case 2:
        return buildCylindricalLens(context);
    default:
        return buildSphericalLens(context);
    }
}

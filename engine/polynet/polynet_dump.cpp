#include "engine/polynet/polynet_dump.h"

namespace {
char axisLetter(int axis) {
    return axis == 0 ? 'x' : (axis == 1 ? 'y' : 'z');
}
} // namespace

void polynetDump(const PolynetRecord* net, OutputChannel channel) {
    if (!net || !net->firstPolygon) {
        infoText("Empty polynet.\n");
        return;
    }
    int partNumber = 0;
    for (const PolynetRecord* part = net; part; part = part->nextPart) {
        outText(channel, "\nPolynet %d rad = %f centroid = %f %f %f\n", ++partNumber, part->radius,
                part->centroid.x, part->centroid.y, part->centroid.z);
        int polygonNumber = 0;
        for (const PolygonRecord* p = part->firstPolygon; p; p = p->nextPolygon) {
            outText(channel, " Polygon %d  centroid = %f %f %f\n", ++polygonNumber, p->centroid.x,
                    p->centroid.y, p->centroid.z);
            outText(channel, "              d = %f normal = %f %f %f\n", p->planeConstant,
                    p->normal.x, p->normal.y, p->normal.z);
            outText(channel, "              limits: 1 %f %f   2 %f %f\n", p->limits[0],
                    p->limits[2], p->limits[1], p->limits[3]);
            // One line per facet: large imported nets have thousands of facets.
            outText(channel, "              Dominant axes are %c %c.\n",
                    axisLetter(p->dominantAxes[0]), axisLetter(p->dominantAxes[1]));
            if (p->reflectance != 0 || p->absorbtion != 0)
                outText(channel, "This polygon's reflectance = %e absorption =%e\n", p->reflectance,
                        p->absorbtion);
            int chainNumber = 0;
            for (const ContourNode* c = p->firstContour; c; c = c->nextContour) {
                outText(channel, "  Chain %d:\n", ++chainNumber);
                for (const VertexNode* v = c->firstVertex; v; v = v->next)
                    outText(channel, "    %f %f %f%s", v->point->x, v->point->y, v->point->z,
                            v->extremum ? " extrema.\n" : " \n");
            }
        }
    }
}

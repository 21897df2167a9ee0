#include "engine/commands/listing.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "engine/model/placement.h"
#include "engine/model/user_parameters.h"
#include "engine/surfaces/alt_surfaces.h"

ListingHooks& listingHooks() {
    static ListingHooks h;
    return h;
}

namespace {

const char* const kGeometryWords[] = {"geometry", " "};

// The labels of the objects for the rows of one table, found in one pass over the aliases rather
// than by a search per row: a model of hundreds of named objects would otherwise list in
// quadratic time. A label is what objectLabel gives: the first alias whose text is the number.
class TableLabels {
  public:
    TableLabels() : names_(kMaxObjects + 1) {
        for (const AliasRecord& a : aliasState().aliases) {
            int n = 0;
            const char* end = a.text + std::strlen(a.text);
            auto [last, error] = std::from_chars(a.text, end, n);
            if (error != std::errc() || last != end || n < 1 || n > kMaxObjects) continue;
            if (std::to_string(n) == a.text && names_[n].empty()) names_[n] = a.name;
        }
        active_ = this;
    }
    ~TableLabels() { active_ = nullptr; }
    TableLabels(const TableLabels&) = delete;
    TableLabels& operator=(const TableLabels&) = delete;

    // The label of an object number, from the table being listed when there is one.
    static std::string of(int number) {
        if (active_ && number >= 1 && number <= kMaxObjects && !active_->names_[number].empty())
            return active_->names_[number];
        if (active_) return std::to_string(number);
        return objectLabel(number);
    }
    static std::string designator(const SurfaceRecord* s) {
        const int owner = s->owner ? s->owner->number : 0;
        return formatText("%s.%d", of(owner).c_str(), s->number == 0 ? 1 : s->number);
    }

  private:
    std::vector<std::string> names_;
    static inline TableLabels* active_ = nullptr;
};

const char* yesNo(int flag) {
    return flag ? "Yes" : "No ";
}

// The first surface of a chain listing: the whole chain for surface number 0, else that surface
// alone (the caller stops after it).
const SurfaceRecord* firstListed(int index, int surfaceNumber) {
    if (surfaceNumber != 0) return getSurface(index, surfaceNumber);
    const ObjectRecord* object = getObject(index);
    return object ? object->firstSurface : nullptr;
}

void surfaceRow(const SurfaceRecord* s, OutputChannel channel) {
    const std::string designator = TableLabels::designator(s);
    const double transmission = 1 - s->reflectance - s->absorbtion;
    std::string glass;
    auto& glassName = listingHooks().objectMaterialName;
    if (glassName && glassName(s, glass))
        outText(channel, "    %s     %7.5g %7.5g %7.5g %9.5g    %s  %7.5g  %7.5g\n",
                designator.c_str(), s->reflectance, transmission, s->absorbtion, s->luminance,
                glass.c_str(), s->absorbtivity, s->luminence);
    else
        outText(channel, "    %s     %7.5g %7.5g %7.5g %9.5g    %7.5g  %7.5g  %7.5g\n",
                designator.c_str(), s->reflectance, transmission, s->absorbtion, s->luminance,
                s->index, s->absorbtivity, s->luminence);
}

void extentRow(const SurfaceRecord* s, OutputChannel channel) {
    const double* e = s->extent;
    outText(channel, "    %s     %7.5g %7.5g %7.5g   %7.5g %7.5g %7.5g\n",
            TableLabels::designator(s).c_str(), e[0], e[2], e[4], e[1], e[3], e[5]);
}

void nonSurfaced(int index) {
    outText(outputChannel, "%s is a non-surfaced object.\n", TableLabels::of(index + 1).c_str());
}

} // namespace

void listCommand(std::string_view kind, int a, int b, int all, int toDisplayFile) {
    OutputChannel channel = outputChannel;
    if (toDisplayFile) {
        auto& displayFile = listingHooks().displayFile;
        std::FILE* file = displayFile ? displayFile() : nullptr;
        if (!file) {
            outText(outputChannel, " No display file is currently open.\n");
            outText(outputChannel, " Use the command SET/DISPFILE to open a display file.\n");
            return;
        }
        channel = OutputChannel(file);
    }
    if (kind == "object") {
        listObjects(a, all, channel);
    } else if (kind == "parameters") {
        const ObjectRecord* object = getObject(a);
        if (object)
            printUserParameters(object);
        else
            infoText("Object not found.\n");
    } else if (kind == "altsurfaces") {
        listAltSurfaces(a, b, all);
    } else if (kind == "surface") {
        listSurfaces(a, b, all, channel);
    } else if (kind == "extents") {
        listExtents(a, b, all, channel);
    } else if (kind == "subassembly") {
        outText(channel, " Display : subassembly\n");
    }
}

void listObjects(int index, int all, OutputChannel channel) {
    int found = 0, several = 0, slot = 0;
    getModifier(kGeometryWords, &found, &several, &slot, " ");
    const int geometry = found;
    if (!all && !getObject(index)) {
        outText(channel, " Object number %d is not defined.\n", index + 1);
        return;
    }
    const TableLabels labels;
    if (geometry) {
        outText(channel, "                         Location                        Orientation\n");
        outText(channel, "Object #       ");
        outText(channel, "X           Y           Z          Alpha        Beta       Gamma\n");
    } else {
        outText(channel, "Object_#  Surfaces    Object_type    Activated    Placed\n");
    }
    if (!all) {
        dispobj(index, channel, geometry);
        return;
    }
    for (int i = 0; i <= highestObjectIndex; ++i)
        if (getObject(i)) dispobj(i, channel, geometry);
}

void dispobj(int index, OutputChannel channel, int geometry) {
    const ObjectRecord* object = getObject(index);
    if (geometry) {
        if (!object) {
            outText(outputChannel, "Object %d not found for geometry write.\n", index);
            return;
        }
        if (!object->placed) return;
        Vec3 origin;
        transformPoint(Vec3{}, origin, object->localToGlobal);
        double alpha = 0, beta = 0, gamma = 0;
        objectOrientationAngles(object, alpha, beta, gamma);
        outText(channel, "%4s %11.9g %11.9g %11.9g  %11.9g %11.9g %11.9g\n", objectLabel(index + 1),
                origin.x, origin.y, origin.z, alpha, beta, gamma);
        return;
    }
    if (!object) {
        outText(outputChannel, "Object %s not found by dispobj.\n",
                TableLabels::of(index + 1).c_str());
        return;
    }
    const std::string surfaces = object->surfaceCount > 1
                                     ? formatText("  1 -%3d  ", object->surfaceCount)
                                     : std::string("  1       ");
    outText(channel, " %5s . %s  %s      %s       %s\n", TableLabels::of(index + 1).c_str(),
            surfaces.c_str(), objectTypeLabel(object->typeCode), yesNo(object->activated),
            yesNo(object->placed));
}

namespace {
// Calls row for each listed surface: every surface of every object (all), else the object's
// surface surfaceNumber (0: all its surfaces). missing(index, all) speaks for an object whose
// first listed surface is not there.
template <class Row, class Missing>
void forListedSurfaces(int surfaceNumber, int index, int all, Row row, Missing missing) {
    if (all) {
        for (int i = 0; i <= highestObjectIndex; ++i) {
            if (!getObject(i)) continue;
            const SurfaceRecord* s = getSurface(i, 1);
            if (!s) missing(i, true);
            for (; s; s = s->next)
                row(s);
        }
        return;
    }
    const SurfaceRecord* s = firstListed(index, surfaceNumber);
    if (!s) missing(index, false);
    for (; s; s = surfaceNumber ? nullptr : s->next)
        row(s);
}
} // namespace

void listSurfaces(int surfaceNumber, int index, int all, OutputChannel channel) {
    const TableLabels labels;
    outText(channel, "                         Surface                          Volume\n");
    outText(channel,
            "Object.surface   Refl.  Tran.  Absor.  Resrvd.    Ref_Index  Absor.  Resrvd.\n");
    forListedSurfaces(
        surfaceNumber, index, all, [&](const SurfaceRecord* s) { surfaceRow(s, channel); },
        [](int i, bool) { nonSurfaced(i); });
}

void listExtents(int surfaceNumber, int index, int all, OutputChannel channel) {
    const TableLabels labels;
    outText(channel, "     Surface#   xmin   ymin   zmin         xmax   ymax   zmax\n");
    forListedSurfaces(
        surfaceNumber, index, all, [&](const SurfaceRecord* s) { extentRow(s, channel); },
        [&](int i, bool inAll) {
            if (inAll)
                outText(outputChannel, "Surface %d.%d not found for extent output.\n", i + 1, 1);
            else
                outText(outputChannel, "Surface %d.%d not found for parameter output.\n", i + 1,
                        surfaceNumber ? surfaceNumber : 1);
        });
}

void listAltSurfaces(int surfaceNumber, int index, int all) {
    forListedSurfaces(
        surfaceNumber, index, all, [](const SurfaceRecord* s) { listAltSurfaces(s); },
        [](int i, bool inAll) {
            if (inAll) nonSurfaced(i);
        });
}

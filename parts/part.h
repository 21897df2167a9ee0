// A part: the part model's companion of one object of the model. It carries the object's name,
// the define command that made it, one surface handle per surface, the refractive index at each
// of the 12 wavelength slots, and what is attached to it: catalog glass, material, radiometer and
// a ray-source plug-in. Surface handles bind a surface to its intersection routine and carry its
// scatterer and coating.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/model/object_table.h"
#include "engine/optics/coatings.h"
#include "engine/polynet/polynet_belt.h"
#include "parts/part_attachments.h"
#include "parts/plugin_binder.h"
#include "plugins/include/plugin_interface.h"

class CPart;
class CPartList;

// The coating modes of a surface handle are the optics' own (CoatingMode).
inline constexpr int kCoatingLwir = kCoatingLwirMetal;

// A surface's hole: as the definition made it, to tell a later change from the define's own.
struct HoleState {
    int hasHole = 0;
    double limits[4] = {};
    int shape = 0;
};

class CSurfaceHandle {
  public:
    CSurfaceHandle(SurfaceRecord* surface, CPart* part) : surface(surface), part(part) {}
    virtual ~CSurfaceHandle() = default;
    CSurfaceHandle(const CSurfaceHandle&) = delete;
    CSurfaceHandle& operator=(const CSurfaceHandle&) = delete;

    // The number of intersections that improved `distance` (in: the nearest so far), through
    // the surface record's own intercept routine.
    virtual int Intersect(const Vec3& point, Vec3& direction, double& distance);
    // Replaces the scatterer (the old one is deleted); 1, or 0 when the new one is null (the
    // handle then has none).
    int SetChild(ScattererPtr child);

    SurfaceRecord* surface = nullptr; // not owned
    CPart* part = nullptr;            // the part that owns the handle
    ScattererPtr child;               // the surface's scatterer, or null
    double cons[6] = {};              // coating constants cons1..cons6
    int coatingMode = kCoatingOff;
    HoleState holeAsDefined; // the surface's hole when the handle was made
};

// Surface 1 of a CPC mirror.
class CCpcSurfaceHandle : public CSurfaceHandle {
  public:
    using CSurfaceHandle::CSurfaceHandle;
    int Intersect(const Vec3& point, Vec3& direction, double& distance) override;
};

// A surface of a polygon net.
class CPolynetSurfaceHandle : public CSurfaceHandle {
  public:
    using CSurfaceHandle::CSurfaceHandle;
    int Intersect(const Vec3& point, Vec3& direction, double& distance) override;
};

// Where a part stands: global location, the three placement angles (z, y, z in degrees, as
// place/rotations takes them) and the object whose medium it sits in (number 0: none).
struct CPlacementInfo {
    double x = 0, y = 0, z = 0;
    double alpha = 0, beta = 0, gamma = 0;
    std::string referenceName;
    int referenceNumber = 0;
};

inline constexpr int kDefineValues = 20;

// Source kinds of a part's ray source.
enum SourceKind : int {
    kSourceCustom = 0,
    kSourceIesna = 1,
    kSourceGridsrc = 2,
    kSourcePixsrc = 3,
    kSourceStandard = 4
};
// The kind words by SourceKind.
extern const char* const sourceKindWords[5];

class CPart {
  public:
    // A part of the current object (the object last defined), made from the parsed define
    // command at the time of the call: define path and values, one handle per surface.
    CPart();
    // A part of `geometry` (not owned) with no define command (tests and nets).
    explicit CPart(ObjectRecord* geometry);
    virtual ~CPart();
    CPart(const CPart&) = delete;
    CPart& operator=(const CPart&) = delete;

    // Fills `info` from the object's placement; 0 when the part has no geometry.
    virtual int GetPlacement(CPlacementInfo& info);
    // Places the object again from `info` (activated and placed) and, when `write` is nonzero,
    // writes the move to the command log so that a replay of the log repeats it.
    virtual int WritePlacementRelative(const CPlacementInfo& info, int write);
    virtual int WritePlacement(const CPlacementInfo& info);
    // Redefines the part by the define command being run: the new object takes the old one's
    // number, table slot, flags and placement, the old surfaces' properties pairwise and the
    // handles' scatterers and coatings; the log gets the delete and the new definition. 1 done;
    // 0 refused or no object made (nothing changes).
    virtual int Define();
    // Writes the commands that recreate the part (part_writer.cpp): the definition, then the
    // placement and activation lines; always 1.
    virtual int WriteCommands(OutputChannel stream);
    void WriteDefinition(OutputChannel stream);
    void WritePlacementLines(OutputChannel stream);
    // The name the writer writes: the replicate override or the part's name, with "obno"
    // before a name that begins with a digit.
    std::string WrittenName() const;
    // The object's activated flag 1 / 0, with "Part activated." / "Part deactivated.".
    virtual int Activate();
    virtual int Deactivate();
    // The handle of surface n (1-based); null outside 1..surface count.
    virtual CSurfaceHandle* GetSurfaceHandle(int n);

    // 0 nothing to do, 1 indices from the object's first surface, 2 from the catalog glass.
    int UpdateIndices();
    // Makes one handle per surface of the geometry's chain (the old ones are dropped) and sets
    // the kind name.
    void MakeHandles();
    // Takes the define path and values from the parsed define command. The value count is the
    // larger of the path's template count and the position of the last given value + 1.
    void TakeDefineCommand();
    int surfaceCount() const { return static_cast<int>(handles.size()); }

    ObjectRecord* geometry = nullptr;
    std::string kindName;   // the kind name of the object's type code, e.g. "lens", "cpc"
    std::string name;       // the object's label when the part was made
    std::string definePath; // "define/lens/spherical": the define command's words less material
    // The same with the values of modifiers that had one (written back by the writer).
    std::string defineCommandPath;
    double defineValues[kDefineValues] = {};
    int defineValueCount = 0;
    int modifierCount = 0; // words that followed the define command word
    int centerGiven = 0;
    int extentGiven = 0;
    double centerX = 0, centerY = 0;
    double extentLimits[6] = {}; // x min, x max, y min, y max, z min, z max
    // The plane of a net's polar plot (kPolarXY, kPolarXZ, kPolarYZ), kPolarNone for none.
    int polarPlane = kPolarNone;
    std::vector<std::unique_ptr<CSurfaceHandle>> handles;
    RadiometerPtr radiometer;
    MaterialPtr material;
    const CGlass* catalogGlass = nullptr; // not owned
    int glassChanged = 0; // material/glasschange has set or cleared the glass since the define

    PluginEntry sourceEntry = nullptr;
    PluginEntry paramNamesEntry = nullptr;
    SourceCallRecord sourceRecord{};
    std::string sourceModulePath;
    std::string sourceTableName;
    int sourceKind = kSourceCustom;

    // The last trace from this part (StoreTraceParameters).
    struct LastTrace {
        std::string kindWord; // at most 23 characters
        int objectNumber = 0, nx = 0, ny = 0, bundleShape = 0, spacingKind = 0, stored = 0;
        double horizontal = 0, vertical = 0;
        long serial = 0; // the raytrace manager's number of the stored trace
    } lastTrace;

    double indices[kWavelengthSlots] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

// The name under which the writer writes parts while replicate runs (empty otherwise).
std::string& partNameOverride();
// Empties the name override.
void resetPartWriterState();
// A text as a quoted modifier value or parameter word (a quote is written twice).
std::string quotedText(const std::string& text);

// The name for the part of an object whose own name begins with a digit: the first four
// characters of its kind name and its number ("lens12"), with "x" appended until no part and no
// alias has the name ("lens12x").
std::string MakePartName(CPartList& list, const ObjectRecord* object);

// The name of the catalog glass of the part that owns the surface; false when it has none.
bool GetObjectMaterialName(std::string& name, const SurfaceRecord* surface);

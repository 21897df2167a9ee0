#include <cstdio>

#include "command/interpreter/aliases.h"
#include "engine/files/ray_files.h"
#include "engine/model/user_parameters.h"
#include "tests/engine/object_commands_fixture.h"

namespace {

class Listing : public ObjectCommandsTest {
  protected:
    // lens1: a placed 3-surface lens; 2: a mirror not placed; 3: a deleted object; 4: an
    // object without surfaces.
    void SetUp() override {
        ObjectCommandsTest::SetUp();
        lens = makeObject(kTypeLens, 3);
        aliasAdd("lens1", "1");
        int k = 0;
        for (SurfaceRecord* s = lens->firstSurface; s; s = s->next, ++k) {
            s->reflectance = 0.25;
            s->absorbtion = 0.25;
            s->luminance = k;
            s->index = 1.5;
            s->absorbtivity = 0.01;
            s->luminence = 2;
            const double e[6] = {-35, 35, -35.5, 35.5, 0.0 - 10.0 * k, 1e-5};
            std::copy(e, e + 6, s->extent);
        }
        mirror = makeObject(kTypeMirror);
        mirror->firstSurface->reflectance = 1;
        ObjectRecord* film = makeObject(kTypeFilm);
        bare = makeObject(kTypeAxis, 0);
        deleteObjectNow(film);
        activateObject(1, 10, -20, 30.5, 0, 90, 0, 0);
        captured.clear();
    }
    ObjectRecord* lens = nullptr;
    ObjectRecord* mirror = nullptr;
    ObjectRecord* bare = nullptr;
};

const char* const kObjectHeader = "Object_#  Surfaces    Object_type    Activated    Placed\n";
const char* const kSurfaceHeader =
    "                         Surface                          Volume\n"
    "Object.surface   Refl.  Tran.  Absor.  Resrvd.    Ref_Index  Absor.  Resrvd.\n";
const char* const kExtentHeader = "     Surface#   xmin   ymin   zmin         xmax   ymax   zmax\n";

} // namespace

TEST_F(Listing, ObjectTable) {
    // Only an alias whose text is the number itself names an object.
    aliasAdd("padded", "02");
    aliasAdd("later", "4x");
    const std::string all = std::string(kObjectHeader) +
                            " lens1 .   1 -  3         Lens           Yes       Yes\n"
                            "     2 .   1             Mirror          No        No \n"
                            "     4 .   1              Axis           No        No \n";
    EXPECT_EQ(run("display"), all);
    EXPECT_EQ(run("display/object"), all);
    EXPECT_EQ(run("display 2"), std::string(kObjectHeader) +
                                    "     2 .   1             Mirror          No        No \n");
    EXPECT_EQ(run("display 3"), " Object number 3 is not defined.\n");
    EXPECT_EQ(run("display 1e12"), " Object number 1000000 is not defined.\n");
}

TEST_F(Listing, GeometryTableShowsPlacedObjectsOnly) {
    const std::string header =
        "                         Location                        Orientation\n"
        "Object #       X           Y           Z          Alpha        Beta "
        "      Gamma\n";
    // The angles come back as the ones that rebuild the placement bit for bit: as placed.
    EXPECT_EQ(run("display/object/geometry"),
              header + "lens1          10         -20        30.5            0          90     "
                       "      0\n");
    EXPECT_EQ(run("display/geometry 2"), header);
}

TEST_F(Listing, SurfaceTable) {
    const std::string rows = "    lens1.1        0.25     0.5    0.25         0        1.5     "
                             "0.01        2\n"
                             "    lens1.2        0.25     0.5    0.25         1        1.5     "
                             "0.01        2\n"
                             "    lens1.3        0.25     0.5    0.25         2        1.5     "
                             "0.01        2\n";
    const std::string mirrorRow =
        "    2.1           1       0       0         0          0        0        0\n";
    EXPECT_EQ(run("display/surface"),
              kSurfaceHeader + rows + mirrorRow + "4 is a non-surfaced object.\n");
    EXPECT_EQ(run("display/surface 1 2"),
              std::string(kSurfaceHeader) +
                  "    lens1.2        0.25     0.5    0.25         1        "
                  "1.5     0.01        2\n");
    // Surface 0 (or none) lists the whole chain of one object.
    EXPECT_EQ(run("display/surface 1"), kSurfaceHeader + rows);
    EXPECT_EQ(run("display/surface 1 0"), kSurfaceHeader + rows);
    EXPECT_EQ(run("display/surface 1 7"),
              std::string(kSurfaceHeader) + "lens1 is a non-surfaced object.\n");
    EXPECT_EQ(run("display/surface 3"),
              std::string(kSurfaceHeader) + "3 is a non-surfaced object.\n");

    // The glass of the owning part replaces the index.
    listingHooks().objectMaterialName = [this](const SurfaceRecord* s, std::string& name) {
        if (s->owner != lens) return false;
        name = "BK7";
        return true;
    };
    EXPECT_EQ(run("display/surface 1 3"),
              std::string(kSurfaceHeader) +
                  "    lens1.3        0.25     0.5    0.25         2    BK7     0.01        2\n");
}

TEST_F(Listing, ExtentTable) {
    const std::string rows = "    lens1.1         -35   -35.5       0        35    35.5   1e-05\n"
                             "    lens1.2         -35   -35.5     -10        35    35.5   1e-05\n"
                             "    lens1.3         -35   -35.5     -20        35    35.5   1e-05\n";
    const std::string mirrorRow = "    2.1           0       0       0         0       0       0\n";
    EXPECT_EQ(run("display/extents"),
              kExtentHeader + rows + mirrorRow + "Surface 4.1 not found for extent output.\n");
    EXPECT_EQ(run("display/extents object=1 surface=0"), kExtentHeader + rows);
    EXPECT_EQ(run("display/extents 1 3"), kExtentHeader + rows.substr(2 * rows.size() / 3));
    EXPECT_EQ(run("display/extents 1 4"),
              std::string(kExtentHeader) + "Surface 1.4 not found for parameter output.\n");
    EXPECT_EQ(run("display/extents -7"),
              std::string(kExtentHeader) + "Surface -7.1 not found for parameter output.\n");
}

TEST_F(Listing, TablesGoIntoTheDisplayFileWhenOneIsOpen) {
    EXPECT_EQ(run("display/surface/file"),
              " No display file is currently open.\n"
              " Use the command SET/DISPFILE to open a display file.\n");
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    listingHooks().displayFile = [file] { return file; };
    EXPECT_EQ(run("display/file 2"), "");
    std::rewind(file);
    char text[200] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    EXPECT_EQ(std::string(text, n), std::string(kObjectHeader) +
                                        "     2 .   1             Mirror          No        No \n");
}

TEST_F(Listing, ParametersAltSurfacesAndTheSmallItems) {
    EXPECT_EQ(run("display/parameters 2"), "No parameters attached.\n");
    const char* const names[] = {"size", " "};
    allocUserParameters(mirror, 1, names);
    EXPECT_EQ(run("display/parameters 2"), "size = 42  \n");
    EXPECT_EQ(run("display/parameters 9"), "");
    ASSERT_FALSE(hooks.boxes.empty());
    EXPECT_EQ(hooks.boxes.back().text, "Object not found.\n");

    EXPECT_EQ(run("display/altsurfaces 2"), "No alternate surfaces functions attached.\n");
    EXPECT_EQ(run("display/altsurfaces"), "No alternate surfaces functions attached.\n"
                                          "No alternate surfaces functions attached.\n"
                                          "No alternate surfaces functions attached.\n"
                                          "No alternate surfaces functions attached.\n"
                                          "4 is a non-surfaced object.\n");
    EXPECT_EQ(run("display/subassembly"), " Display : subassembly\n");
    EXPECT_EQ(run("display/photocalc"), "");
}

TEST_F(Listing, RaysAreDumpedFromTheRayFile) {
    EXPECT_EQ(run("display/rays"), "No ray data.\n");
    ASSERT_GE(openRayOutput(0), 0);
    int error = 0;
    writeRayRecord(1, {0, 0, 0}, error);
    writeRayRecord(0, {0, 0, 10}, error);
    ASSERT_EQ(closeRayFile(), 1);
    const std::string locations = run("display/rays/locations");
    EXPECT_EQ(locations.rfind("\nRay Data Output (in global coordinates)\n", 0), 0u);
    EXPECT_NE(locations.find("Loc  "), std::string::npos);
    EXPECT_EQ(locations.find("DCos"), std::string::npos);
    const std::string directions = run("display/rays/directions");
    EXPECT_NE(directions.find("DCos"), std::string::npos);
    EXPECT_EQ(directions.find("Loc "), std::string::npos);
    EXPECT_EQ(rayFileHandle, -1);
}

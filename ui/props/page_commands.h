// The property pages' applies and choices without any widget: each apply turns a page's values
// into the command texts it issues, composed whole before the first is issued (issuing one
// reloads the sheet). A composer refuses, issuing nothing, when a value is not a finite number,
// a text would be longer than the reader takes, or a file field holds no usable file name.
#pragma once

#include <string>
#include <vector>

#include "ui/props/property_snapshot.h"

struct ComposedCommands {
    std::vector<std::string> texts; // issued in this order
    std::string refusal;            // why nothing is issued (empty: issue)
    bool ok() const { return refusal.empty(); }
};

// The caption of the boxes that show a refusal.
inline constexpr const char* kPropertyRefusalCaption = "Object and Surface Properties";

// Reads a page field as a number in the C locale: the whole text (blanks around it allowed),
// finite. False for anything else.
bool readPageNumber(const std::string& text, double& value);
// Writes a page field's number as the pages show it ("%.12lg", C locale).
std::string pageNumberText(double value);

// A file name as a command's quoted modifier value, quotes doubled; false when the reader would
// not give it back whole (a '|' or a control character) or it is empty or a "<select ...>"
// placeholder.
bool quotePageFileName(const std::string& path, std::string& quoted);

// Applies.
ComposedCommands composeExtent(const ExtentPageValues& v);
ComposedCommands composeDefinition(const DefinitionPageValues& v);
ComposedCommands composePlacement(const PlacementPageValues& v);
ComposedCommands composeActivated(const PlacementPageValues& v, bool activated);
ComposedCommands composeInPlace(const PlacementPageValues& v, bool inPlace);
ComposedCommands composeAttributes(const AttributesPageValues& v);
ComposedCommands composeAltSurface(const AltSurfacePageValues& v);
ComposedCommands composeScattering(const ScatteringPageValues& v);
ComposedCommands composeFresnel(const FresnelPageValues& v);
ComposedCommands composeMedia(const MediaPageValues& v);
ComposedCommands composeSource(const SourcePageValues& v);

// What the type choices put into a page.
void chooseAltSurfaceType(AltSurfacePageValues& v, int type);
void chooseScatteringType(ScatteringPageValues& v, int type);
void chooseFresnelType(FresnelPageValues& v, int type);
void chooseMediaType(MediaPageValues& v, int type);
void chooseSourceType(SourcePageValues& v, int type);

// The names of the place-inside list: kNoEntry, then every name of `names` once, except the
// page's own object (its name up to the last ".").
std::vector<std::string> placementChoices(const std::vector<std::string>& names,
                                          const std::string& pageName);

// The plug-in a table source binds for its parameter names: IESNA.DLL (kind 2) or GRIDSRC.DLL
// (kind 4) in the table's folder, as the source command binds it.
std::string tableSourceModule(int sourceType, const std::string& tableFile);

// The design-tool dialogs of the view's entries (Edit > Place..., Rotate..., Translate...,
// Window > SetWorkbox..., Perspective..., PlotScaling..., Options > Wavelength..., View >
// Solid..., IGES export..., Design > Replicate..., AltSurfaces > Fresnel...), the data-output
// file dialog, the STL parameters and the cube corner. Each builder makes the dialog with its
// caption, labels and presets; each handler shows it and composes the command after OK.
#pragma once

#include "ui/compose/tool_dialog_state.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/compose/tool_commands.h"
#include "ui/qt/dialogs/form_dialog.h"

class CQelView;
class QWidget;

// What the handlers need around them.
struct ToolContext {
    QWidget* parent = nullptr;
    CQelView* view = nullptr;
    // A message box: caption, text.
    std::function<void(const std::string&, const std::string&)> box;
};


// Builders (presets from the program's state where the dialog has them).
std::unique_ptr<FormDialog> makeRotationDialog(QWidget* parent);
std::unique_ptr<FormDialog> makePlacementDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeTranslationDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeWorkboxDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeWavelengthDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeSolidDialog(int clientWidth, int clientHeight, QWidget* parent);
std::unique_ptr<FormDialog> makeIgesDialog(QWidget* parent);
std::unique_ptr<FormDialog> makePlotScalingDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeReplicateDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeAltSurfaceDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeDataOutputDialog(QWidget* parent);
// `emptyName` is told when OK met an empty name (the "Incomplete" box).
std::unique_ptr<FormDialog> makeStlParametersDialog(const StlParameters& preset, QWidget* parent,
                                                    std::function<void()> emptyName);
std::unique_ptr<FormDialog> makeCubeCornerDialog(const CubeCornerRequest& preset, QWidget* parent);

// The handler of a tool entry by its name ("Place...", "Rotate...", ...); false for a name it
// does not know.
bool runToolDialog(const std::string& entry, const ToolContext& context);
// The data-output file name; nullopt when cancelled.
std::optional<std::string> askDataOutputFile(QWidget* parent);
// The cube corner's name preset: "retro" and the number of the newest object less one.
std::string cubeCornerPresetName();
// Design > Prism > CornerCube...: the dialog, then the builder's lines through the view until
// the first error, then a redraw. Returns the number of lines run.
int runCubeCorner(const ToolContext& context);

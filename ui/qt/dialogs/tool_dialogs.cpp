#include "ui/qt/dialogs/tool_dialogs.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QWidget>
#include <array>
#include <filesystem>
#include <random>

#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/macros.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/analysis/solid_image.h"
#include "display/raster/bitmap_holder.h"
#include "display/exchange/iges_writer.h"
#include "display/views/annotations.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "platform/platform_hooks.h"
#include "platform/temp_file.h"
#include "ui/compose/cube_corner.h"
#include "ui/compose/field_text.h"
#include "ui/core/dib.h"
#include "ui/core/object_pick.h"
#include "ui/core/shell_text.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_state.h"
#include "ui/qt/dialogs/command_dialogs.h"

namespace {

std::array<double, 3> halfSizes() {
    return {workbox.halfSize[0], workbox.halfSize[1], workbox.halfSize[2]};
}

std::string axisKey(const char* what, int axis) {
    return std::string(what) + "xyz"[axis];
}

// A path in the home whose name is made from "igesXXXXXXX" and that no file has.
std::string freeIgesName() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::mt19937 generator(device());
    std::uniform_int_distribution<int> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string name = "iges";
        for (int i = 0; i < 7; ++i)
            name += letters[pick(generator)];
        const std::string path = platform::joinPath(programHome, name);
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return path;
    }
    return {};
}

bool runText(const ToolContext& c, const std::string& text) {
    return c.view && c.view->ExecuteText(text);
}

void finish(const ToolContext& c) {
    if (c.view) c.view->FinishViewCommand();
}

void redraw(const ToolContext& c) {
    if (c.view) c.view->RedrawIfAutoRedraw();
}

} // namespace

std::unique_ptr<FormDialog> makeRotationDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Rotation Tool", parent);
    d->addRadio("frame", "", {"Global", "Local", "Relative"}, 1);
    d->addRadio("axis", "", {"X", "Y", "Z"}, 0);
    d->addText("object", "Object ", objectLabel(viewObject));
    d->addText("reference", "Ref Object", "");
    d->addNumber("angle", "Angle (Degrees)", 0);
    FormDialog* raw = d.get();
    d->check = [raw] {
        return rotationRefusal({raw->radio("frame"), raw->radio("axis"), raw->text("object"),
                                raw->text("reference"), 0});
    };
    return d;
}

std::unique_ptr<FormDialog> makePlacementDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Placement Tool", parent);
    // How and where first; the angles matter only to Rotations.
    d->addRadio("type", "", {"Global", "Relative", "Inside", "Rotations"}, 0);
    const double* p = qelViewState().pickedPoint;
    d->addNumber("x", "X", p[0]);
    d->addNumber("y", "Y", p[1]);
    d->addNumber("z", "Z", p[2]);
    d->addNumber("a", "a", 0);
    d->addNumber("b", "b", 0);
    d->addNumber("g", "g", 0);
    d->addText("object", "Object ", objectLabel(firstUnplacedObject));
    d->addText("reference", "Ref Object", "");
    FormDialog* raw = d.get();
    d->addButton("Clear", [raw] {
        for (const char* k : {"a", "b", "g", "x", "y", "z"})
            raw->setNumber(k, 0);
    });
    d->check = [raw] {
        PlacementRequest r;
        r.type = raw->radio("type");
        r.object = raw->text("object");
        r.reference = raw->text("reference");
        return placementRefusal(r);
    };
    return d;
}

std::unique_ptr<FormDialog> makeTranslationDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Translation Tool", parent);
    d->addRadio("type", "", {"Global", "Local"}, 0);
    const double* p = qelViewState().pickedPoint;
    Vec3 v{0, 0, 0};
    if (!VectorToCurrentObject(p[0], p[1], p[2], v)) v = Vec3{0, 0, 0};
    d->addNumber("x", "X", v.x);
    d->addNumber("y", "Y", v.y);
    d->addNumber("z", "Z", v.z);
    d->addText("object", "Object ", objectLabel(viewObject));
    FormDialog* raw = d.get();
    d->addButton("Clear", [raw] {
        for (const char* k : {"x", "y", "z"})
            raw->setNumber(k, 0);
    });
    d->check = [raw] { return translationRefusal({0, 0, 0, 0, raw->text("object")}); };
    return d;
}

std::unique_ptr<FormDialog> makeWorkboxDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("WorkBox Control", parent);
    auto* rows = new QWidget(d.get());
    auto* grid = new QGridLayout(rows);
    const char* names[] = {"X", "Y", "Z"};
    grid->addWidget(new QLabel("Center:", rows), 1, 0);
    grid->addWidget(new QLabel("Size:", rows), 2, 0);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(names[i], rows), 0, i + 1);
        auto* c = new QLineEdit(numberText(workbox.center[i]), rows);
        auto* s = new QLineEdit(numberText(workbox.halfSize[i]), rows);
        c->setObjectName(QString::fromStdString(axisKey("center", i)));
        s->setObjectName(QString::fromStdString(axisKey("size", i)));
        grid->addWidget(c, 1, i + 1);
        grid->addWidget(s, 2, i + 1);
        d->registerNumber(axisKey("center", i), c);
        d->registerNumber(axisKey("size", i), s);
    }
    d->addWidget(rows);
    FormDialog* raw = d.get();
    d->check = [raw] {
        return workboxRefusal({raw->numberOr("sizex", 0), raw->numberOr("sizey", 0),
                               raw->numberOr("sizez", 0)});
    };
    return d;
}

std::unique_ptr<FormDialog> makeWavelengthDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Wavelengths and Weights", parent);
    auto* rows = new QWidget(d.get());
    auto* grid = new QGridLayout(rows);
    grid->addWidget(new QLabel("Wavelength (microns)", rows), 0, 1);
    grid->addWidget(new QLabel("Weight", rows), 0, 2);
    for (int i = 0; i < 12; ++i) {
        grid->addWidget(new QLabel(QString::number(i + 1), rows), i + 1, 0);
        auto* w = new QLineEdit(numberText(wavelengthTable[i]), rows);
        auto* g = new QLineEdit(numberText(weightTable[i]), rows);
        w->setObjectName(QString("wavelength%1").arg(i));
        g->setObjectName(QString("weight%1").arg(i));
        grid->addWidget(w, i + 1, 1);
        grid->addWidget(g, i + 1, 2);
        d->registerNumber("wavelength" + std::to_string(i), w);
        d->registerNumber("weight" + std::to_string(i), g);
    }
    d->addWidget(rows);
    FormDialog* raw = d.get();
    d->check = [raw] {
        std::array<double, 12> waves{};
        for (int i = 0; i < 12; ++i)
            waves[i] = raw->numberOr("wavelength" + std::to_string(i), 0);
        return wavelengthRefusal(waves);
    };
    return d;
}

std::unique_ptr<FormDialog> makeSolidDialog(int clientWidth, int clientHeight, QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Solid Model Display Tool", parent);
    const int step = toolDialogState().solidStep;
    auto* sliderRow = new QWidget(d.get());
    auto* h = new QHBoxLayout(sliderRow);
    h->addWidget(new QLabel("High resolution", sliderRow));
    auto* slider = new QSlider(Qt::Horizontal, sliderRow);
    slider->setObjectName("step");
    slider->setRange(1, 10);
    slider->setValue(step);
    h->addWidget(slider);
    h->addWidget(new QLabel("Low resolution", sliderRow));
    d->addWidget(sliderRow);
    d->addText("file", "Filename", "null");
    const SolidSizes sizes = solidSizesForStep(clientWidth, clientHeight, step);
    QLineEdit* nx = d->addInteger("nx", "Nx", sizes.nx);
    d->addInteger("ny", "Ny", sizes.ny);
    auto* limit = new QLabel(QString::fromStdString(solidLimitText(clientWidth, clientHeight)),
                             d.get());
    limit->setObjectName("limit");
    d->addWidget(limit);
    FormDialog* raw = d.get();
    QObject::connect(slider, &QSlider::valueChanged, raw, [raw, clientWidth, clientHeight](int s) {
        const SolidSizes z = solidSizesForStep(clientWidth, clientHeight, s);
        raw->setNumber("nx", z.nx);
        raw->setNumber("ny", z.ny);
    });
    // Nx goes up to a multiple of 4 once editing ends, not per keystroke.
    auto roundNx = [raw] {
        if (auto v = parseFieldInteger(raw->text("nx")))
            raw->setNumber("nx", solidRoundNx(static_cast<int>(*v)));
    };
    QObject::connect(nx, &QLineEdit::editingFinished, raw, roundNx);
    d->check = [raw, roundNx] {
        roundNx();
        return solidRefusal(static_cast<int>(raw->numberOr("nx", 0)),
                            static_cast<int>(raw->numberOr("ny", 0)));
    };
    return d;
}

std::unique_ptr<FormDialog> makeIgesDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Data to Include IGES file about to be written", parent);
    d->addText("author", "Author Name", "");
    d->addText("file", "Save File Name", "output.igs");
    d->addText("newProductId", "New Product ID", "");
    d->addText("organisation", "Organization", "");
    d->addText("productId", "Product ID", "");
    d->addText("productName", "Name of product in file", "");
    return d;
}

std::unique_ptr<FormDialog> makePlotScalingDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Plot Scaling", parent);
    d->addRadio("method", "Scaling Method", {"Automatic", "Pre-defined"}, autoplot ? 0 : 1);
    d->addNumber("value", "Pre-defined Value", plotmax);
    return d;
}

std::unique_ptr<FormDialog> makeReplicateDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Replicate the selected object.", parent);
    d->addInteger("copies", "Number of copies", 1);
    d->addText("base", "New Name(base)", std::string(objectLabel(viewObject)) + "_");
    FormDialog* raw = d.get();
    d->check = [raw] {
        return replicateRefusal(static_cast<int>(parseFieldInteger(raw->text("copies")).value_or(0)),
                                raw->text("base"));
    };
    return d;
}

std::unique_ptr<FormDialog> makeAltSurfaceDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Alt Surface", parent);
    d->addRadio("orientation", "Power Orientation", {"Radial", "X-Cylindrical", "Y-Cylindrical"}, 1);
    return d;
}

std::unique_ptr<FormDialog> makeDataOutputDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Data Output to File", parent);
    d->addText("file", "File name:", "");
    FormDialog* raw = d.get();
    d->check = [raw]() -> std::optional<std::string> {
        if (raw->text("file").empty()) return std::string("Please enter a file name.");
        return std::nullopt;
    };
    return d;
}

std::unique_ptr<FormDialog> makeStlParametersDialog(const StlParameters& preset, QWidget* parent,
                                                    std::function<void()> emptyName) {
    auto d = std::make_unique<FormDialog>("STL Polynet Parameters", parent);
    // The one field without a preset comes first and has the keyboard.
    d->addText("name", "Object name", preset.name, 19);
    d->addNumber("reflectance", "Surface Reflectance", preset.reflectance);
    d->addNumber("absorption", "Surface Absorbtion", preset.absorption);
    d->addNumber("index", "Refractive Index", preset.index);
    FormDialog* raw = d.get();
    d->check = [raw, emptyName = std::move(emptyName)]() -> std::optional<std::string> {
        StlParameters p{raw->text("name"), raw->numberOr("reflectance", 0),
                        raw->numberOr("absorption", 0), raw->numberOr("index", 1)};
        auto refusal = stlParametersRefusal(p);
        if (refusal && p.name.empty() && emptyName) emptyName();
        return refusal;
    };
    return d;
}

std::unique_ptr<FormDialog> makeCubeCornerDialog(const CubeCornerRequest& preset, QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Define Cube Corner", parent);
    d->addText("name", "Name", preset.name, 17);
    d->addNumber("halfWidth", "Half-width", preset.halfWidth);
    d->addNumber("index", "Refractive Index", preset.index);
    FormDialog* raw = d.get();
    d->check = [raw] {
        return cubeCornerRefusal(
            {raw->text("name"), raw->numberOr("halfWidth", 0), raw->numberOr("index", 0)});
    };
    return d;
}

std::optional<std::string> askDataOutputFile(QWidget* parent) {
    auto d = makeDataOutputDialog(parent);
    if (runDialog(*d) != QDialog::Accepted) return std::nullopt;
    return d->text("file");
}

std::string cubeCornerPresetName() {
    return "retro" + std::to_string(static_cast<long>(objectCount) - 1);
}

int runCubeCorner(const ToolContext& c) {
    if (!theDocument || !c.view) return 0;
    auto d = makeCubeCornerDialog({cubeCornerPresetName(), 10.0, 1.5}, c.parent);
    if (runDialog(*d) != QDialog::Accepted) return 0;
    const auto lines = cubeCornerCommands(d->text("name"), d->numberOr("halfWidth", 10),
                                          d->numberOr("index", 1.5));
    const int ran = issueCubeCorner(lines, [&c](const std::string& line) {
        return !runText(c, line) || errorOccurred != 0;
    });
    redraw(c);
    return ran;
}

bool runToolDialog(const std::string& entry, const ToolContext& c) {
    QWidget* parent = c.parent;
    if (entry == "Rotate...") {
        auto d = makeRotationDialog(parent);
        if (runDialog(*d) == QDialog::Accepted) {
            RotationRequest r{d->radio("frame"), d->radio("axis"), d->text("object"),
                              d->text("reference"), d->numberOr("angle", 0)};
            viewObject = objectNumberOfLabel(r.object);
            runText(c, rotationCommand(r));
        }
        finish(c);
    } else if (entry == "Place...") {
        auto d = makePlacementDialog(parent);
        if (runDialog(*d) == QDialog::Accepted) {
            PlacementRequest r;
            r.type = d->radio("type");
            r.x = d->numberOr("x", 0), r.y = d->numberOr("y", 0), r.z = d->numberOr("z", 0);
            r.a = d->numberOr("a", 0), r.b = d->numberOr("b", 0), r.g = d->numberOr("g", 0);
            r.object = d->text("object");
            r.reference = d->text("reference");
            viewObject = objectNumberOfLabel(r.object);
            runText(c, placementCommand(r));
        }
        finish(c);
    } else if (entry == "Translate...") {
        auto d = makeTranslationDialog(parent);
        if (runDialog(*d) == QDialog::Accepted) {
            TranslationRequest r{d->radio("type"), d->numberOr("x", 0), d->numberOr("y", 0),
                                 d->numberOr("z", 0), d->text("object")};
            viewObject = objectNumberOfLabel(r.object);
            runText(c, translationCommand(r));
            finish(c);
        }
    } else if (entry == "SetWorkbox...") {
        auto d = makeWorkboxDialog(parent);
        if (runDialog(*d) == QDialog::Accepted)
            for (int i = 0; i < 3; ++i) {
                workbox.center[i] = d->numberOr(axisKey("center", i), workbox.center[i]);
                workbox.halfSize[i] = d->numberOr(axisKey("size", i), workbox.halfSize[i]);
            }
        redraw(c);
        qelViewState().gridExtent = gridExtentOf(halfSizes());
        resetGridIncrement();
    } else if (entry == "Wavelength...") {
        auto d = makeWavelengthDialog(parent);
        std::array<double, 12> weights{}, waves{};
        const bool ok = runDialog(*d) == QDialog::Accepted;
        for (int i = 0; i < 12; ++i) {
            weights[i] = ok ? d->numberOr("weight" + std::to_string(i), 0) : weightTable[i];
            waves[i] = ok ? d->numberOr("wavelength" + std::to_string(i), 0) : wavelengthTable[i];
        }
        // The commands change the tables, so the tables and the log agree.
        for (const auto& line : wavelengthCommands(weights, waves))
            runText(c, line);
        finish(c);
    } else if (entry == "Perspective...") {
        const double minimum = perspectiveMinimum(halfSizes());
        if (auto v = askSetValue("distance", viewDistance, parent); v && *v >= minimum)
            viewDistance = *v;
        redraw(c);
    } else if (entry == "Solid...") {
        const int w = c.view ? c.view->ui().clientWidth() : 0;
        const int h = c.view ? c.view->ui().clientHeight() : 0;
        viewDistance = solidEyeDistance(viewDistance, halfSizes());
        memsplit = 1;
        auto d = makeSolidDialog(w, h, parent);
        if (runDialog(*d) == QDialog::Accepted) {
            toolDialogState().solidStep = d->findChild<QSlider*>("step")->value();
            const int nx = static_cast<int>(d->numberOr("nx", 128));
            const int ny = static_cast<int>(d->numberOr("ny", 128));
            MakePaletteDib(nx, ny);
            platform::beginWaitCursor();
            renderSolidImage(d->text("file"), nx, ny, viewAzimuth, viewElevation, 1, viewRays,
                             viewDistance);
            platform::endWaitCursor();
        }
        if (solidMode == 0) solidMode = 2;
        systemMode = 1;
        orthogonalMode = 0;
        viewType = 0;
        redraw(c);
    } else if (entry == "IGES export...") {
        if (c.view) c.view->SetViewType(0);
        redraw(c);
        auto d = makeIgesDialog(parent);
        if (runDialog(*d) != QDialog::Accepted) return true;
        auto& v = qelViewState();
        const std::string records = freeIgesName();
        if (records.empty()) return true;
        v.dataOutputOn = 1;
        v.dataOutputFile = records;
        runText(c, igesCommand(viewRays != 0, quotedName(records)));
        redraw(c);
        std::error_code ec;
        if (std::filesystem::exists(records, ec)) {
            // The export behind --iges, with the dialog's texts where they are given.
            IgesState& s = igesState();
            s.header = IgesHeader{};
            auto given = [&d](const char* key, std::string& into) {
                if (!d->text(key).empty()) into = d->text(key);
            };
            given("author", s.header.author);
            given("organisation", s.header.organisation);
            given("newProductId", s.header.senderProductId);
            given("productId", s.header.receiverProductId);
            std::string output = s.outputName;
            given("file", output);
            s.header.fileName = std::filesystem::path(output).filename().string();
            s.intermediateFile = records;
            // A relative name is taken from the home.
            s.outputDirectory = std::filesystem::path(output).is_absolute() ? "" : programHome;
            s.outputName = output;
            writeIgesFile();
            std::filesystem::remove(records, ec); // also when the conversion failed
        }
        v.dataOutputFile.clear();
        v.dataOutputOn = 0;
    } else if (entry == "PlotScaling...") {
        auto d = makePlotScalingDialog(parent);
        if (runDialog(*d) == QDialog::Accepted) {
            autoplot = d->radio("method") == 0 ? 1 : 0;
            if (!autoplot) plotmax = d->numberOr("value", plotmax);
        }
    } else if (entry == "Replicate...") {
        auto d = makeReplicateDialog(parent);
        if (runDialog(*d) == QDialog::Accepted)
            runText(c, replicateCommand(d->text("base"), objectLabel(viewObject),
                                        static_cast<int>(d->numberOr("copies", 1))));
    } else if (entry == "AltSurfaces>Fresnel...") {
        auto d = makeAltSurfaceDialog(parent);
        if (runDialog(*d) == QDialog::Accepted && c.view) {
            c.view->RunCommandDialog(-1, fresnelAltSurfacePath(d->radio("orientation")));
            finish(c);
            redraw(c);
        }
    } else {
        return false;
    }
    return true;
}

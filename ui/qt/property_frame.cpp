#include "ui/qt/property_frame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/model/current_objects.h"
#include "parts/part_list.h"
#include "parts/plugin_binder.h"
#include "parts/templates/define_params.h"
#include "platform/platform_hooks.h"
#include "platform/temp_file.h"
#include "ui/core/shell_state.h"
#include "ui/qt/main_window.h"
#include "ui/qt/object_tree.h"

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& t) {
    return t.toStdString();
}

const char* const kBrowseFilter = "GRIN DLLs (*.so);; All files (*)";
const char* const kTableFilter = "Data tables (*.txt *.tbl *.ies);; All files (*)";

void setNumbers(std::vector<QLineEdit*>& edits, const double* values, std::size_t count) {
    for (std::size_t i = 0; i < edits.size() && i < count; ++i)
        edits[i]->setText(q(pageNumberText(values[i])));
}

template <std::size_t N>
void setLabels(std::vector<QLabel*>& labels, const std::array<std::string, N>& texts) {
    for (std::size_t i = 0; i < labels.size() && i < N; ++i)
        labels[i]->setText(q(texts[i]));
}

template <std::size_t N> std::array<std::string, N> labelTexts(const std::vector<QLabel*>& labels) {
    std::array<std::string, N> out;
    for (std::size_t i = 0; i < labels.size() && i < N; ++i)
        out[i] = s(labels[i]->text());
    return out;
}

// Checks the radio of `id`; -1 checks none.
void checkRadio(QButtonGroup* group, int id) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(group->id(b) == id);
    group->setExclusive(true);
}

} // namespace

PropertyFrame::PropertyFrame(MainWindow& main)
    : QWidget(&main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), main_(main) {
    setObjectName("PropertyFrame");
    setWindowTitle("Object and Surface Properties");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    sheet_ = new QTabWidget(this);
    sheet_->setObjectName("ObjectPropertySheet");
    // All nine tabs in view: the frame is as wide as its tab row.
    sheet_->tabBar()->setUsesScrollButtons(false);
    layout->addWidget(sheet_);
    buildDefinition();
    buildPlacement();
    buildAttributes();
    buildAltSurfs();
    buildScattering();
    buildFresnel();
    buildExtent();
    buildMedia();
    buildSources();
    // Enter in a field a page lets the user type into is that page's OK: it applies, on every
    // page alike.
    for (int tab = 0; tab < kPropertyTabCount; ++tab)
        for (QLineEdit* e : sheet_->widget(tab)->findChildren<QLineEdit*>())
            if (!e->isReadOnly())
                connect(e, &QLineEdit::returnPressed, applies_[static_cast<std::size_t>(tab)],
                        &QPushButton::click);
    // Showing the Definition page brings the sheet up to date directly: nothing is run.
    connect(sheet_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == kTabDefinition && !loading_) SetObjectNames(label_, surface_);
    });
    showSnapshot(snap_);
}

void PropertyFrame::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
}

// ---- building ----

QWidget* PropertyFrame::addPage(const QString& caption, const QString& applyText) {
    auto* page = new QWidget;
    page->setObjectName(caption);
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    const int tab = sheet_->addTab(page, caption);
    auto* apply = new QPushButton(applyText, page);
    apply->setObjectName("apply");
    applies_[static_cast<std::size_t>(tab)] = apply;
    names_.push_back(addNameField(page));
    return page;
}

QLineEdit* PropertyFrame::addNameField(QWidget* page) {
    auto* grid = static_cast<QGridLayout*>(page->layout());
    auto* name = new QLineEdit(page);
    name->setObjectName("name");
    name->setReadOnly(true);
    grid->addWidget(new QLabel("Object", page), grid->rowCount(), 0);
    grid->addWidget(name, grid->rowCount() - 1, 1);
    return name;
}

PropertyFrame::Values PropertyFrame::addValues(QWidget* page, const QStringList& fixedLabels,
                                               int count, const QString& prefix) {
    auto* grid = static_cast<QGridLayout*>(page->layout());
    Values v;
    for (int i = 0; i < count; ++i) {
        auto* label = new QLabel(i < fixedLabels.size() ? fixedLabels[i] : QString(), page);
        auto* edit = new QLineEdit(page);
        label->setObjectName(prefix + "Label" + QString::number(i));
        edit->setObjectName(prefix + QString::number(i));
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        v.labels.push_back(label);
        v.edits.push_back(edit);
    }
    return v;
}

QButtonGroup* PropertyFrame::addRadios(QWidget* page, const QString& title,
                                       const QStringList& texts, const QString& name) {
    auto* grid = static_cast<QGridLayout*>(page->layout());
    auto* box = new QGroupBox(title, page);
    auto* row = new QGridLayout(box);
    auto* group = new QButtonGroup(page);
    group->setObjectName(name);
    for (int i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(texts[i], box);
        row->addWidget(radio, i / 3, i % 3);
        group->addButton(radio, i);
    }
    grid->addWidget(box, grid->rowCount(), 0, 1, 2);
    return group;
}

void PropertyFrame::buildDefinition() {
    QWidget* page = addPage("Definition", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    glass_ = new QComboBox(page);
    glass_->setObjectName("glass");
    grid->addWidget(new QLabel("Optical Material", page), grid->rowCount(), 0);
    grid->addWidget(glass_, grid->rowCount() - 1, 1);
    mediumOwner_ = new QLineEdit(page);
    mediumOwner_->setObjectName("medium");
    mediumOwner_->setReadOnly(true);
    grid->addWidget(new QLabel("Inside", page), grid->rowCount(), 0);
    grid->addWidget(mediumOwner_, grid->rowCount() - 1, 1);
    defValues_ = addValues(page, {}, DefinitionPageValues::kValues, "value");
    grid->addWidget(applies_[kTabDefinition], grid->rowCount(), 1);
    connect(applies_[kTabDefinition], &QPushButton::clicked, this, [this] { applyDefinition(); });
}

void PropertyFrame::buildPlacement() {
    QWidget* page = addPage("Placement", "Place&&Activate");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    inside_ = new QComboBox(page);
    inside_->setObjectName("inside");
    grid->addWidget(new QLabel("Place Inside Object", page), grid->rowCount(), 0);
    grid->addWidget(inside_, grid->rowCount() - 1, 1);
    placeValues_ = addValues(page, {"X", "Y", "Z", "alpha", "beta", "gamma"}, 6, "value");
    activated_ = new QCheckBox("Activated", page);
    activated_->setObjectName("activated");
    inPlace_ = new QCheckBox("In Place", page);
    inPlace_->setObjectName("inPlace");
    const int row = grid->rowCount();
    grid->addWidget(activated_, row, 0);
    grid->addWidget(inPlace_, row, 1);
    grid->addWidget(applies_[kTabPlacement], row + 1, 1);
    connect(applies_[kTabPlacement], &QPushButton::clicked, this, [this] { applyPlacement(); });
    connect(activated_, &QCheckBox::clicked, this, [this](bool on) {
        PlacementPageValues v = snap_.placement;
        issue(composeActivated(v, on));
    });
    connect(inPlace_, &QCheckBox::clicked, this, [this](bool on) {
        PlacementPageValues v = snap_.placement;
        if (on && !readPlacement(v)) return;
        issue(composeInPlace(v, on));
    });
}

void PropertyFrame::buildAttributes() {
    QWidget* page = addPage("Attributes", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    attrValues_ = addValues(page, {"refl", "absor", "reserved"}, 3, "value");
    QStringList names;
    for (int i = 1; i <= 12; ++i)
        names << QString("N%1").arg(i);
    grid->addWidget(new QLabel("Indices/wavelength", page), grid->rowCount(), 0, 1, 2);
    indexValues_ = addValues(page, names, 12, "index");
    for (QLineEdit* e : indexValues_.edits)
        e->setReadOnly(true);
    grid->addWidget(applies_[kTabAttributes], grid->rowCount(), 1);
    connect(applies_[kTabAttributes], &QPushButton::clicked, this, [this] { applyAttributes(); });
}

void PropertyFrame::buildAltSurfs() {
    QWidget* page = addPage("AltSurfs", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    altType_ = addRadios(page, "Type", {"None", "Toric", "Aspheric", "Fresnel", "Grating", "Other"},
                         "type");
    fresnelKind_ = addRadios(page, "Fresnel", {"Radial", "X cylindrical", "Y cylindrical"}, "kind");
    altValues_ = addValues(page, {}, 6, "value");
    grid->addWidget(applies_[kTabAltSurfs], grid->rowCount(), 1);
    connect(applies_[kTabAltSurfs], &QPushButton::clicked, this, [this] { applyAltSurface(); });
    connect(altType_, &QButtonGroup::idClicked, this, [this](int id) {
        AltSurfacePageValues v = snap_.altSurface;
        chooseAltSurfaceType(v, id);
        snap_.altSurface = v;
        showAltSurface(v);
    });
}

void PropertyFrame::buildScattering() {
    QWidget* page = addPage("Scattering", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    scatType_ = addRadios(
        page, "Type", {"None", "Lambertian", "Gaussian", "PowerLaw", "X-Y Exponential"}, "type");
    scatValues_ = addValues(page, {}, 3, "value");
    grid->addWidget(applies_[kTabScattering], grid->rowCount(), 1);
    connect(applies_[kTabScattering], &QPushButton::clicked, this, [this] { applyScattering(); });
    connect(scatType_, &QButtonGroup::idClicked, this, [this](int id) {
        ScatteringPageValues v = snap_.scattering;
        double values[3];
        if (read(scatValues_.edits, values, true)) v.values = {values[0], values[1], values[2]};
        chooseScatteringType(v, id);
        snap_.scattering = v;
        showScattering(v);
    });
}

void PropertyFrame::buildFresnel() {
    QWidget* page = addPage("Fresnel", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    coatType_ = addRadios(page, "Type", {"None", "Fresnel", "Metal", "LWIRMetal"}, "type");
    consValues_ =
        addValues(page, {"CONS1", "CONS2", "CONS3", "CONS4", "CONS5", "CONS6"}, 6, "value");
    grid->addWidget(applies_[kTabFresnel], grid->rowCount(), 1);
    connect(applies_[kTabFresnel], &QPushButton::clicked, this, [this] { applyFresnel(); });
    connect(coatType_, &QButtonGroup::idClicked, this, [this](int id) {
        FresnelPageValues v = snap_.fresnel;
        chooseFresnelType(v, id);
        snap_.fresnel = v;
        showFresnel(v);
    });
}

void PropertyFrame::buildExtent() {
    QWidget* page = addPage("Extent", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    outside_ = new QCheckBox("Outside", page);
    insideCheck_ = new QCheckBox("Inside", page);
    // Display only: a click puts the loaded state back.
    connect(outside_, &QCheckBox::clicked, this,
            [this] { outside_->setChecked(snap_.extent.outside); });
    connect(insideCheck_, &QCheckBox::clicked, this,
            [this] { insideCheck_->setChecked(snap_.extent.inside); });
    const int row = grid->rowCount();
    grid->addWidget(outside_, row, 0);
    grid->addWidget(insideCheck_, row, 1);
    holeValues_ =
        addValues(page, {"Hole X center", "X half-size", "Y center", "Y half-size"}, 4, "hole");
    holeType_ = addRadios(page, "Hole", {"None", "Rectangular", "Oval"}, "holeType");
    extentValues_ = addValues(
        page, {"X minimum", "X maximum", "Y minimum", "Y maximum", "Z minimum", "Z maximum"}, 6,
        "value");
    grid->addWidget(applies_[kTabExtent], grid->rowCount(), 1);
    connect(applies_[kTabExtent], &QPushButton::clicked, this, [this] { applyExtent(); });
}

void PropertyFrame::buildMedia() {
    QWidget* page = addPage("Media", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    mediaDll_ = new QLineEdit(page);
    mediaDll_->setObjectName("dll");
    auto* browse = new QPushButton("Browse DLL...", page);
    browse->setObjectName("browseDll");
    grid->addWidget(browse, grid->rowCount(), 0);
    grid->addWidget(mediaDll_, grid->rowCount() - 1, 1);
    mediaType_ = addRadios(page, "Special Material Types",
                           {"None", "Bulk Scattering", "Gradient Index"}, "type");
    volumeAbsorption_ = new QLineEdit(page);
    volumeAbsorption_->setObjectName("absorption");
    grid->addWidget(new QLabel("Volume Absorption", page), grid->rowCount(), 0);
    grid->addWidget(volumeAbsorption_, grid->rowCount() - 1, 1);
    mediaValues_ = addValues(page, {}, 9, "value");
    grid->addWidget(applies_[kTabMedia], grid->rowCount(), 1);
    connect(applies_[kTabMedia], &QPushButton::clicked, this, [this] { applyMedia(); });
    connect(browse, &QPushButton::clicked, this, [this] { browseMediaDll(); });
    connect(mediaType_, &QButtonGroup::idClicked, this, [this](int id) {
        MediaPageValues v = snap_.media;
        // The choice sets every value; only the labels and the file are taken from the page.
        v.labels = labelTexts<9>(mediaValues_.labels);
        v.pluginFile = s(mediaDll_->text());
        chooseMediaType(v, id);
        snap_.media = v;
        showMedia(v);
    });
}

void PropertyFrame::buildSources() {
    QWidget* page = addPage("Sources", "Apply Now");
    auto* grid = static_cast<QGridLayout*>(page->layout());
    browseTable_ = new QPushButton("Browse Table...", page);
    browseTable_->setObjectName("browseTable");
    tableFile_ = new QLineEdit(page);
    tableFile_->setObjectName("table");
    grid->addWidget(browseTable_, grid->rowCount(), 0);
    grid->addWidget(tableFile_, grid->rowCount() - 1, 1);
    browseDll_ = new QPushButton("Browse DLL...", page);
    browseDll_->setObjectName("browseDll");
    dllFile_ = new QLineEdit(page);
    dllFile_->setObjectName("dll");
    grid->addWidget(browseDll_, grid->rowCount(), 0);
    grid->addWidget(dllFile_, grid->rowCount() - 1, 1);
    sourceType_ = addRadios(
        page, "Source", {"None", "Custom DLL", "IESNA Table", "Standard DLL", "User-Defined Table"},
        "type");
    sourceValues_ = addValues(page, {}, 9, "value");
    grid->addWidget(applies_[kTabSources], grid->rowCount(), 1);
    connect(applies_[kTabSources], &QPushButton::clicked, this, [this] { applySource(); });
    connect(browseDll_, &QPushButton::clicked, this, [this] { browseSourceDll(); });
    connect(browseTable_, &QPushButton::clicked, this, [this] { browseSourceTable(); });
    connect(sourceType_, &QButtonGroup::idClicked, this, [this](int id) {
        SourcePageValues v = snap_.source;
        v.labels = labelTexts<9>(sourceValues_.labels);
        chooseSourceType(v, id);
        snap_.source = v;
        showSource(v);
    });
}

// ---- loading ----

void PropertyFrame::SetObjectNames(const std::string& label, int surface) {
    label_ = label;
    surface_ = surface;
    snap_ = LoadPropertySnapshot(label, surface);
    if (snap_.hasPart && !snap_.faceFound && isVisible())
        platform::hooks().messageBox("object property load", "Face not found",
                                     platform::BoxIcon::Information);
    showSnapshot(snap_);
}

void PropertyFrame::showSnapshot(const PropertySnapshot& p) {
    loading_ = true;
    setWindowTitle(q("Properties for " + p.title));
    for (QLineEdit* n : names_)
        n->setText(q(p.title));
    for (QPushButton* b : applies_)
        b->setEnabled(p.hasPart);
    for (QWidget* w :
         std::initializer_list<QWidget*>{activated_, inPlace_, browseDll_, browseTable_})
        w->setEnabled(p.hasPart);

    const DefinitionPageValues& d = p.definition;
    // Long lists are put in again only when they changed: a catalog holds thousands of glasses.
    if (d.glassNames != glassShown_) {
        glass_->clear();
        QStringList items;
        for (const std::string& g : d.glassNames)
            items << q(g);
        glass_->addItems(items);
        glassShown_ = d.glassNames;
    }
    glass_->setCurrentIndex(d.glassSelection);
    mediumOwner_->setText(q(d.mediumOwner));
    setLabels(defValues_.labels, d.labels);
    setNumbers(defValues_.edits, d.values.data(), d.values.size());
    names_[kTabDefinition]->setText(q(d.objectName));

    // The place-inside list is refilled at every load.
    const PlacementPageValues& pl = p.placement;
    std::vector<std::string> choices = placementChoices(pl.objectNames, pl.name);
    if (choices != insideShown_) {
        inside_->clear();
        QStringList items;
        for (const std::string& n : choices)
            items << q(n);
        inside_->addItems(items);
        insideShown_ = std::move(choices);
    }
    inside_->setCurrentIndex(
        pl.insideName.empty() ? 0 : std::max(0, inside_->findText(q(pl.insideName))));
    const double place[6] = {pl.x, pl.y, pl.z, pl.alpha, pl.beta, pl.gamma};
    setNumbers(placeValues_.edits, place, 6);
    activated_->setChecked(pl.activated);
    inPlace_->setChecked(pl.inPlace);

    const AttributesPageValues& a = p.attributes;
    const double attr[3] = {a.refl, a.absor, a.reserved};
    setNumbers(attrValues_.edits, attr, 3);
    setNumbers(indexValues_.edits, a.indices.data(), a.indices.size());

    showAltSurface(p.altSurface);
    showScattering(p.scattering);
    showFresnel(p.fresnel);

    const ExtentPageValues& e = p.extent;
    outside_->setChecked(e.outside);
    insideCheck_->setChecked(e.inside);
    const double hole[4] = {e.holeXCenter, e.holeXHalf, e.holeYCenter, e.holeYHalf};
    setNumbers(holeValues_.edits, hole, 4);
    checkRadio(holeType_, e.holeType);
    for (QAbstractButton* b : holeType_->buttons())
        b->setEnabled(e.holeSection);
    for (QLineEdit* h : holeValues_.edits)
        h->setEnabled(e.holeSection);
    const double ext[6] = {e.xMin, e.xMax, e.yMin, e.yMax, e.zMin, e.zMax};
    setNumbers(extentValues_.edits, ext, 6);

    showMedia(p.media);
    showSource(p.source);
    loading_ = false;
}

void PropertyFrame::showAltSurface(const AltSurfacePageValues& v) {
    checkRadio(altType_, v.type);
    checkRadio(fresnelKind_, v.fresnelKind);
    setLabels(altValues_.labels, v.labels);
    setNumbers(altValues_.edits, v.values.data(), 6);
}

void PropertyFrame::showScattering(const ScatteringPageValues& v) {
    checkRadio(scatType_, v.type);
    setLabels(scatValues_.labels, v.labels);
    setNumbers(scatValues_.edits, v.values.data(), 3);
}

void PropertyFrame::showFresnel(const FresnelPageValues& v) {
    checkRadio(coatType_, v.type);
    setNumbers(consValues_.edits, v.cons.data(), 6);
}

void PropertyFrame::showMedia(const MediaPageValues& v) {
    checkRadio(mediaType_, v.materialType);
    mediaDll_->setText(q(v.pluginFile));
    setLabels(mediaValues_.labels, v.labels);
    setNumbers(mediaValues_.edits, v.values.data(), 9);
    volumeAbsorption_->setText(q(pageNumberText(v.volumeAbsorption)));
}

void PropertyFrame::showSource(const SourcePageValues& v) {
    checkRadio(sourceType_, v.type);
    tableFile_->setText(q(v.tableFile));
    dllFile_->setText(q(v.dllFile));
    const bool table = v.type == 2 || v.type == 4, dll = v.type == 1 || v.type == 3;
    browseTable_->setEnabled(snap_.hasPart && table);
    browseDll_->setEnabled(snap_.hasPart && dll);
    setLabels(sourceValues_.labels, v.labels);
    setNumbers(sourceValues_.edits, v.values.data(), 9);
}

// ---- applying ----

void PropertyFrame::refuse(const std::string& why) {
    platform::hooks().messageBox(kPropertyRefusalCaption, why, platform::BoxIcon::Warning);
}

bool PropertyFrame::read(const std::vector<QLineEdit*>& edits, double* out, bool quiet) {
    for (std::size_t i = 0; i < edits.size(); ++i)
        if (!readPageNumber(s(edits[i]->text()), out[i])) {
            if (!quiet)
                refuse("\"" + s(edits[i]->text()) + "\" is not a number; nothing was applied.");
            return false;
        }
    return true;
}

void PropertyFrame::issue(const ComposedCommands& c) {
    if (!snap_.hasPart) return;
    if (!c.ok()) {
        refuse(c.refusal);
        return;
    }
    // Every text was composed before the first runs: each run reloads the sheet.
    for (const std::string& t : c.texts)
        main_.IssueCommandText(t);
}

void PropertyFrame::applyDefinition() {
    if (!snap_.hasPart) return;
    DefinitionPageValues v = snap_.definition;
    double values[DefinitionPageValues::kValues];
    if (!read(defValues_.edits, values)) return;
    std::copy(values, values + DefinitionPageValues::kValues, v.values.begin());
    v.glassSelection = glass_->currentIndex();
    const ComposedCommands c = composeDefinition(v);
    if (!c.ok()) {
        refuse(c.refusal);
        return;
    }
    // IssueDefineCommand: the part is marked for redefinition by the define it runs. The
    // selected object is the one the page shows, found again by its name.
    const CPart* part = thePartList ? thePartList->FindPart(label_) : nullptr;
    if (!part || !part->geometry) return;
    viewObject = part->geometry->number;
    std::string text = c.texts.front();
    std::string path;
    const int ready = main_.document().Metamorph(viewObject, &defineParams, &path);
    if (ready == 0) return;
    if (ready == -1) {
        // A polygon net is not redefined: its glass is changed.
        const std::size_t eq = text.find('=');
        std::string glass;
        if (eq != std::string::npos) glass = text.substr(eq, text.find(' ', eq) - eq);
        text = "material/glass/name" + glass + " " + objectLabel(viewObject);
        defineParams.paramCount = 0;
    }
    main_.IssueCommandText(text);
}

bool PropertyFrame::readPlacement(PlacementPageValues& v) {
    double p[6];
    if (!read(placeValues_.edits, p)) return false;
    v.x = p[0], v.y = p[1], v.z = p[2], v.alpha = p[3], v.beta = p[4], v.gamma = p[5];
    v.insideName = inside_->currentIndex() > 0 ? s(inside_->currentText()) : std::string();
    return true;
}

void PropertyFrame::applyPlacement() {
    PlacementPageValues v = snap_.placement;
    if (readPlacement(v)) issue(composePlacement(v));
}

void PropertyFrame::applyAttributes() {
    AttributesPageValues v = snap_.attributes;
    double a[3];
    if (!read({attrValues_.edits[0], attrValues_.edits[1]}, a)) return;
    v.refl = a[0];
    v.absor = a[1];
    issue(composeAttributes(v));
}

bool PropertyFrame::readAltSurface(AltSurfacePageValues& v) {
    double values[6];
    if (!read(altValues_.edits, values)) return false;
    std::copy(values, values + 6, v.values.begin());
    v.type = altType_->checkedId();
    v.fresnelKind = fresnelKind_->checkedId();
    return true;
}

void PropertyFrame::applyAltSurface() {
    AltSurfacePageValues v = snap_.altSurface;
    if (readAltSurface(v)) issue(composeAltSurface(v));
}

bool PropertyFrame::readScattering(ScatteringPageValues& v) {
    double values[3];
    if (!read(scatValues_.edits, values)) return false;
    v.values = {values[0], values[1], values[2]};
    v.type = scatType_->checkedId();
    return true;
}

void PropertyFrame::applyScattering() {
    ScatteringPageValues v = snap_.scattering;
    if (readScattering(v)) issue(composeScattering(v));
}

void PropertyFrame::applyFresnel() {
    FresnelPageValues v = snap_.fresnel;
    double values[6];
    if (!read(consValues_.edits, values)) return;
    std::copy(values, values + 6, v.cons.begin());
    v.type = coatType_->checkedId();
    issue(composeFresnel(v));
}

void PropertyFrame::applyExtent() {
    ExtentPageValues v = snap_.extent;
    double hole[4], ext[6];
    if (!read(holeValues_.edits, hole) || !read(extentValues_.edits, ext)) return;
    v.holeXCenter = hole[0], v.holeXHalf = hole[1], v.holeYCenter = hole[2], v.holeYHalf = hole[3];
    v.holeType = holeType_->checkedId();
    v.xMin = ext[0], v.xMax = ext[1], v.yMin = ext[2], v.yMax = ext[3], v.zMin = ext[4],
    v.zMax = ext[5];
    issue(composeExtent(v));
}

bool PropertyFrame::readMedia(MediaPageValues& v) {
    double values[9], absorption = 0;
    if (!read(mediaValues_.edits, values) || !read({volumeAbsorption_}, &absorption)) return false;
    std::copy(values, values + 9, v.values.begin());
    v.volumeAbsorption = absorption;
    v.pluginFile = s(mediaDll_->text());
    v.materialType = mediaType_->checkedId();
    v.labels = labelTexts<9>(mediaValues_.labels);
    return true;
}

void PropertyFrame::applyMedia() {
    MediaPageValues v = snap_.media;
    if (readMedia(v)) issue(composeMedia(v));
}

bool PropertyFrame::readSource(SourcePageValues& v) {
    double values[9];
    if (!read(sourceValues_.edits, values)) return false;
    std::copy(values, values + 9, v.values.begin());
    v.tableFile = s(tableFile_->text());
    v.dllFile = s(dllFile_->text());
    v.type = sourceType_->checkedId();
    v.labels = labelTexts<9>(sourceValues_.labels);
    return true;
}

void PropertyFrame::applySource() {
    SourcePageValues v = snap_.source;
    if (readSource(v)) issue(composeSource(v));
}

// ---- browsing ----

bool PropertyFrame::bindForLabels(const std::string& path, const char* entry,
                                  std::vector<QLabel*>& labels) {
    int status = 0;
    void* module = nullptr;
    if (!LoadPluginEntry(path, entry, status, module) || status != kPluginBound) {
        platform::hooks().messageBox("Source dll error", "DLL not found or wrong type.",
                                     platform::BoxIcon::Error);
        return false;
    }
    // A library without names leaves the labels as they are.
    if (const PluginEntry names = GetPluginParamNames())
        for (int i = 0; i < 9 && i < static_cast<int>(labels.size()); ++i)
            labels[static_cast<std::size_t>(i)]->setText(q(pluginParamName(names, i)));
    return true;
}

void PropertyFrame::browseSourceDll() {
    // The chooser never changes the current directory, where the output files live.
    // Custom sources start among the custom plug-ins, standard ones among the standard ones.
    const char* folder =
        sourceType_->checkedId() == 3 ? "sources/standard/dlls" : "sources/custom/dlls";
    const auto path = main_.prompts().chooseOpenFileIn("Browse DLL...", kBrowseFilter,
                                                       platform::joinPath(programHome, folder));
    if (!path) return;
    dllFile_->setText(q(*path));
    bindForLabels(*path, "UserSourceRay", sourceValues_.labels);
}

void PropertyFrame::browseSourceTable() {
    const auto path = main_.prompts().chooseOpenFile("Browse Table...", kTableFilter);
    if (!path) return;
    tableFile_->setText(q(*path));
    bindForLabels(tableSourceModule(sourceType_->checkedId(), *path), "UserSourceRay",
                  sourceValues_.labels);
}

void PropertyFrame::browseMediaDll() {
    const auto path = main_.prompts().chooseOpenFileIn(
        "Browse DLL...", kBrowseFilter, platform::joinPath(programHome, "sources/custom/dlls"));
    if (!path) return;
    mediaDll_->setText(q(*path));
    bindForLabels(*path, "UserGrinDefinition", mediaValues_.labels);
}

// ---- the host ----

PropertyFrameHost::PropertyFrameHost(MainWindow& main) : QObject(&main), main_(main) {
    shellState().showPropertyFrame = [this] { ShowPropertyFrame(); };
    shellState().refreshObjectProperties = [this] { RefreshObjectProperties(); };
    settingsHooks().refreshProperties = [this] { RefreshObjectProperties(); };
}

PropertyFrameHost::~PropertyFrameHost() {
    shellState().showPropertyFrame = nullptr;
    shellState().refreshObjectProperties = nullptr;
    settingsHooks().refreshProperties = nullptr;
}

void PropertyFrameHost::ShowPropertyFrame() {
    if (!frame_) {
        frame_ = new PropertyFrame(main_);
        frame_->adjustSize();
        // Centred on the main window.
        const QRect r = main_.geometry();
        frame_->move(r.center() - QPoint(frame_->width() / 2, frame_->height() / 2));
    }
    RefreshObjectProperties();
    if (!frame_->isVisible()) frame_->show();
}

void PropertyFrameHost::RefreshObjectProperties() {
    if (!frame_) return;
    const ObjectTree* tree = main_.tree();
    std::string label = tree ? tree->selectedLabel() : std::string();
    int surface = tree ? tree->selectedSurface() : 1;
    if (label.empty() && viewObject > 0) {
        // A selection made outside the tree (the command line).
        label = objectLabel(viewObject);
        surface = 1;
    }
    frame_->SetObjectNames(label, surface);
}

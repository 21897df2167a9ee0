// The floating "Object and Surface Properties" window: a tool window owned by the main window
// whose tabbed sheet shows the selected object and surface on nine pages. Each page's apply
// composes its command texts (ui/props) and issues them through the main window, like typed
// commands; every issue reloads the sheet. Closing the window only hides it.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "ui/props/page_commands.h"
#include "ui/props/property_snapshot.h"

class MainWindow;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The tab order of the sheet.
enum PropertyTab : int {
    kTabDefinition = 0,
    kTabPlacement,
    kTabAttributes,
    kTabAltSurfs,
    kTabScattering,
    kTabFresnel,
    kTabExtent,
    kTabMedia,
    kTabSources,
    kPropertyTabCount
};

class PropertyFrame : public QWidget {
    Q_OBJECT
  public:
    explicit PropertyFrame(MainWindow& main);

    // Loads the pages from the part named `label` and its surface (the sheet's
    // LoadObjectProperties). "Face not found" is shown only while the window is visible.
    void SetObjectNames(const std::string& label, int surface);
    QTabWidget* sheet() const { return sheet_; }
    const PropertySnapshot& snapshot() const { return snap_; }
    // The apply button of a tab.
    QPushButton* applyButton(int tab) const { return applies_[static_cast<std::size_t>(tab)]; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Values {
        std::vector<QLabel*> labels;
        std::vector<QLineEdit*> edits;
    };
    QWidget* addPage(const QString& caption, const QString& applyText);
    Values addValues(QWidget* page, const QStringList& fixedLabels, int count,
                     const QString& prefix);
    QButtonGroup* addRadios(QWidget* page, const QString& title, const QStringList& texts,
                            const QString& name);
    QLineEdit* addNameField(QWidget* page);
    void buildDefinition();
    void buildPlacement();
    void buildAttributes();
    void buildAltSurfs();
    void buildScattering();
    void buildFresnel();
    void buildExtent();
    void buildMedia();
    void buildSources();

    // Shows the snapshot in the widgets.
    void showSnapshot(const PropertySnapshot& s);
    void showAltSurface(const AltSurfacePageValues& v);
    void showScattering(const ScatteringPageValues& v);
    void showFresnel(const FresnelPageValues& v);
    void showMedia(const MediaPageValues& v);
    void showSource(const SourcePageValues& v);
    // Reads number fields into `out`; false (after the box, unless `quiet`) when one is not a
    // number.
    bool read(const std::vector<QLineEdit*>& edits, double* out, bool quiet = false);
    void refuse(const std::string& why);
    // Issues composed texts through the main window (a refusal shows its box instead).
    void issue(const ComposedCommands& c);
    void applyDefinition();
    void applyPlacement();
    void applyAttributes();
    void applyAltSurface();
    void applyScattering();
    void applyFresnel();
    void applyExtent();
    void applyMedia();
    void applySource();
    bool readPlacement(PlacementPageValues& v);
    bool readAltSurface(AltSurfacePageValues& v);
    bool readScattering(ScatteringPageValues& v);
    bool readMedia(MediaPageValues& v);
    bool readSource(SourcePageValues& v);
    // Browsing binds a plug-in for its parameter names; false when it does not bind.
    bool bindForLabels(const std::string& path, const char* entry, std::vector<QLabel*>& labels);
    void browseSourceDll();
    void browseSourceTable();
    void browseMediaDll();

    MainWindow& main_;
    QTabWidget* sheet_ = nullptr;
    PropertySnapshot snap_;
    std::string label_;
    int surface_ = 1;
    bool loading_ = false;
    std::array<QPushButton*, kPropertyTabCount> applies_{};
    std::vector<QLineEdit*> names_;

    // Definition.
    QComboBox* glass_ = nullptr;
    std::vector<std::string> glassShown_; // what glass_ holds
    QLineEdit* mediumOwner_ = nullptr;
    Values defValues_;
    // Placement.
    QComboBox* inside_ = nullptr;
    std::vector<std::string> insideShown_; // what inside_ holds
    Values placeValues_;
    QCheckBox* activated_ = nullptr;
    QCheckBox* inPlace_ = nullptr;
    // Attributes.
    Values attrValues_;
    Values indexValues_;
    // AltSurfs.
    Values altValues_;
    QButtonGroup* altType_ = nullptr;
    QButtonGroup* fresnelKind_ = nullptr;
    // Scattering.
    Values scatValues_;
    QButtonGroup* scatType_ = nullptr;
    // Fresnel.
    Values consValues_;
    QButtonGroup* coatType_ = nullptr;
    // Extent.
    QCheckBox* outside_ = nullptr;
    QCheckBox* insideCheck_ = nullptr;
    Values holeValues_;
    QButtonGroup* holeType_ = nullptr;
    Values extentValues_;
    // Media.
    QLineEdit* mediaDll_ = nullptr;
    Values mediaValues_;
    QLineEdit* volumeAbsorption_ = nullptr;
    QButtonGroup* mediaType_ = nullptr;
    // Sources.
    QLineEdit* tableFile_ = nullptr;
    QLineEdit* dllFile_ = nullptr;
    QButtonGroup* sourceType_ = nullptr;
    Values sourceValues_;
    QPushButton* browseTable_ = nullptr;
    QPushButton* browseDll_ = nullptr;
};

// The main window's property frame: made on first show, kept (hidden when closed) until the
// window goes. Installs the shell's showPropertyFrame and refreshObjectProperties seams and the
// SET command's refreshProperties hook; they are cleared again with the host.
class PropertyFrameHost : public QObject {
    Q_OBJECT
  public:
    explicit PropertyFrameHost(MainWindow& main);
    ~PropertyFrameHost() override;
    // CMainFrame::ShowPropertyFrame.
    void ShowPropertyFrame();
    // CMainFrame::RefreshObjectProperties: loads the selection when the frame exists.
    void RefreshObjectProperties();
    PropertyFrame* frame() const { return frame_; }

  private:
    MainWindow& main_;
    PropertyFrame* frame_ = nullptr;
};

// The dialogs of the parameter input: "Parameter Input" (ten labelled number rows, the object
// name, "Do All Objects"), "Enter a name for the object", "Mirror Reflective Side" and
// "Set value"; and the seam through which the composer asks them.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ui/compose/command_dialog.h"
#include "ui/qt/dialogs/form_dialog.h"

class QWidget;

// "Parameter Input" for a request: the title is the path; rows beyond the count are hidden;
// below mode 0 field 0 is hidden (the object number travels unseen); mode 0 hides the name;
// "Do All Objects" only in mode -3. The "Reflective Side" boxes are never shown.
std::unique_ptr<FormDialog> makeParameterInputDialog(const ParameterRequest& request,
                                                     QWidget* parent);
// The answer of an accepted "Parameter Input" back into the request.
void readParameterInputDialog(const FormDialog& dialog, ParameterRequest& request);
std::unique_ptr<FormDialog> makeObjectNameDialog(QWidget* parent);
std::unique_ptr<FormDialog> makeReflectiveSideDialog(int mode, QWidget* parent);
// "Set value": the label and the value; nullopt when cancelled.
std::optional<double> askSetValue(const std::string& label, double value, QWidget* parent);

// The composer's questions answered by these dialogs; boxes go to `box`.
class QtCommandDialogSeam : public CommandDialogSeam {
  public:
    QtCommandDialogSeam(QWidget* parent,
                        std::function<void(const std::string& text, bool error)> box)
        : parent_(parent), box_(std::move(box)) {}
    std::optional<std::string> askObjectName(const std::string& refusal) override;
    bool askParameters(ParameterRequest& request, const std::string& refusal) override;
    std::optional<ReflectiveSide> askSide(int mode) override;
    void infoBox(const std::string& text) override { box_(text, false); }
    void errorBox(const std::string& text) override { box_(text, true); }

  private:
    QWidget* parent_;
    std::function<void(const std::string&, bool)> box_;
};

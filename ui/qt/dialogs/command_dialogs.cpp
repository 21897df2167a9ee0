#include "ui/qt/dialogs/command_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/compose/field_text.h"

namespace {

constexpr int kObjectNameLength = 19;

std::string valueKey(int i) {
    return "value" + std::to_string(i);
}

} // namespace

std::unique_ptr<FormDialog> makeParameterInputDialog(const ParameterRequest& request,
                                                     QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Parameter Input", parent);
    d->setObjectName("ParameterInput");
    QLineEdit* name = d->addText("objectName", "Object name:", request.objectName, kObjectNameLength);
    if (request.mode == 0) {
        d->label("objectName")->clear();
        d->label("objectName")->hide();
        name->hide();
        name->setEnabled(false);
    }
    for (int i = 0; i < kParameterRows; ++i) {
        const QString label = i < request.count ? QString::fromStdString(request.names[i]) : "";
        QLineEdit* f = d->addNumber(valueKey(i), label, request.values[i]);
        const bool used = i < request.count && !(i == 0 && request.mode < 0);
        if (!used) {
            f->hide();
            f->setEnabled(false);
            d->label(valueKey(i))->hide();
            if (i == 0) d->label(valueKey(i))->clear();
        }
    }
    QCheckBox* all = d->addCheck("doAll", "Do All Objects", request.doAll);
    if (request.mode != -3) {
        all->hide();
        all->setEnabled(false);
    }
    d->setWindowTitle(QString::fromStdString(request.title));
    const int mode = request.mode;
    FormDialog* raw = d.get();
    d->check = [raw, mode]() -> std::optional<std::string> {
        ParameterRequest answer;
        answer.mode = mode;
        answer.objectName = raw->text("objectName");
        std::string refusal = parameterRefusal(answer);
        if (refusal.empty()) return std::nullopt;
        return refusal;
    };
    d->adjustSize();
    return d;
}

void readParameterInputDialog(const FormDialog& dialog, ParameterRequest& request) {
    if (request.mode != 0) request.objectName = dialog.text("objectName");
    for (int i = 0; i < kParameterRows; ++i)
        if (dialog.field(valueKey(i))->isEnabled())
            request.values[i] = dialog.numberOr(valueKey(i), request.values[i]);
    request.doAll = request.mode == -3 && dialog.checked("doAll");
}

std::unique_ptr<FormDialog> makeObjectNameDialog(QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Enter a name for the object", parent);
    d->setObjectName("ObjectName");
    d->addText("name", "Name", "", kObjectNameLength);
    FormDialog* raw = d.get();
    d->check = [raw]() -> std::optional<std::string> {
        const std::string name = raw->text("name");
        if (name.empty() || isCommandName(name, kObjectNameLength)) return std::nullopt;
        return commandNameRefusal("Name", kObjectNameLength);
    };
    return d;
}

std::unique_ptr<FormDialog> makeReflectiveSideDialog(int mode, QWidget* parent) {
    auto d = std::make_unique<FormDialog>("Mirror Reflective Side", parent);
    d->setObjectName("ReflectiveSide");
    (void)mode;
    d->addRadio("side", "", {"Both", "Front (Inside)", "Back (Outside)"}, 0);
    return d;
}

std::optional<double> askSetValue(const std::string& label, double value, QWidget* parent) {
    FormDialog d("Set value", parent);
    d.setObjectName("SetValue");
    d.addNumber("value", QString::fromStdString(label), value);
    if (runDialog(d) != QDialog::Accepted) return std::nullopt;
    return d.number("value");
}

std::optional<std::string> QtCommandDialogSeam::askObjectName(const std::string& refusal) {
    auto d = makeObjectNameDialog(parent_);
    if (!refusal.empty()) d->refuse(refusal);
    if (runDialog(*d) != QDialog::Accepted) return std::nullopt;
    return d->text("name");
}

bool QtCommandDialogSeam::askParameters(ParameterRequest& request, const std::string& refusal) {
    auto d = makeParameterInputDialog(request, parent_);
    if (!refusal.empty()) d->refuse(refusal);
    if (runDialog(*d) != QDialog::Accepted) return false;
    readParameterInputDialog(*d, request);
    return true;
}

std::optional<ReflectiveSide> QtCommandDialogSeam::askSide(int mode) {
    auto d = makeReflectiveSideDialog(mode, parent_);
    if (runDialog(*d) != QDialog::Accepted) return std::nullopt;
    switch (d->radio("side")) {
    case 1: return ReflectiveSide::Front;
    case 2: return ReflectiveSide::Back;
    default: return ReflectiveSide::Both;
    }
}

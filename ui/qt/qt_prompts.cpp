#include "ui/qt/qt_prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "command/messages/messages.h"

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

void QtPrompts::message(const std::string& caption, const std::string& text, bool error) {
    const char* title = error ? "MERIDYN Error" : "MERIDYN Information";
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                    q(caption.empty() ? title : caption), q(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtPrompts::askOkCancel(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Information, q(caption), q(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    return box.exec() == QMessageBox::Ok;
}

bool QtPrompts::askYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::question(parent_, q(caption), q(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtPrompts::askYesNoError(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, q(caption), q(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

Answer QtPrompts::askYesNoCancel(const std::string& caption, const std::string& text) {
    const auto r = QMessageBox::question(parent_, q(caption), q(text),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Yes);
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

std::optional<std::string> QtPrompts::chooseOpenFile(const std::string& caption,
                                                     const std::string& filter) {
    const QString name = QFileDialog::getOpenFileName(parent_, q(caption), q(programHome), q(filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtPrompts::chooseOpenFileIn(const std::string& caption,
                                                       const std::string& filter,
                                                       const std::string& folder) {
    const QString start = QDir(q(folder)).exists() ? q(folder) : q(programHome);
    const QString name = QFileDialog::getOpenFileName(parent_, q(caption), start, q(filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtPrompts::chooseSaveFile(const std::string& caption,
                                                     const std::string& filter,
                                                     const std::string& proposed) {
    const QString name = QFileDialog::getSaveFileName(parent_, q(caption), q(proposed), q(filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

bool QtPrompts::pause(const std::string& note) {
    QDialog dialog(parent_);
    dialog.setWindowTitle("MERIDYN Pause...");
    // Escape closes this dialog (which then shows again), never the paused macro.
    dialog.setProperty(kKeepsEscapeProperty, true);
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QPlainTextEdit(q(note), &dialog);
    edit->setReadOnly(true);
    layout->addWidget(edit);
    auto* ok = new QPushButton("Press the Enter key to continue", &dialog);
    ok->setDefault(true);
    layout->addWidget(ok);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.move(10, 10);
    ok->setFocus();
    return dialog.exec() == QDialog::Accepted;
}

std::optional<BeltRequest> QtPrompts::beltDialog(const BeltRequest& preset,
                                                 const std::string& refusal) {
    if (!refusal.empty()) message("Define Polynet Radiometer", refusal, false);
    QDialog dialog(parent_);
    dialog.setWindowTitle("Define Polynet Radiometer");
    auto* form = new QFormLayout(&dialog);
    auto* cells = new QSpinBox(&dialog);
    cells->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    cells->setValue(preset.cells);
    auto* width = new QDoubleSpinBox(&dialog);
    width->setRange(-1e12, 1e12);
    width->setDecimals(6);
    width->setValue(preset.width);
    auto* radius = new QDoubleSpinBox(&dialog);
    radius->setRange(-1e12, 1e12);
    radius->setDecimals(6);
    radius->setValue(preset.radius);
    form->addRow("Number of cells", cells);
    form->addRow("Belt width", width);
    form->addRow("Radius of the belt", radius);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return BeltRequest{cells->value(), width->value(), radius->value()};
}

void QtPrompts::about() {
    QDialog dialog(parent_);
    dialog.setWindowTitle("About MERIDYN");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("MERIDYN for Windows", &dialog));
    layout->addWidget(new QLabel(kVersionText, &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    dialog.exec();
}

#include "ui/qt/dialogs/form_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "ui/compose/field_text.h"

DialogRunner& dialogRunner() {
    static DialogRunner runner;
    return runner;
}

int runDialog(QDialog& dialog) {
    if (dialogRunner()) return dialogRunner()(dialog);
    return dialog.exec();
}

QString numberText(double value) {
    return QString::fromStdString(fieldNumber(value));
}

FormDialog::FormDialog(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    auto* outer = new QVBoxLayout(this);
    grid_ = new QGridLayout;
    outer->addLayout(grid_);
    message_ = new QLabel(this);
    message_->setObjectName("message");
    message_->setWordWrap(true);
    message_->setStyleSheet("color: #b00000");
    message_->hide();
    outer->addWidget(message_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
}

QLineEdit* FormDialog::addLine(const std::string& key, const QString& label) {
    auto* l = new QLabel(label, this);
    auto* f = new QLineEdit(this);
    f->setObjectName(QString::fromStdString(key));
    l->setBuddy(f);
    grid_->addWidget(l, row_, 0);
    grid_->addWidget(f, row_, 1);
    ++row_;
    fields_[key] = f;
    labels_[key] = l;
    return f;
}

QLineEdit* FormDialog::addText(const std::string& key, const QString& label,
                               const std::string& value, int maxLength) {
    QLineEdit* f = addLine(key, label);
    if (maxLength > 0) f->setMaxLength(maxLength);
    f->setText(QString::fromStdString(value));
    return f;
}

QLineEdit* FormDialog::addNumber(const std::string& key, const QString& label, double value) {
    QLineEdit* f = addLine(key, label);
    f->setText(numberText(value));
    numbers_[key] = {f, false};
    return f;
}

QLineEdit* FormDialog::addInteger(const std::string& key, const QString& label, long value) {
    QLineEdit* f = addLine(key, label);
    f->setText(QString::number(value));
    numbers_[key] = {f, true};
    return f;
}

QButtonGroup* FormDialog::addRadio(const std::string& key, const QString& title,
                                   const QStringList& labels, int checked) {
    auto* box = new QGroupBox(title, this);
    auto* layout = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < labels.size(); ++i) {
        auto* b = new QRadioButton(labels[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
        if (i == checked) b->setChecked(true);
    }
    grid_->addWidget(box, row_++, 0, 1, 2);
    radios_[key] = group;
    return group;
}

QCheckBox* FormDialog::addCheck(const std::string& key, const QString& label, bool checked) {
    auto* c = new QCheckBox(label, this);
    c->setChecked(checked);
    grid_->addWidget(c, row_++, 0, 1, 2);
    checks_[key] = c;
    return c;
}

QPushButton* FormDialog::addButton(const QString& text, std::function<void()> onClick) {
    auto* b = new QPushButton(text, this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [onClick = std::move(onClick)] { onClick(); });
    grid_->addWidget(b, row_++, 0, 1, 2);
    return b;
}

void FormDialog::addWidget(QWidget* widget) {
    grid_->addWidget(widget, row_++, 0, 1, 2);
}

void FormDialog::registerNumber(const std::string& key, QLineEdit* f) {
    fields_[key] = f;
    numbers_[key] = {f, false};
}

std::string FormDialog::text(const std::string& key) const {
    auto* f = field(key);
    return f ? f->text().toStdString() : std::string();
}

std::optional<double> FormDialog::number(const std::string& key) const {
    return parseFieldNumber(text(key));
}

double FormDialog::numberOr(const std::string& key, double fallback) const {
    return number(key).value_or(fallback);
}

int FormDialog::radio(const std::string& key) const {
    auto* g = radioGroup(key);
    return g ? g->checkedId() : -1;
}

bool FormDialog::checked(const std::string& key) const {
    auto* c = checkBox(key);
    return c && c->isChecked();
}

void FormDialog::setText(const std::string& key, const std::string& value) {
    if (auto* f = field(key)) f->setText(QString::fromStdString(value));
}

void FormDialog::setNumber(const std::string& key, double value) {
    if (auto* f = field(key)) f->setText(numberText(value));
}

void FormDialog::setRadio(const std::string& key, int index) {
    if (auto* g = radioGroup(key))
        if (auto* b = g->button(index)) b->setChecked(true);
}

QLineEdit* FormDialog::field(const std::string& key) const {
    auto it = fields_.find(key);
    return it == fields_.end() ? nullptr : it->second;
}

QLabel* FormDialog::label(const std::string& key) const {
    auto it = labels_.find(key);
    return it == labels_.end() ? nullptr : it->second;
}

QButtonGroup* FormDialog::radioGroup(const std::string& key) const {
    auto it = radios_.find(key);
    return it == radios_.end() ? nullptr : it->second;
}

QCheckBox* FormDialog::checkBox(const std::string& key) const {
    auto it = checks_.find(key);
    return it == checks_.end() ? nullptr : it->second;
}

int FormDialog::captionWidth() const {
    // The title bar's font is the window manager's; a bold application font with room for the
    // icon and the buttons is at least as wide.
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(windowTitle()) + 160;
}

void FormDialog::fitContents() {
    QLayout* l = layout();
    l->activate();
    const int w = std::max({width(), captionWidth(), l->totalSizeHint().width()});
    const int h = l->hasHeightForWidth() ? l->totalHeightForWidth(w) : l->totalSizeHint().height();
    setMinimumWidth(std::max(minimumWidth(), captionWidth()));
    resize(w, std::max(height(), h));
}

void FormDialog::showEvent(QShowEvent* event) {
    // The caption and every line of a refusal stay whole: the dialog widens to its title.
    fitContents();
    QDialog::showEvent(event);
    std::vector<QWidget*> chain;
    for (int r = 0; r < grid_->rowCount(); ++r)
        for (int c = 0; c < grid_->columnCount(); ++c) {
            QLayoutItem* item = grid_->itemAtPosition(r, c);
            QWidget* w = item ? item->widget() : nullptr;
            if (!w || w->isHidden()) continue;
            if (w->focusPolicy() & Qt::TabFocus) {
                chain.push_back(w);
                continue;
            }
            // A group or row of the caller's: its focusable children in their order.
            for (QWidget* child : w->findChildren<QWidget*>())
                if ((child->focusPolicy() & Qt::TabFocus) && !child->isHidden() &&
                    (!qobject_cast<QRadioButton*>(child) ||
                     static_cast<QRadioButton*>(child)->isChecked()))
                    chain.push_back(child);
        }
    chain.push_back(ok_);
    chain.push_back(cancel_);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
    chain.front()->setFocus(Qt::TabFocusReason);
}

void FormDialog::refuse(const std::string& text) {
    message_->setText(QString::fromStdString(text));
    message_->show();
    // The wrapped lines get the height they need.
    if (isVisible()) fitContents();
}

void FormDialog::accept() {
    for (const auto& [key, n] : numbers_) {
        if (!n.field->isEnabled()) continue; // a field the dialog does not use
        const auto v = parseFieldNumber(n.field->text().toStdString());
        if (!v || (n.integer && !parseFieldInteger(n.field->text().toStdString()))) {
            refuse(n.integer ? "Please enter a whole number." : "Please enter a number.");
            n.field->setFocus();
            return;
        }
    }
    if (check) {
        if (auto refusal = check()) {
            refuse(*refusal);
            return;
        }
    }
    message_->hide();
    QDialog::accept();
}

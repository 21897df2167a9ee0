#include "ui/qt/command_line.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>

CommandLineEdit::CommandLineEdit(QWidget* parent) : QLineEdit(parent) {
    // QLineEdit's own 32767 limit would cut long typed lines silently.
    setMaxLength(1 << 24);
}

void CommandLineEdit::pasteText(const QString& text) {
    if (!text.contains('\n') && !text.contains('\r')) {
        insert(text);
        return;
    }
    QString whole = this->text();
    int from = cursorPosition(), length = 0;
    if (hasSelectedText()) {
        from = selectionStart();
        length = selectedText().size();
    }
    whole.replace(from, length, text);
    if (onEnter) onEnter(whole);
}

void CommandLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteText(QApplication::clipboard()->text());
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (onEnter) onEnter(text());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

CommandLine::CommandLine(QWidget* parent) : QComboBox(parent), edit_(new CommandLineEdit(this)) {
    setEditable(true);
    setLineEdit(edit_);
    setInsertPolicy(QComboBox::NoInsert);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setMinimumWidth(600);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void CommandLine::clearSelection() {
    if (edit_->hasSelectedText()) edit_->del();
}

void CommandLine::resetContent() {
    clear();
    edit_->clear();
}

// The command line: an editable combo box whose list stays empty (typed lines are not kept as
// entries). Enter hands the whole text over; a paste that holds line ends hands over every line
// of the text the paste would give.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <functional>

class CommandLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CommandLineEdit(QWidget* parent = nullptr);
    // Inserts text as a paste would; text with line ends is handed over as typed lines.
    void pasteText(const QString& text);
    std::function<void(const QString& text)> onEnter;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class CommandLine : public QComboBox {
    Q_OBJECT
  public:
    explicit CommandLine(QWidget* parent = nullptr);
    CommandLineEdit* edit() const { return edit_; }
    // WM_CLEAR: deletes the selected text.
    void clearSelection();
    // CB_RESETCONTENT: empties the list and the edit field.
    void resetContent();

  private:
    CommandLineEdit* edit_;
};

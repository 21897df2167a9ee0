// The one kind of window every dialog of this folder is: a caption, rows of labelled fields
// (text, number, whole number), radio groups, check boxes and buttons, OK and Cancel, and a
// message line. OK first reads every number field (C locale: "1.5", whatever the user's
// locale) and then runs the dialog's check; a refusal is shown in the message line and the
// dialog stays open. Every dialog is shown through dialogRunner(), which tests replace to fill
// the fields and press OK or Cancel without an event loop.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class FormDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FormDialog(const QString& caption, QWidget* parent = nullptr);

    // A row: the label, then the field. Keys name the fields for the getters and for tests.
    QLineEdit* addText(const std::string& key, const QString& label, const std::string& value,
                       int maxLength = 0);
    QLineEdit* addNumber(const std::string& key, const QString& label, double value);
    QLineEdit* addInteger(const std::string& key, const QString& label, long value);
    // A group box of radio buttons, `checked` chosen (-1: none).
    QButtonGroup* addRadio(const std::string& key, const QString& title, const QStringList& labels,
                           int checked);
    QCheckBox* addCheck(const std::string& key, const QString& label, bool checked);
    QPushButton* addButton(const QString& text, std::function<void()> onClick);
    // A widget of the caller's on a row of its own (spanning both columns).
    void addWidget(QWidget* widget);
    // Registers a number field the caller laid out itself.
    void registerNumber(const std::string& key, QLineEdit* field);
    QGridLayout* grid() const { return grid_; }

    // What OK checks after the number fields: a refusal, or nullopt to close.
    std::function<std::optional<std::string>()> check;

    std::string text(const std::string& key) const;
    // The number a field holds now; nullopt when it holds none.
    std::optional<double> number(const std::string& key) const;
    double numberOr(const std::string& key, double fallback) const;
    int radio(const std::string& key) const;
    bool checked(const std::string& key) const;
    void setText(const std::string& key, const std::string& value);
    void setNumber(const std::string& key, double value);
    void setRadio(const std::string& key, int index);
    QLineEdit* field(const std::string& key) const;
    QLabel* label(const std::string& key) const;
    QButtonGroup* radioGroup(const std::string& key) const;
    QCheckBox* checkBox(const std::string& key) const;
    QLabel* messageLine() const { return message_; }
    QPushButton* okButton() const { return ok_; }
    // Shows a refusal and keeps the dialog open.
    void refuse(const std::string& text);
    // The least width that shows the whole caption.
    int captionWidth() const;

  public slots:
    void accept() override;

  protected:
    // The keyboard starts in the first field, and Tab walks the rows top to bottom, then OK and
    // Cancel.
    void showEvent(QShowEvent* event) override;

  private:
    // Wide enough for the caption, high enough for every row and wrapped line.
    void fitContents();
    QLineEdit* addLine(const std::string& key, const QString& label);
    struct Number {
        QLineEdit* field;
        bool integer;
    };
    QGridLayout* grid_;
    QLabel* message_;
    QPushButton* ok_;
    QPushButton* cancel_;
    int row_ = 0;
    std::map<std::string, QLineEdit*> fields_;
    std::map<std::string, QLabel*> labels_;
    std::map<std::string, Number> numbers_;
    std::map<std::string, QButtonGroup*> radios_;
    std::map<std::string, QCheckBox*> checks_;
};

// How a dialog is shown: QDialog::exec() unless a test installed its own. Returns the result
// (QDialog::Accepted or Rejected).
using DialogRunner = std::function<int(QDialog&)>;
DialogRunner& dialogRunner();
int runDialog(QDialog& dialog);

// Field texts in the C locale.
QString numberText(double value);

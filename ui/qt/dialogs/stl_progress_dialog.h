// "Reading STL File": the import's progress, shown while the reader runs. It does not block:
// the import loop refreshes it every 20 passes and its 33 ms timer whenever events are let
// through. Cancel and the window's close button ask the import to stop as Escape does.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class StlReader;

class ReadingStlFileDialog : public QDialog {
    Q_OBJECT
  public:
    ReadingStlFileDialog(StlReader& reader, std::function<void()> cancel, QWidget* parent);

    // The counters and the bar; the lines logged since the last flush once a quarter second and
    // a millisecond for each hundred rows of the list have passed since.
    void refresh();
    // A text the reader logged; each of its lines becomes a line of the list at the next
    // refresh, all of them in one block (a file that warns on every line logs two a line).
    void addLog(const std::string& text);
    // Puts the lines waiting into the list and scrolls to the last.
    void flushLog();

    QListWidget* list() const { return list_; }
    QProgressBar* bar() const { return bar_; }
    QLabel* fileLabel() const { return file_; }
    QLabel* typeLabel() const { return type_; }
    QLabel* percentLabel() const { return percent_; }
    QLabel* facetsLabel() const { return facets_; }
    QLabel* warningsLabel() const { return warnings_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QTimer* timer() const { return timer_; }

  public slots:
    void reject() override;

  private:
    StlReader& reader_;
    std::function<void()> cancel_;
    std::string pending_; // a logged text's last line until its newline comes
    QStringList lines_;   // whole lines not yet in the list
    QElapsedTimer sinceFlush_;
    static constexpr qint64 kLogFlushMs = 250;
    QListWidget* list_;
    QProgressBar* bar_;
    QLabel *file_, *type_, *percent_, *facets_, *warnings_;
    QPushButton* cancelButton_;
    QTimer* timer_;
};

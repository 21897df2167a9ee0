#include "ui/qt/dialogs/stl_progress_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "ui/compose/stl_reader.h"

ReadingStlFileDialog::ReadingStlFileDialog(StlReader& reader, std::function<void()> cancel,
                                           QWidget* parent)
    : QDialog(parent), reader_(reader), cancel_(std::move(cancel)) {
    setWindowTitle("Reading STL File");
    setObjectName("ReadingStlFile");
    auto* grid = new QGridLayout(this);
    list_ = new QListWidget(this);
    // Every row is one line of text: the list need not measure each row it is given.
    list_->setUniformItemSizes(true);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    file_ = new QLabel(this);
    type_ = new QLabel(reader.binary ? "Binary" : "ASCII", this);
    percent_ = new QLabel(this);
    facets_ = new QLabel("0", this);
    warnings_ = new QLabel("0", this);
    cancelButton_ = new QPushButton("Cancel", this);
    int row = 0;
    grid->addWidget(new QLabel("File:", this), row, 0);
    grid->addWidget(file_, row++, 1);
    grid->addWidget(new QLabel("Type:", this), row, 0);
    grid->addWidget(type_, row++, 1);
    grid->addWidget(bar_, row, 0);
    grid->addWidget(percent_, row++, 1);
    grid->addWidget(new QLabel("Facets processed:", this), row, 0);
    grid->addWidget(facets_, row++, 1);
    grid->addWidget(new QLabel("Warnings:", this), row, 0);
    grid->addWidget(warnings_, row++, 1);
    grid->addWidget(list_, row++, 0, 1, 2);
    grid->addWidget(cancelButton_, row++, 1);
    list_->addItem(type_->text());
    connect(cancelButton_, &QPushButton::clicked, this, &ReadingStlFileDialog::reject);
    timer_ = new QTimer(this);
    timer_->setInterval(33);
    connect(timer_, &QTimer::timeout, this, &ReadingStlFileDialog::refresh);
    timer_->start();
    resize(420, 360);
}

void ReadingStlFileDialog::refresh() {
    const double fraction = reader_.fileLength > 0
                                ? static_cast<double>(reader_.bytesProcessed) / reader_.fileLength
                                : 0.0;
    const int percent = static_cast<int>(fraction * 100);
    bar_->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    file_->setText(QString::fromStdString(reader_.fileName));
    facets_->setText(QString::number(reader_.facetCount));
    warnings_->setText(QString::number(reader_.warningCount));
    percent_->setText(QString("%1 % complete").arg(percent));
    // The list lays all its rows out again after rows are added, so it is given them at most a
    // few times a second, and the more rows it holds the less often: the import stays linear in
    // its lines however many of them warn.
    const qint64 wait = kLogFlushMs + list_->count() / 100;
    if (!sinceFlush_.isValid() || sinceFlush_.elapsed() >= wait) flushLog();
}

void ReadingStlFileDialog::flushLog() {
    sinceFlush_.start();
    if (lines_.isEmpty()) return;
    list_->addItems(lines_);
    lines_.clear();
    list_->scrollToBottom();
}

void ReadingStlFileDialog::addLog(const std::string& text) {
    pending_ += text;
    std::size_t end;
    std::size_t at = 0;
    while ((end = pending_.find('\n', at)) != std::string::npos) {
        lines_.push_back(QString::fromUtf8(pending_.data() + at, static_cast<qsizetype>(end - at)));
        at = end + 1;
    }
    pending_.erase(0, at);
}

void ReadingStlFileDialog::reject() {
    // The import closes the dialog once it has finished the net.
    if (cancel_) cancel_();
}

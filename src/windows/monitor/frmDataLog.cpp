#include "windows/monitor/frmDataLog.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace delvar::windows {

CheckedSpinBox::CheckedSpinBox(QWidget* parent) : QSpinBox(parent) {
    setKeyboardTracking(false);
    setAlignment(Qt::AlignRight);
}

// Anything may be typed; it is checked when the box is left.
QValidator::State CheckedSpinBox::validate(QString& text, int& pos) const {
    return QSpinBox::validate(text, pos) == QValidator::Acceptable ? QValidator::Acceptable
                                                                   : QValidator::Intermediate;
}

void CheckedSpinBox::focusOutEvent(QFocusEvent* event) {
    CheckTyped();
    QSpinBox::focusOutEvent(event);
}

void CheckedSpinBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) CheckTyped();
    QSpinBox::keyPressEvent(event);
}

void CheckedSpinBox::CheckTyped() {
    const QString typed = lineEdit()->text();
    if (checking_ || !check || typed == textFromValue(value())) return;
    checking_ = true;
    if (const std::optional<int> v = check(typed.toStdString())) setValue(*v);
    lineEdit()->setText(textFromValue(value()));
    checking_ = false;
}

frmDataLog::frmDataLog(monitor::DataLogSettings& s, monitor::DataLog& log,
                       core::DialogService& dialogs, QWidget* parent)
    : QDialog(parent), log_(log), form_(s, log, dialogs, *this) {
    setObjectName("frmDataLog");
    setWindowTitle("Data Logging");
    setModal(false);

    auto* modes = new QGroupBox("Log Mode");
    auto* modeRow = new QHBoxLayout(modes);
    const char* captions[] = {"None", "Overwrite", "Append"};
    const char* tips[] = {"Do not log data.", "Overwrite the log file at start of each run.",
                          "Append each run to the log file."};
    for (int i = 0; i < 3; ++i) {
        optLog_[i] = new QRadioButton(captions[i]);
        optLog_[i]->setObjectName(QString("optLog_%1").arg(i));
        optLog_[i]->setToolTip(tips[i]);
        modeRow->addWidget(optLog_[i]);
        connect(optLog_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) form_.ModeChosen(i);
        });
    }

    modeRow->addStretch();

    using monitor::TimeField;
    spnStartMin_ = Spinner("spnStartMin", 500, TimeField::Minutes);
    spnStartSec_ = Spinner("spnStartSec", 59, TimeField::Seconds);
    spnEndMin_ = Spinner("spnEndMin", 500, TimeField::Minutes);
    spnEndSec_ = Spinner("spnEndSec", 59, TimeField::Seconds);
    spnInterval_ = Spinner("spnInterval", 60, TimeField::Interval);
    const auto start = [this] { form_.StartChanged(spnStartMin_->value(), spnStartSec_->value()); };
    const auto end = [this] { form_.EndChanged(spnEndMin_->value(), spnEndSec_->value()); };
    connect(spnStartMin_, &QSpinBox::valueChanged, this, start);
    connect(spnStartSec_, &QSpinBox::valueChanged, this, start);
    connect(spnEndMin_, &QSpinBox::valueChanged, this, end);
    connect(spnEndSec_, &QSpinBox::valueChanged, this, end);
    connect(spnInterval_, &QSpinBox::valueChanged, this,
            [this](int v) { form_.IntervalChanged(v); });

    const auto timeBox = [](const char* title, QWidget* first, const char* firstUnit,
                            QWidget* second, const char* secondUnit) {
        auto* box = new QGroupBox(title);
        auto* row = new QHBoxLayout(box);
        row->addWidget(first);
        row->addWidget(new QLabel(firstUnit));
        if (second) {
            row->addSpacing(8);
            row->addWidget(second);
            row->addWidget(new QLabel(secondUnit));
        }
        row->addStretch();
        return box;
    };

    lblFailures_ = new QLabel;
    lblFailures_->setObjectName("lblFailures");
    lblFailures_->setWordWrap(true);
    lblFailures_->setStyleSheet("color: #b00000;");
    lblFailures_->hide();

    auto* cmdNew = new QPushButton("&New");
    cmdNew->setObjectName("cmdNew");
    cmdNew->setToolTip("Open a new log file.");
    auto* cmdView = new QPushButton("&View");
    cmdView->setObjectName("cmdView");
    cmdView->setToolTip("View the log file.");
    auto* cmdForm = new QPushButton("&OK");
    cmdForm->setObjectName("cmdForm");
    // Enter in a spinner checks its value; it must not also close the window.
    for (QPushButton* b : {cmdNew, cmdView, cmdForm}) b->setAutoDefault(false);
    connect(cmdNew, &QPushButton::clicked, this, [this] { form_.NewFile(); });
    connect(cmdView, &QPushButton::clicked, this, [this] { form_.ViewFile(); });
    connect(cmdForm, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNew);
    buttons->addWidget(cmdView);
    buttons->addStretch();
    buttons->addWidget(cmdForm);

    auto* times = new QHBoxLayout;
    times->addWidget(timeBox("Start Time", spnStartMin_, "min", spnStartSec_, "s"));
    times->addWidget(timeBox("End Time", spnEndMin_, "min", spnEndSec_, "s"));
    times->addWidget(timeBox("Log Interval", spnInterval_, "s", nullptr, nullptr));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modes);
    layout->addLayout(times);
    layout->addWidget(lblFailures_);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    form_.Load();
    listener_ = log_.AddFailureListener([this] { form_.FailuresChanged(); });
}

frmDataLog::~frmDataLog() {
    log_.RemoveFailureListener(listener_);
}

CheckedSpinBox* frmDataLog::Spinner(const char* name, int max, monitor::TimeField field) {
    auto* spin = new CheckedSpinBox;
    spin->setObjectName(name);
    spin->setRange(0, max);
    spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance("0000") + 40);
    spin->check = [this, field](const std::string& text) { return form_.CheckEntry(field, text); };
    return spin;
}

void frmDataLog::ShowMode(int mode) {
    if (mode < 0 || mode > 2) return;
    const QSignalBlocker block(optLog_[mode]);
    optLog_[mode]->setChecked(true);
}

namespace {
// A value in force outside the spinner's range (a settings file edited by hand) widens
// the range, so that the window shows what the log does.
void Show(QSpinBox* spin, int value) {
    const QSignalBlocker block(spin);
    spin->setRange(std::min(spin->minimum(), value), std::max(spin->maximum(), value));
    spin->setValue(value);
}
}  // namespace

void frmDataLog::ShowStart(int minutes, int seconds) {
    Show(spnStartMin_, minutes);
    Show(spnStartSec_, seconds);
}

void frmDataLog::ShowEnd(int minutes, int seconds) {
    Show(spnEndMin_, minutes);
    Show(spnEndSec_, seconds);
}

void frmDataLog::ShowInterval(int seconds) {
    Show(spnInterval_, seconds);
}

void frmDataLog::ShowCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmDataLog::ShowFailures(const std::string& notice) {
    lblFailures_->setText(QString::fromStdString(notice));
    lblFailures_->setVisible(!notice.empty());
}

bool frmDataLog::OpenDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace delvar::windows

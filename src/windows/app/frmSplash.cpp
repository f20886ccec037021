#include "windows/app/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace delvar::windows {

frmSplash::frmSplash(QWidget* parent) : QDialog(parent) {
    setObjectName("frmSplash");
    setWindowTitle("Loading");
    lblAction_ = new QLabel;
    lblAction_->setObjectName("lblAction");
    lblDetail_ = new QLabel;
    lblDetail_->setObjectName("lblDetail");
    prgLoad_ = new QProgressBar;
    prgLoad_->setObjectName("prgLoad");
    prgLoad_->setRange(0, 100);
    prgLoad_->setValue(0);
    // Room for a long record name, so the window does not change size while it runs.
    const int lineWidth = fontMetrics().averageCharWidth() * 48;
    for (QLabel* line : {lblAction_, lblDetail_}) line->setMinimumWidth(lineWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblAction_);
    layout->addWidget(lblDetail_);
    layout->addSpacing(6);
    layout->addWidget(prgLoad_);
    layout->setContentsMargins(16, 12, 16, 14);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSplash::Show(const std::string& caption, const std::string& action,
                     const std::string& detail, int percent) {
    setWindowTitle(QString::fromStdString(caption));
    show();
    raise();
    Update(action, detail, percent);
}

void frmSplash::Update(const std::string& action, const std::string& detail, int percent) {
    lblAction_->setText(QString::fromStdString(action));
    lblDetail_->setText(QString::fromStdString(detail));
    prgLoad_->setValue(std::clamp(percent, 0, 100));
    // Repaint now; clicks wait until the work that reports here is done.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmSplash::Close() {
    hide();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace delvar::windows

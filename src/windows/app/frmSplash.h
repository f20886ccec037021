// The shared progress window: a caption ("Loading" until a caller sets another), two
// text lines and a bar 0..100. Every call lets pending events run so it repaints.
#pragma once

#include <QDialog>

#include "setup/Progress.h"

class QLabel;
class QProgressBar;

namespace delvar::windows {

class frmSplash : public QDialog, public setup::ProgressDisplay {
    Q_OBJECT

  public:
    explicit frmSplash(QWidget* parent = nullptr);

    void Show(const std::string& caption, const std::string& action, const std::string& detail,
              int percent) override;
    void Update(const std::string& action, const std::string& detail, int percent) override;
    void Close() override;

  private:
    QLabel* lblAction_ = nullptr;
    QLabel* lblDetail_ = nullptr;
    QProgressBar* prgLoad_ = nullptr;
};

}  // namespace delvar::windows

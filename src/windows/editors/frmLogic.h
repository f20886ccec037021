// The logic statement builder window "Edit Logic Statements": a thin view over
// editors::LogicBuilder. Modal; while a transfer runs its other controls are
// disabled and a close waits for the end.
#pragma once

#include <QDialog>
#include <array>

#include "editors/LogicBuilder.h"
#include "windows/TransferLock.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;

namespace delvar::windows {

class frmLogic : public QDialog, private editors::LogicBuilderView {
    Q_OBJECT

  public:
    explicit frmLogic(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmLogic() override;

    editors::LogicBuilder& Logic() { return logic_; }

  public slots:
    void reject() override;  // Cancel, Escape and the title bar: waits for a transfer

  protected:
    // Return and Space in the select lists, the Up and Down keys in the timer value.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildIfFrame();
    QWidget* BuildThenFrame();
    void BuildControls();
    void Connect();
    void Transfer(bool upload, bool all);
    void Add();

    void SetCategoryLists(const std::vector<std::string>& ifNames,
                          const std::vector<std::string>& thenNames) override;
    void SelectCategory(editors::LogicPart part, int index) override;
    void SetSelectList(editors::LogicPart part, const std::vector<std::string>& texts) override;
    void ShowTimerValue(bool shown) override;
    void SetTimerValueText(const std::string& text) override;
    void SetNameList(const std::vector<std::string>& names) override;
    void SetNameEntry(int index, const std::string& name) override;
    void SelectName(int index) override;
    void SetNumberLabel(const std::string& text) override;
    void SetConditionText(const std::string& text) override;
    void SetActionText(const std::string& text) override;
    void SetPasteEnabled(bool enabled) override;
    void SetTransfersEnabled(bool enabled) override;
    void SetProgress(int percent) override;

    editors::LogicBuilder logic_;
    TransferLock lock_{this};
    QListWidget* lstCategory_[2] = {nullptr, nullptr};  // IF, THEN
    QListWidget* lstSelect_[2] = {nullptr, nullptr};
    QLabel* lblSelect_ = nullptr;  // over lstIfSelect, or over the typed value
    QLineEdit* txtValue_ = nullptr;
    QWidget* spnValue_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    std::array<QPushButton*, 7> cmdOp_{};
    QPushButton* cmdBack_ = nullptr;
    QLabel* lblIf_ = nullptr;
    QLabel* lblThen_ = nullptr;
    QComboBox* cboNames_ = nullptr;
    QLabel* lblNumber_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdPaste_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QPushButton* cmdClearAll_ = nullptr;
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdUpLoadAll_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    QPushButton* cmdDnLoadAll_ = nullptr;
    QProgressBar* prgStatus_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace delvar::windows

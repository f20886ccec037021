// The setup window: the process tree with its layer buttons, the transfer frame,
// OK and Cancel, and the File, Edit and Help menus; a thin view over
// editors::ProcessWindowLogic.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "editors/ProcessWindowLogic.h"
#include "windows/TransferLock.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace delvar::windows {

struct EditorOpeners {  // the main program supplies these; each opens its editor modally on the
                        // context
    // An empty function: that editor does not exist yet (its menu item is disabled).
    std::function<void(editors::EditorContext&)> layer, film, material, sensors, sources, io, logic,
        system;
};

struct ProcessWindowDeps {
    link::Link& link;
    setup::SetupData& setup;
    setup::modDatabase& database;
    core::DialogService& dialogs;
    setup::ProgressDisplay& progress;
    app::AppSettings& settings;
    std::string programDir;  // file dialogs start there; "TempDB" goes beside the settings
    EditorOpeners openers;
};

class frmProcess : public QDialog, private editors::ProcessWindowView {
    Q_OBJECT

  public:
    // sourceFlag 0: the setup comes from the database; 1: from the instrument (whole upload first)
    frmProcess(ProcessWindowDeps deps, int sourceFlag, QWidget* parent = nullptr);
    void Start();  // the opening steps (may upload or open the database), then shown

    editors::ProcessWindowLogic& Logic() { return logic_; }

  signals:
    void
    closed();  // after the window closed (any way): the main window refreshes and restarts its poll

  protected:
    // Every way of closing (OK, Cancel, the title bar, Escape) ends here.
    void done(int result) override;

  private:
    void BuildControls();
    void BuildMenus();
    void Connect();
    void Clicked(QTreeWidgetItem* item);
    void Transfer(bool upload);

    void SetCaption(const std::string& caption) override;
    std::vector<bool> ExpandedNodes() const override;
    void ShowTree(const std::vector<editors::TreeNode>& processes,
                  const std::vector<bool>& expanded, const std::string& currentKey) override;
    void SetChecks(const editors::TransferChecks& checks) override;
    void EnableTransfers(bool enabled) override;
    void ShowPending(editors::Pending pending) override;
    void SetNotice(const std::string& text, bool warning) override;

    editors::ProcessWindowLogic logic_;
    TransferLock lock_{this};
    bool cancelling_ = false;
    QTreeWidget* TV1_ = nullptr;
    QLabel* lblNotice_ = nullptr;
    QCheckBox* chkAll_ = nullptr;
    QCheckBox* chkProcesses_ = nullptr;
    QCheckBox* chkFilms_ = nullptr;
    QCheckBox* chkMaterials_ = nullptr;
    QPushButton* cmdUpload_ = nullptr;
    QPushButton* cmdDownload_ = nullptr;
    QPushButton* cmdInsertLayer_ = nullptr;
    QPushButton* cmdInsertCoDep_ = nullptr;
    QPushButton* cmdDeleteLayer_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace delvar::windows

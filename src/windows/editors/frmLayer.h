// The layer editor "Layer Edit": a thin view over editors::LayerEditor. Modal; edits
// layer context.currentLayer of process context.currentProcess in place.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "editors/EditorContext.h"
#include "editors/LayerEditor.h"
#include "windows/TransferLock.h"

class QComboBox;
class QPushButton;

namespace delvar::windows {

class CellGrid;

class frmLayer : public QDialog {
    Q_OBJECT

  public:
    frmLayer(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmLayer() override;

  protected:
    // Escape during a transfer: the close waits for its end.
    void reject() override;

  private:
    void BuildControls();
    void ShowFilm();
    void Transfer(bool upload);

    std::array<CellGrid*, editors::kLayerGrids> grids_{};
    QComboBox* cboFilms_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    std::unique_ptr<editors::LayerEditor> logic_;
    TransferLock lock_{this};
};

}  // namespace delvar::windows

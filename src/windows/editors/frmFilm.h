// The film editor window "Film Edit": a thin view over editors::FilmEditor with its
// three grids. Modal; it edits the film the editor context names as current.
#pragma once

#include <QDialog>

#include "editors/FilmEditor.h"
#include "windows/TransferLock.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace delvar::windows {

class CellGrid;

class frmFilm : public QDialog, private editors::FilmEditorView {
    Q_OBJECT

  public:
    explicit frmFilm(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmFilm() override;

  protected:
    // Escape during a transfer: the close waits for its end.
    void reject() override;

  private:
    void BuildControls();
    void Connect();
    void Transfer(bool upload);

    void SetFilmList(const std::vector<std::string>& names) override;
    void SetFilmEntry(int index, const std::string& name) override;
    void SelectFilm(int index) override;
    void SetMaterialList(const std::vector<std::string>& names) override;
    void SelectMaterial(int index) override;
    void SetNumberLabel(const std::string& text) override;
    void SetMaterialLabel(const std::string& text) override;
    void SetShownFilmOption(const std::string& caption) override;
    void SetTransfersEnabled(bool enabled) override;
    void SetBusy(bool busy) override;

    CellGrid* grdFilm_;
    CellGrid* grdA3_;
    CellGrid* grdA5_;
    editors::FilmEditor logic_;
    TransferLock lock_{this};
    QComboBox* cboFilms_ = nullptr;
    QComboBox* cboMaterials_ = nullptr;
    QLabel* lblNumber_ = nullptr;
    QLabel* lblMaterial_ = nullptr;
    QRadioButton* optSelect_[2] = {nullptr, nullptr};
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace delvar::windows

// The material editor window "Materials": a thin view over editors::MaterialEditor.
// Modal; changes go straight into the material records.
#pragma once

#include <QDialog>

#include "editors/MaterialEditor.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace delvar::windows {

class frmMaterial : public QDialog, private editors::MaterialEditorView {
    Q_OBJECT

  public:
    explicit frmMaterial(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmMaterial() override;

  private:
    void BuildControls();
    void Connect();

    void SetMaterialList(const std::vector<std::string>& names) override;
    void SetMaterialEntry(int index, const std::string& name) override;
    void SelectMaterial(int index) override;
    void SetDensityText(const std::string& text) override;
    void SetZFactorText(const std::string& text) override;
    void FocusZFactor() override;

    editors::MaterialEditor logic_;
    QComboBox* cboMaterials_ = nullptr;
    QLineEdit* txtDensity_ = nullptr;
    QLineEdit* txtZFactor_ = nullptr;
    QWidget* spnDensity_ = nullptr;
    QWidget* spnZFactor_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

}  // namespace delvar::windows

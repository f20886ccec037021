// The material editor without its widgets: the material list, density and Z-factor
// each as a spin value in hundredths with its range, typed entries checked against
// that range, and renaming with the duplicate-name question. Changes go straight into
// the records; materials travel to and from the instrument with the setup window's
// transfers.
#pragma once

#include <string>
#include <vector>

#include "editors/EditorContext.h"

namespace delvar::editors {

class MaterialEditorView {
  public:
    virtual ~MaterialEditorView() = default;
    virtual void SetMaterialList(const std::vector<std::string>& names) = 0;  // cboMaterials
    virtual void SetMaterialEntry(int index, const std::string& name) = 0;
    virtual void SelectMaterial(int index) = 0;
    virtual void SetDensityText(const std::string& text) = 0;  // txtDensity
    virtual void SetZFactorText(const std::string& text) = 0;  // txtZFactor
    virtual void FocusZFactor() = 0;
};

// A spin button's value in hundredths of the field and its bounds.
struct Spin {
    int min, max, value;
};

class MaterialEditor {
  public:
    static constexpr Spin kDensityRange{40, 9999, 40};  // 0.40 to 99.99 g/cc
    static constexpr Spin kZFactorRange{10, 999, 10};   // 0.10 to 9.99

    MaterialEditor(EditorContext& context, MaterialEditorView& view);

    void Open();  // fills the list and shows material 1
    int Selected() const { return material_; }
    void MaterialChosen(int index);

    // A step of a spin button (+1 or -1 hundredth), kept inside its range; the value
    // goes into the record.
    void DensityStep(int step);
    void ZFactorStep(int step);
    const Spin& DensitySpin() const { return density_; }
    const Spin& ZFactorSpin() const { return zFactor_; }

    // A typed value committed by Enter or by leaving the box. Outside the range: the
    // range message, the record keeps its value and the box shows it again.
    void DensityTyped(const std::string& text);
    void ZFactorTyped(const std::string& text);

    void Rename();  // cmdEdit

  private:
    // Runs body as the handler "frmMaterial_" + name of the error handler.
    template <typename Body>
    void Run(const std::string& name, Body&& body);
    void Show(int index);  // the material at list position index, when there is one
    void AskName();
    void SetSpin(Spin& spin, int value, double setup::MaterialRec::*field);
    void Typed(Spin& spin, const std::string& text, double setup::MaterialRec::*field,
               bool isZFactor);
    void ShowValues();
    void Message(const std::string& text);

    EditorContext& context_;
    MaterialEditorView& view_;
    int material_ = 1;
    Spin density_ = kDensityRange;
    Spin zFactor_ = kZFactorRange;
};

}  // namespace delvar::editors

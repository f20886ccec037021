#include "editors/MaterialEditor.h"

#include <algorithm>
#include <cmath>

#include "app/AppTitle.h"
#include "editors/Procedure.h"
#include "editors/TypedName.h"
#include "editors/TypedNumber.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::MaterialRec;

namespace {
using Materials = setup::Table<MaterialRec, setup::kMaxMaterials>;

std::string Hundredths(int value) {
    return util::FormatNumber(value / 100.0, "0.00");
}

}  // namespace

MaterialEditor::MaterialEditor(EditorContext& context, MaterialEditorView& view)
    : context_(context), view_(view) {}

template <typename Body>
void MaterialEditor::Run(const std::string& name, Body&& body) {
    RunProcedure(context_.link.Errors, "frmMaterial_" + name, std::forward<Body>(body));
}

void MaterialEditor::Open() {
    Run("Form_Load", [this] {
        std::vector<std::string> names;
        for (const MaterialRec& m : context_.setup.materials) names.push_back(m.Material);
        view_.SetMaterialList(names);
        Show(0);
    });
}

void MaterialEditor::MaterialChosen(int index) {
    Run("cboMaterials_Click", [&] { Show(index); });
}

void MaterialEditor::Show(int index) {
    if (Materials::Valid(index + 1)) material_ = index + 1;
    view_.SelectMaterial(material_ - 1);
    // The spins take the record's values; the record itself is left as it is, so a
    // value with a third decimal or outside the spin's range is not changed by looking.
    const MaterialRec& m = context_.setup.materials[material_];
    density_.value =
        std::clamp(int(util::RoundHalfEven(m.Density * 100)), density_.min, density_.max);
    zFactor_.value =
        std::clamp(int(util::RoundHalfEven(m.ZFactor * 100)), zFactor_.min, zFactor_.max);
    ShowValues();
}

void MaterialEditor::ShowValues() {
    const MaterialRec& m = context_.setup.materials[material_];
    view_.SetDensityText(util::FormatNumber(m.Density, "0.00"));
    view_.SetZFactorText(util::FormatNumber(m.ZFactor, "0.00"));
}

void MaterialEditor::SetSpin(Spin& spin, int value, double MaterialRec::*field) {
    spin.value = std::clamp(value, spin.min, spin.max);
    // The record takes the value as the box shows it: always two decimals.
    context_.setup.materials[material_].*field = util::LeadingNumber(Hundredths(spin.value));
    ShowValues();
}

void MaterialEditor::DensityStep(int step) {
    Run("spnDensity_Change",
        [&] { SetSpin(density_, density_.value + step, &MaterialRec::Density); });
}

void MaterialEditor::ZFactorStep(int step) {
    Run("spnZFactor_Change",
        [&] { SetSpin(zFactor_, zFactor_.value + step, &MaterialRec::ZFactor); });
}

void MaterialEditor::Typed(Spin& spin, const std::string& text, double MaterialRec::*field,
                           bool isZFactor) {
    // Anything but one number within the spin's range is refused; the box shows the
    // record's value again.
    const auto value = TypedNumber(
        text, spin.min / 100.0, spin.max / 100.0,
        "Valid values are " + Hundredths(spin.min) + " to " + Hundredths(spin.max) + ".",
        context_.dialogs);
    if (!value) {
        ShowValues();
        if (isZFactor) view_.FocusZFactor();
        return;
    }
    // Whole hundredths: further decimals are dropped (2.345 -> 234); the small
    // allowance keeps 2.3, which is 229.99999... in binary, at 230.
    SetSpin(spin, int(std::floor(*value * 100 + 1e-7)), field);
}

void MaterialEditor::DensityTyped(const std::string& text) {
    Run("txtDensity_LostFocus", [&] { Typed(density_, text, &MaterialRec::Density, false); });
}

void MaterialEditor::ZFactorTyped(const std::string& text) {
    Run("txtZFactor_LostFocus", [&] { Typed(zFactor_, text, &MaterialRec::ZFactor, true); });
}

void MaterialEditor::Rename() {
    Run("cmdEdit_Click", [this] { AskName(); });
}

void MaterialEditor::AskName() {
    std::string& name = context_.setup.materials[material_].Material;
    for (;;) {
        const auto reply =
            context_.dialogs.AskText("Enter new name:", "Edit Material", util::Trim(name));
        if (!reply) return;
        // Stored as the instrument takes it; the list shows exactly the stored name.
        const std::string typed = TypedName(*reply);
        const std::string key = util::ToUpper(util::Trim(typed));
        if (key.empty() || key == util::ToUpper(util::Trim(name))) return;
        int duplicate = 0;
        for (int n = 1; n <= setup::kMaxMaterials && !duplicate; ++n)
            if (util::ToUpper(util::Trim(context_.setup.materials[n].Material)) == key)
                duplicate = n;
        if (!duplicate) {
            name = typed;
            view_.SetMaterialEntry(material_ - 1, name);
            view_.SelectMaterial(material_ - 1);
            TellLostCharacters(*reply, name, context_.dialogs);
            return;
        }
        Message("Duplicate Name @ Material #" + std::to_string(duplicate) + ".");
    }
}

void MaterialEditor::Message(const std::string& text) {
    context_.dialogs.ShowMessage(
        {text, app::kAppTitle, core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

}  // namespace delvar::editors

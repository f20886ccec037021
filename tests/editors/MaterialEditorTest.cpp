// The material editor: spins in hundredths, typed values against the spin ranges,
// renaming with the duplicate question and names the instrument cannot take.
#include <gtest/gtest.h>

#include "commands/CommandRig.h"
#include "core/ErrHandlerRig.h"
#include "editors/MaterialEditor.h"

namespace delvar::testing {
namespace {

struct FakeMaterialView final : editors::MaterialEditorView {
    void SetMaterialList(const std::vector<std::string>& n) override { names = n; }
    void SetMaterialEntry(int i, const std::string& n) override { names.at(std::size_t(i)) = n; }
    void SelectMaterial(int i) override { selected = i; }
    void SetDensityText(const std::string& t) override {
        if (failDensity) throw std::length_error("no room");
        density = t;
    }
    void SetZFactorText(const std::string& t) override { zFactor = t; }
    void FocusZFactor() override { ++zFocus; }
    std::vector<std::string> names;
    int selected = -1, zFocus = 0;
    bool failDensity = false;  // showing a density raises an error
    std::string density, zFactor;
};

struct MaterialRig {
    MaterialRig() { editor.Open(); }
    setup::MaterialRec& Material(int n) { return rig.setup->materials[n]; }
    CommandRig rig;
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, dialogs, progress};
    FakeMaterialView view;
    editors::MaterialEditor editor{context, view};
};

TEST(MaterialEditor, TypedValuesGoThroughTheSpinInWholeHundredths) {
    MaterialRig r;
    ASSERT_EQ(r.view.names.size(), 100u);
    EXPECT_EQ(r.view.selected, 0);
    r.editor.DensityTyped("2.345");
    EXPECT_EQ(r.editor.DensitySpin().value, 234);
    EXPECT_EQ(r.Material(1).Density, 2.34);
    EXPECT_EQ(r.view.density, "2.34");

    // Out of range, or not wholly one number (not read as 12 or 1).
    const Texts refused = {"100", "0.3", "abc", "", "1e309", "nan", "1,5", "12abc", "3 4"};
    for (const std::string& text : refused) r.editor.DensityTyped(text);
    EXPECT_EQ(r.dialogs.Texts(), Texts(refused.size(), "Valid values are 0.40 to 99.99."));
    EXPECT_EQ(r.Material(1).Density, 2.34);
    EXPECT_EQ(r.view.density, "2.34") << "the old value comes back";
    EXPECT_EQ(r.view.zFocus, 0);
    r.editor.ZFactorTyped("0.05");
    EXPECT_EQ(r.dialogs.LastText(), "Valid values are 0.10 to 9.99.");
    EXPECT_EQ(r.view.zFocus, 1);
    r.editor.ZFactorTyped("1,5");
    EXPECT_EQ(r.view.zFocus, 2);
    EXPECT_EQ(r.Material(1).ZFactor, 1.0);
    r.editor.ZFactorTyped("9.99");
    r.editor.ZFactorStep(+1);
    EXPECT_EQ(r.editor.ZFactorSpin().value, 999) << "the spin stops at its maximum";
    r.editor.ZFactorStep(-1);
    EXPECT_EQ(r.Material(1).ZFactor, 9.98);
    EXPECT_EQ(r.view.zFactor, "9.98");
    r.editor.DensityTyped("2.3");
    EXPECT_EQ(r.editor.DensitySpin().value, 230) << "not 229.99999";
}

TEST(MaterialEditor, LookingAtAMaterialLeavesItsValuesAsTheyAre) {
    MaterialRig r;
    r.Material(4).ZFactor = 9.999;  // as the instrument sends it, in thousandths
    r.Material(4).Density = 0.2;    // from an old file, below the spin's range
    r.editor.MaterialChosen(3);
    EXPECT_EQ(r.editor.ZFactorSpin().value, 999);
    EXPECT_EQ(r.editor.DensitySpin().value, 40);
    EXPECT_EQ(r.Material(4).ZFactor, 9.999);
    EXPECT_EQ(r.Material(4).Density, 0.2);
    r.editor.DensityStep(+1);
    EXPECT_EQ(r.Material(4).Density, 0.41);
}

TEST(MaterialEditor, RenameAsksAgainOnADuplicateAndStoresTheInstrumentsName) {
    MaterialRig r;
    r.Material(10).Material = setup::FixedName("Gold");
    r.editor.MaterialChosen(2);
    r.dialogs.typed = {"  gOLD ", "Gold-ü"};
    r.editor.Rename();
    EXPECT_EQ(r.dialogs.Texts(),
              (Texts{"Duplicate Name @ Material #10.",
                     "The instrument takes plain ASCII characters only: the name is stored as "
                     "\"Gold-?\"."}));
    EXPECT_EQ(r.dialogs.asked.front(), "Edit Material|Enter new name:|Material 3");
    EXPECT_EQ(r.Material(3).Material, "Gold-?          ");
    EXPECT_EQ(r.view.names[2], r.Material(3).Material) << "the list shows the stored name";
    EXPECT_EQ(r.view.selected, 2);

    r.dialogs.ClearRecord();
    r.dialogs.typed = {"Gold-é"};  // the same name as the instrument takes it
    r.editor.Rename();
    EXPECT_TRUE(r.dialogs.messages.empty()) << "its own name changes nothing";

    r.editor.MaterialChosen(4);
    r.dialogs.typed = {"Gold-ä", "Tantalum pentoxide"};
    r.editor.Rename();
    EXPECT_EQ(r.dialogs.Texts(), Texts{"Duplicate Name @ Material #3."});
    EXPECT_EQ(r.Material(5).Material, "Tantalum pentoxi");

    r.dialogs.typed = {std::nullopt};
    r.editor.Rename();
    EXPECT_EQ(r.Material(5).Material, "Tantalum pentoxi") << "Cancel";
}

TEST(MaterialEditor, AnErrorInAHandlerIsReportedUnderTheHandlersName) {
    HandlerRig errors;
    MaterialRig r;
    r.rig.link.Errors = errors.handler.get();
    r.view.failDensity = true;
    r.editor.DensityStep(+1);
    EXPECT_EQ(errors.handler->ErrorProc(), "frmMaterial_spnDensity_Change");
    EXPECT_EQ(errors.handler->ErrorString(), "no room");
    r.editor.MaterialChosen(4);
    EXPECT_EQ(errors.handler->ErrorProc(), "frmMaterial_cboMaterials_Click");
    EXPECT_EQ(errors.handler->Depth(), 0);
    EXPECT_EQ(errors.dialogs.messages.size(), 2u);
    r.view.failDensity = false;
    r.editor.MaterialChosen(4);
    EXPECT_EQ(r.view.selected, 4) << "the editor goes on";
}

}  // namespace
}  // namespace delvar::testing

// The layer editor window over its real grids. With DELVAR_SHOT_DIR set to a folder,
// pictures of the window are saved there.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>

#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "windows/CellGrid.h"
#include "windows/frmLayer.h"

namespace delvar::windows {
namespace {

struct LayerWindowRig : testing::LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    testing::ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress, 1, 3, 1};
    LayerWindowRig() {
        setup::ResetSetupData(*setup);
        setup->layers[3].Rate = 4.5;
        setup->layers[3].Film_Number = 2;
    }
    static void Shot(QWidget& w, const char* name) {
        if (const char* folder = std::getenv("DELVAR_SHOT_DIR"))
            w.grab().save(QString(folder) + "/" + name);
    }
};

// Types text into a cell of the shown window and presses Enter.
void TypeInto(CellGrid& grid, int row, const char* text) {
    grid.setFocus();
    grid.setCurrentCell(row, 1);
    grid.editItem(grid.item(row, 1));
    QLineEdit* editor = nullptr;  // closed editors linger hidden until deleted
    for (auto* e : grid.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

TEST(LayerWindow, RefusedEntryRevertsTheCellAndCancelRestoresTheLayers) {
    LayerWindowRig r;
    const setup::LayerRec before = r.setup->layers[3];
    frmLayer window(r.context);
    EXPECT_EQ(window.windowTitle(), "Layer Edit");
    auto* grid1 = window.findChild<CellGrid*>("grdLayer1");
    ASSERT_NE(grid1, nullptr);
    ASSERT_NE(window.findChild<CellGrid*>("grdLayer3"), nullptr);
    EXPECT_EQ(window.findChild<QComboBox*>("cboFilms")->currentIndex(), 1);
    EXPECT_FALSE(window.findChild<QPushButton*>("cmdUpLoad")->isEnabled());  // off line
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    LayerWindowRig::Shot(window, "frmLayer.png");

    TypeInto(*grid1, 0, "1200");
    EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{"Valid Rate values are 0 to 999.9"});
    EXPECT_EQ(grid1->CellText(0, 1), "4.5");
    LayerWindowRig::Shot(window, "frmLayer_refused.png");
    TypeInto(*grid1, 1, "2.5");
    EXPECT_EQ(r.setup->layers[3].Final_Thick, 2.5);
    window.findChild<QComboBox*>("cboFilms")->setCurrentIndex(5);
    EXPECT_EQ(r.setup->layers[3].Film_Number, 6);

    QTest::mouseClick(window.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(r.setup->layers[3] == before);
}

}  // namespace
}  // namespace delvar::windows

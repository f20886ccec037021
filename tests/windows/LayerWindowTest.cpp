// The layer editor window over its real grids. With DELVAR_SHOT_DIR set to a folder,
// pictures of the window are saved there.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>
#include <memory>

#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTesting.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmLayer.h"

namespace delvar::windows {
namespace {

using testing::TypeInCell;

// Scripted dialogs that first let the test look at the message (for the pictures).
struct WatchedDialogs final : core::MessageOnlyDialogs {
    testing::ScriptedDialogs script;
    std::function<void(const std::string&)> onMessage;
    core::MessageAnswer ShowMessage(const core::Message& message) override {
        if (onMessage) onMessage(message.text);
        return script.ShowMessage(message);
    }
};

struct LayerWindowRig : testing::LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    WatchedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress, 1, 3, 1};
    LayerWindowRig() {
        setup::ResetSetupData(*setup);
        setup->layers[3].Rate = 4.5;
        setup->layers[3].Film_Number = 2;
    }
    // The window, with a message box drawn over it when message is given.
    static void Shot(QWidget& w, const char* name, const std::string& message = "") {
        const char* folder = std::getenv("DELVAR_SHOT_DIR");
        if (!folder) return;
        QPixmap picture = w.grab();
        if (!message.empty()) {
            QMessageBox box(QMessageBox::NoIcon, "Delvar Comm", QString::fromStdString(message));
            box.show();  // laid out with its button
            const QPixmap boxPicture = box.grab();
            box.hide();
            QPainter painter(&picture);
            painter.drawPixmap((picture.width() - boxPicture.width()) / 2,
                               (picture.height() - boxPicture.height()) / 2, boxPicture);
            painter.setPen(Qt::darkGray);
            painter.drawRect((picture.width() - boxPicture.width()) / 2,
                             (picture.height() - boxPicture.height()) / 2, boxPicture.width() - 1,
                             boxPicture.height() - 1);
        }
        picture.save(QString(folder) + "/" + name);
    }
};

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

    std::string shown;  // the cell as the message appears
    r.dialogs.onMessage = [&](const std::string& text) {
        shown = grid1->CellText(0, 1);
        LayerWindowRig::Shot(window, "frmLayer_refused.png", text);
    };
    TypeInCell(*grid1, 0, 1, "1200");
    EXPECT_EQ(r.dialogs.script.Texts(),
              std::vector<std::string>{"Valid Rate values are 0 to 999.9"});
    EXPECT_EQ(shown, "1200");
    EXPECT_EQ(grid1->CellText(0, 1), "4.5");
    TypeInCell(*grid1, 1, 1, "2.5");
    EXPECT_EQ(r.setup->layers[3].Final_Thick, 2.5);
    EXPECT_EQ(grid1->CellText(1, 1), "2.500") << "redrawn as the row shows it";
    TypeInCell(*grid1, 0, 1, "1,5");
    EXPECT_EQ(r.dialogs.script.LastText(), "Valid Rate values are 0 to 999.9");
    EXPECT_EQ(grid1->CellText(0, 1), "4.5");
    auto* grid2 = window.findChild<CellGrid*>("grdLayer2");
    TypeInCell(*grid2, 3, 1, "12.7");  // whole seconds
    EXPECT_EQ(grid2->CellText(3, 1), "13");
    EXPECT_EQ(r.setup->layers[3].Pwr_Alarm_Dev, 13);
    window.findChild<QComboBox*>("cboFilms")->setCurrentIndex(5);
    EXPECT_EQ(r.setup->layers[3].Film_Number, 6);

    grid1->setCurrentCell(4, 1);  // a list cell opens as a drop-down
    grid1->editItem(grid1->item(4, 1));
    QCoreApplication::processEvents();
    LayerWindowRig::Shot(window, "frmLayer_list.png");
    QTest::mouseClick(window.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(r.setup->layers[3] == before);
}

}  // namespace
}  // namespace delvar::windows

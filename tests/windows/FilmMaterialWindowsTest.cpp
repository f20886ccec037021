// The film and material windows on their real controls: names, an edit through the
// grid, the film selector, Cancel, and typed material values. With DELVAR_SHOTS set
// to a folder the windows are also saved there as pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest/QTest>

#include "setup/SetupData.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTesting.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmFilm.h"
#include "windows/editors/frmMaterial.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;

struct EditorRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress};
    EditorRig() { setup::ResetSetupData(*setup); }
};

// The window with the last message box drawn over it, as the operator saw it.
void Shot(QWidget& window, const char* file, const std::string& message = "") {
    const QByteArray folder = qgetenv("DELVAR_SHOTS");
    if (folder.isEmpty()) return;
    QPixmap picture = window.grab();
    if (!message.empty()) {
        QMessageBox box(QMessageBox::Warning, "Delvar Comm", QString::fromStdString(message));
        box.show();
        QCoreApplication::processEvents();
        QPainter painter(&picture);
        const QPixmap boxPicture = box.grab();
        painter.drawPixmap((picture.width() - boxPicture.width()) / 2,
                           (picture.height() - boxPicture.height()) / 2, boxPicture);
    }
    picture.save(QString(folder) + "/" + file);
}

TEST(FilmWindow, NamedControlsAndARefusedCellThatReverts) {
    EditorRig r;
    r.context.currentFilm = 2;
    frmFilm window(r.context);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Film Edit");
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(Child<QLabel>(window, "lblNumber")->text(), "Film 2:");
    EXPECT_EQ(Child<QRadioButton>(window, "optSelect_1")->text(), "Film 2");
    EXPECT_EQ(Child<QComboBox>(window, "cboFilms")->count(), 50);
    EXPECT_EQ(Child<QComboBox>(window, "cboMaterials")->count(), 100);
    EXPECT_FALSE(Child(window, "cmdUpLoad")->isEnabled()) << "off line";
    auto* grdFilm = Child<CellGrid>(window, "grdFilm");
    auto* grdA5 = Child<CellGrid>(window, "grdA5");
    ASSERT_TRUE(grdFilm && grdA5 && Child<CellGrid>(window, "grdA3"));
    EXPECT_EQ(grdA5->rowCount(), 16);

    TypeInCell(*grdFilm, 3, 1, "250");
    EXPECT_EQ(r.setup->films[2].Tooling, 250);
    TypeInCell(*grdFilm, 3, 1, "5");
    EXPECT_EQ(r.dialogs.LastText(), "Valid Tooling values are 10 to 399");
    EXPECT_EQ(grdFilm->CellText(3, 1), "250");
    EXPECT_EQ(r.setup->films[2].Tooling, 250);
    Shot(window, "frmFilm-refused.png", r.dialogs.LastText());

    auto* cboFilms = Child<QComboBox>(window, "cboFilms");
    cboFilms->setCurrentIndex(6);
    EXPECT_EQ(Child<QLabel>(window, "lblNumber")->text(), "Film 7:");
    Shot(window, "frmFilm.png");
    cboFilms->lineEdit()->selectAll();
    QTest::keyClicks(cboFilms->lineEdit(), "Silver Ag");
    QTest::keyClick(cboFilms->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(r.setup->films[7].Film_Name, setup::FixedName("Silver Ag"));
    EXPECT_EQ(cboFilms->itemText(6), "Silver Ag");

    QTest::mouseClick(Child(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(r.setup->films[2].Tooling, 100) << "Cancel restores every film";
    EXPECT_EQ(r.setup->films[7].Film_Name, setup::FixedName("Film 7"));
}

// The focus leaves a typed box as the window goes: nothing may reach the logic then.
TEST(FilmWindow, AndTheMaterialWindowCloseWithTheFocusInATypedBox) {
    EditorRig r;
    const std::string film1 = r.setup->films[1].Film_Name;
    {
        frmFilm window(r.context);
        window.show();
        QApplication::setActiveWindow(&window);
        auto* films = Child<QComboBox>(window, "cboFilms");
        films->lineEdit()->setFocus();
        films->lineEdit()->setText("Half typed");
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(r.setup->films[1].Film_Name, film1);
    {
        frmMaterial window(r.context);
        window.show();
        QApplication::setActiveWindow(&window);
        for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
            if (!box->isVisible() || !box->isEnabled()) continue;
            box->setFocus();
            box->setText("12");
            break;
        }
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();
}

TEST(MaterialWindow, TypedValuesSpinButtonsAndTheRangeMessage) {
    EditorRig r;
    frmMaterial window(r.context);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Materials");
    EXPECT_EQ(Child<QPushButton>(window, "cmdEdit")->text(), "&Rename");
    EXPECT_EQ(Child<QPushButton>(window, "cmdClose")->text(), "&OK");
    auto* txtDensity = Child<QLineEdit>(window, "txtDensity");
    EXPECT_EQ(txtDensity->text(), "1.00");

    txtDensity->selectAll();
    QTest::keyClicks(txtDensity, "2.345");
    QTest::keyClick(txtDensity, Qt::Key_Return);
    EXPECT_EQ(txtDensity->text(), "2.34");
    QTest::mouseClick(Child(window, "spnDensity")->findChild<QToolButton*>("up"), Qt::LeftButton);
    EXPECT_EQ(r.setup->materials[1].Density, 2.35);
    EXPECT_EQ(txtDensity->text(), "2.35");
    Shot(window, "frmMaterial.png");

    txtDensity->selectAll();
    QTest::keyClicks(txtDensity, "100");
    QTest::keyClick(txtDensity, Qt::Key_Return);
    EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{"Valid values are 0.40 to 99.99."});
    EXPECT_EQ(txtDensity->text(), "2.35");
    EXPECT_EQ(r.setup->materials[1].Density, 2.35);

    Child<QComboBox>(window, "cboMaterials")->setCurrentIndex(1);
    EXPECT_EQ(txtDensity->text(), "1.00") << "material 2";
}

}  // namespace
}  // namespace delvar::windows

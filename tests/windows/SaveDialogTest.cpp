// The program's save dialog: a bare name typed into it gets the default suffix before
// the dialog asks whether to replace a file, so the question names the real file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/QtDialogService.h"
#include "support/ScratchFolder.h"

namespace delvar::testing {
namespace {

TEST(SaveDialog, ABareNameIsAskedAboutUnderItsDefaultSuffix) {
    ScratchFolder folder;
    WriteFile(folder / "Delvar.mdb", "the operator's setup");
    const auto dialog = platform::MakeSaveDialog(
        nullptr, {"Save As", "DB Files (*.mdb)|*.mdb", folder / "New.mdb", "mdb"});
    EXPECT_EQ(dialog->defaultSuffix(), "mdb");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"DB Files (*.mdb)"});
    EXPECT_EQ(dialog->selectedFiles().value(0).toStdString(), folder / "New.mdb");

    // Typed "Delvar" and Save: the question comes while the dialog is still open.
    QString question;
    QTimer::singleShot(0, [&] {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText("Delvar");
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        QMetaObject::invokeMethod(dialog.get(), "accept");  // what Save does
        dialog->reject();  // after the answer No, the operator leaves
    });
    dialog->exec();
    QCoreApplication::processEvents();
    EXPECT_TRUE(question.contains("Delvar.mdb")) << question.toStdString();
    EXPECT_EQ(ReadFile(folder / "Delvar.mdb"), "the operator's setup");
}

}  // namespace
}  // namespace delvar::testing

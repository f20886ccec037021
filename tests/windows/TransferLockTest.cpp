// The transfer rule every window that talks to the instrument follows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "windows/TransferLock.h"

using delvar::windows::TransferLock;
using delvar::windows::TransferScope;

namespace {

struct LockedDialog {
    QDialog dialog;
    QPushButton* upload = new QPushButton("Up");
    QPushButton* cancel = new QPushButton("Cancel");
    QPushButton* offline = new QPushButton("Off line");
    QSpinBox* spin = new QSpinBox;
    TransferLock lock{&dialog};
    LockedDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(upload), static_cast<QWidget*>(cancel),
                           static_cast<QWidget*>(offline), static_cast<QWidget*>(spin)})
            layout->addWidget(w);
        layout->addWidget(new QLabel("status"));
        offline->setEnabled(false);
        dialog.show();
    }
};

}  // namespace

TEST(TransferLock, DisablesTheControlsAndGivesBackOnlyThoseItTook) {
    LockedDialog w;
    {
        TransferScope outer(w.lock);
        EXPECT_FALSE(w.upload->isEnabled());
        EXPECT_FALSE(w.cancel->isEnabled());
        EXPECT_FALSE(w.spin->isEnabled());
        {
            TransferScope inner(w.lock);  // a step inside the transfer
        }
        EXPECT_TRUE(w.lock.Running());
        EXPECT_FALSE(w.upload->isEnabled()) << "the inner end must not give the window back";
    }
    EXPECT_FALSE(w.lock.Running());
    EXPECT_TRUE(w.upload->isEnabled());
    EXPECT_TRUE(w.cancel->isEnabled());
    EXPECT_TRUE(w.spin->isEnabled());
    EXPECT_FALSE(w.offline->isEnabled()) << "a control disabled before stays disabled";
}

TEST(TransferLock, ACloseDuringATransferWaitsForItsEnd) {
    LockedDialog w;
    int rejected = 0;
    QObject::connect(&w.dialog, &QDialog::rejected, [&] { ++rejected; });
    {
        TransferScope scope(w.lock);
        w.dialog.close();  // the title bar's X
        EXPECT_TRUE(w.dialog.isVisible());
        EXPECT_TRUE(w.lock.DeferClose([&] { w.dialog.reject(); }));  // Escape
        QCoreApplication::processEvents();
        EXPECT_TRUE(w.dialog.isVisible()) << "nothing closes while the transfer runs";
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.dialog.isVisible());
    EXPECT_EQ(rejected, 1);
    EXPECT_FALSE(w.lock.DeferClose([] {})) << "with no transfer a close goes ahead at once";
}

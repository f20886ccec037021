// The setup window's off-line notice: shown once before an editor that needs the
// instrument opens, never for one that does not need it or does not exist.
#include <gtest/gtest.h>

#include "editors/ProcessWindowRig.h"

namespace delvar::testing {
namespace {

TEST(EditMenuNotice, OnlyEditorsThatNeedTheInstrumentAndExistShowItOnce) {
    ProcessWindowRig r;
    ProcessWindowLogic& w = r.Open();
    w.Edit(Editor::Film);
    w.Edit(Editor::Sources);  // none supplied: nothing opens, nothing to warn about
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();
    EXPECT_FALSE(r.line.link.OfflineNoticeShown);
    w.Edit(Editor::Sensors);
    w.Edit(Editor::Logic);
    EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{kOfflineNotice});
    EXPECT_EQ(r.opened.size(), 3u) << "film, sensors, logic";

    r.line.link.OfflineNoticeShown = false;  // what a failed connection attempt leaves
    w.Edit(Editor::Sensors);
    EXPECT_EQ(r.dialogs.Texts().size(), 2u);
    r.line.link.OfflineNoticeShown = false;
    r.line.link.MutableInfo().Online = true;
    w.Edit(Editor::Sensors);
    EXPECT_EQ(r.dialogs.Texts().size(), 2u) << "on line: no notice";
}

}  // namespace
}  // namespace delvar::testing

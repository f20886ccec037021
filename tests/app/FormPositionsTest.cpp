#include <gtest/gtest.h>

#include "app/FormPositions.h"

namespace delvar::app {
namespace {

struct FakeWindow final : FormWindow {
    std::string Name() const override { return "frmMain"; }
    Rect Geometry() const override { return geometry; }
    void SetGeometry(const Rect& r) override { geometry = r; }
    int State() const override { return state; }
    void SetState(int s) override { state = s; }
    bool FixedBorder() const override { return fixed; }
    std::vector<Rect> Screens() const override { return screens; }

    Rect geometry{10, 10, 400, 300};
    int state = 0;
    bool fixed = false;
    std::vector<Rect> screens{{0, 0, 1024, 768}};
};

void ExpectRect(const Rect& r, int l, int t, int w, int h) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

struct FormPositionsTest : ::testing::Test {
    FakeWindow w;
    MemorySettingsStore store;
    bool Restore(const std::string& entry, bool keep = false) {
        store.SaveSetting("Form Positions", "frmMain", entry);
        return RestoreFormPosition(w, store, keep);
    }
};

TEST_F(FormPositionsTest, SavedInTwipsAndRestored) {
    w.geometry = {80, 60, 640, 480};
    SaveFormPosition(w, store);
    EXPECT_EQ(store.GetSetting("Form Positions", "frmMain"), "L=1200;T=900;W=9600;H=7200;S=0;");
    w.geometry = {};
    EXPECT_TRUE(RestoreFormPosition(w, store, true));
    ExpectRect(w.geometry, 80, 60, 640, 480);
}

TEST_F(FormPositionsTest, MissingEntryLeavesTheWindow) {
    EXPECT_FALSE(RestoreFormPosition(w, store, false));
    ExpectRect(w.geometry, 10, 10, 400, 300);
}

TEST_F(FormPositionsTest, FixedBorderKeepsItsSize) {
    w.fixed = true;
    EXPECT_TRUE(Restore("L=1500;T=3000;W=9000;H=7000;S=0;"));
    ExpectRect(w.geometry, 100, 200, 400, 300);
}

TEST_F(FormPositionsTest, SavedStateIsSetWithoutMoving) {
    EXPECT_TRUE(Restore("L=1500;T=3000;W=9000;H=7000;S=2;"));
    EXPECT_EQ(w.state, 2);
    ExpectRect(w.geometry, 10, 10, 400, 300);
}

TEST_F(FormPositionsTest, PartlyVisibleAppliedUnchangedButOffEveryScreenCentred) {
    EXPECT_TRUE(Restore("L=13500;T=9000;W=9000;H=7000;S=0;"));  // 900,600: a corner shows
    ExpectRect(w.geometry, 900, 600, 600, 466);
    EXPECT_TRUE(Restore("L=20000;T=20000;W=9000;H=7000;S=0;"));  // 1333,1333: nothing shows
    ExpectRect(w.geometry, (1024 - 600) / 2, (768 - 466) / 2, 600, 466);
}

TEST_F(FormPositionsTest, SecondMonitorKeptAndKeepOnScreenPullsBack) {
    w.screens.push_back({1024, 0, 1920, 1080});
    EXPECT_TRUE(Restore("L=30000;T=1500;W=9000;H=7000;S=0;", true));  // 2000,100
    ExpectRect(w.geometry, 2000, 100, 600, 466);
    w.screens.pop_back();
    EXPECT_TRUE(Restore("L=30000;T=-150;W=9000;H=7000;S=0;", true));
    ExpectRect(w.geometry, 1024 - 600, 0, 600, 466);
}

}  // namespace
}  // namespace delvar::app

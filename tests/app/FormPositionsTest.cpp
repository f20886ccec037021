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

struct FormPositionsTest : ::testing::Test {
    FakeWindow w;
    MemorySettingsStore store;
    // The geometry after restoring entry, as "left,top,width,height".
    std::string Restore(const std::string& entry, bool keep = false) {
        store.SaveSetting("Form Positions", "frmMain", entry);
        EXPECT_TRUE(RestoreFormPosition(w, store, keep));
        const Rect& r = w.geometry;
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.width) + "," + std::to_string(r.height);
    }
};

TEST_F(FormPositionsTest, SavedInTwipsAndRestored) {
    EXPECT_FALSE(RestoreFormPosition(w, store, false));
    w.geometry = {80, 60, 640, 480};
    SaveFormPosition(w, store);
    EXPECT_EQ(store.GetSetting("Form Positions", "frmMain"), "L=1200;T=900;W=9600;H=7200;S=0;");
    w.geometry = {};
    EXPECT_EQ(Restore(store.GetSetting("Form Positions", "frmMain"), true), "80,60,640,480");
}

TEST_F(FormPositionsTest, FixedBorderKeepsItsSizeAndSavedStateStops) {
    w.fixed = true;
    EXPECT_EQ(Restore("L=1500;T=3000;W=9000;H=7000;S=0;"), "100,200,400,300");
    EXPECT_EQ(Restore("L=0;T=0;W=9000;H=7000;S=2;"), "100,200,400,300");
    EXPECT_EQ(w.state, 2);
}

TEST_F(FormPositionsTest, PartlyVisibleAppliedUnchangedButOffEveryScreenCentred) {
    EXPECT_EQ(Restore("L=13500;T=9000;W=9000;H=7000;S=0;"), "900,600,600,466");
    EXPECT_EQ(Restore("L=20000;T=20000;W=9000;H=7000;S=0;"), "212,151,600,466");
}

TEST_F(FormPositionsTest, SecondMonitorKeptAndKeepOnScreenPullsBack) {
    w.screens.push_back({1024, 0, 1920, 1080});
    EXPECT_EQ(Restore("L=30000;T=1500;W=9000;H=7000;S=0;", true), "2000,100,600,466");
    w.screens.pop_back();
    EXPECT_EQ(Restore("L=30000;T=-150;W=9000;H=7000;S=0;", true), "424,0,600,466");
}

}  // namespace
}  // namespace delvar::app

// Every window of the program, walked for access keys ("&File"): no two controls or
// menu-bar menus of one window, and no two items of one menu, share a key, so that
// Alt+key always reaches the one thing it names. A new window is one line of kWindows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "core/CErrHandler.h"
#include "monitor/DataLog.h"
#include "setup/modDatabase.h"
#include "support/FakeSerialDevices.h"
#include "support/LinkRig.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"
#include "windows/app/frmComm.h"
#include "windows/app/frmMain.h"
#include "windows/app/frmSplash.h"
#include "windows/editors/frmFilm.h"
#include "windows/editors/frmIO.h"
#include "windows/editors/frmLayer.h"
#include "windows/editors/frmLogic.h"
#include "windows/editors/frmMaterial.h"
#include "windows/editors/frmProcess.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"
#include "windows/monitor/frmDataLog.h"
#include "windows/monitor/frmGraphSet.h"
#include "windows/monitor/frmReadings.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;

// The access key of a text: the character after a single "&" ("&&" is an ampersand).
QChar AccessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Collects the keys of one scope and names every key given twice.
class Scope {
  public:
    explicit Scope(QString name) : name_(std::move(name)) {}
    void Add(const QString& text, const QString& what) {
        const QChar key = AccessKey(text);
        if (!key.isNull()) holders_[key] << what + " \"" + text + "\"";
    }
    void Report(std::vector<std::string>& clashes) const {
        for (const auto& [key, holders] : holders_)
            if (holders.size() > 1)
                clashes.push_back(
                    (name_ + ": Alt+" + key + " is " + holders.join(" and ")).toStdString());
    }

  private:
    QString name_;
    std::map<QChar, QStringList> holders_;
};

QString Name(const QObject& o) {
    return o.objectName().isEmpty() ? o.metaObject()->className() : o.objectName();
}

// The items of a menu are a scope of their own, as are those of its submenus.
void WalkMenu(const QMenu& menu, std::vector<std::string>& clashes) {
    Scope items(Name(menu) + " menu \"" + menu.title() + "\"");
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        items.Add(action->text(), Name(*action));
        if (action->menu()) WalkMenu(*action->menu(), clashes);
    }
    items.Report(clashes);
}

// Every clash of the window: its buttons, labels with a buddy, group boxes, tabs and
// menu-bar menus share one scope (controls of windows it owns are not its own).
std::vector<std::string> AccessKeyClashes(QWidget& window) {
    std::vector<std::string> clashes;
    Scope scope(Name(window));
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) scope.Add(button->text(), Name(*w));
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            scope.Add(label->text(), Name(*w));
        if (auto* box = qobject_cast<QGroupBox*>(w)) scope.Add(box->title(), Name(*w));
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i) scope.Add(tabs->tabText(i), Name(*w));
        if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (const QAction* action : bar->actions()) {
                scope.Add(action->text(), Name(*action));
                if (action->menu()) WalkMenu(*action->menu(), clashes);
            }
        }
    }
    scope.Report(clashes);
    return clashes;
}

// What the windows are built on: no instrument answers, nothing is opened.
struct WindowRig : LinkRig {
    ScratchFolder folder;
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    core::CErrHandler errors{dialogs, core::AppInfo{}, folder / "ERRORS.TXT", folder.path()};
    std::unique_ptr<setup::SetupData> setup = [] {
        auto s = std::make_unique<setup::SetupData>();
        setup::ResetSetupData(*s);
        return s;
    }();
    setup::modDatabase database{*setup, {dialogs, errors, progress}};
    commands::RunReadings readings;
    monitor::ManualClock clock;
    app::AppSettings settings;
    monitor::DataLog log{settings.log, folder.path(), clock, dialogs};
    editors::EditorContext context{link, *setup, dialogs, progress};
    testing::FakeSerialDevices serialDevices;
    std::vector<std::unique_ptr<QWidget>> windows;

    QWidget& Keep(std::unique_ptr<QWidget> window) {
        return *windows.emplace_back(std::move(window));
    }
    frmMain& Main() {
        if (!main_) {
            main_ = std::make_unique<frmMain>(MainWindowDeps{link, *setup, readings, log, settings,
                                                             clock, dialogs, progress,
                                                             serialDevices, ""});
            main_->errors = &errors;
        }
        return *main_;
    }

  private:
    std::unique_ptr<frmMain> main_;
};

using Opener = std::function<QWidget&(WindowRig&)>;

const std::vector<std::pair<const char*, Opener>> kWindows = {
    {"frmMain", [](WindowRig& r) -> QWidget& { return r.Main(); }},
    {"frmComm", [](WindowRig& r) -> QWidget& { return *r.Main().findChild<frmComm*>(); }},
    {"frmDataLog",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmDataLog>(r.settings.log, r.log, r.dialogs));
     }},
    {"frmGraphSet",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmGraphSet>(r.Main().Graphs()));
     }},
    {"frmReadings",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmReadings>(r.readings.sensors, &r.errors));
     }},
    {"frmSplash", [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmSplash>()); }},
    {"frmProcess",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmProcess>(ProcessWindowDeps{r.link,
                                                                      *r.setup,
                                                                      r.database,
                                                                      r.dialogs,
                                                                      r.progress,
                                                                      r.settings,
                                                                      r.folder.path(),
                                                                      {}},
                                                    0));
     }},
    {"frmLayer",
     [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmLayer>(r.context)); }},
    {"frmFilm",
     [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmFilm>(r.context)); }},
    {"frmMaterial",
     [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmMaterial>(r.context)); }},
    {"frmIO", [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmIO>(r.context)); }},
    {"frmSensors",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmSensors>(editors::ChannelKind::Sensors, r.context));
     }},
    {"frmSources",
     [](WindowRig& r) -> QWidget& {
         return r.Keep(std::make_unique<frmSensors>(editors::ChannelKind::Sources, r.context));
     }},
    {"frmLogic",
     [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmLogic>(r.context)); }},
    {"frmSystem",
     [](WindowRig& r) -> QWidget& { return r.Keep(std::make_unique<frmSystem>(r.context)); }},
};

TEST(AccessKeys, NoWindowGivesOneKeyToTwoControlsOrMenus) {
    WindowRig rig;
    for (const auto& [name, open] : kWindows) {
        QWidget& window = open(rig);
        EXPECT_EQ(window.objectName(), name);
        EXPECT_THAT(AccessKeyClashes(window), ::testing::IsEmpty()) << name;
    }
}

}  // namespace
}  // namespace delvar::windows

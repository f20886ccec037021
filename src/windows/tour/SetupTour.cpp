#include "windows/tour/SetupTour.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <functional>

#include "commands/modCommLogic.h"
#include "windows/app/frmMain.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmFilm.h"
#include "windows/editors/frmIO.h"
#include "windows/editors/frmLayer.h"
#include "windows/editors/frmLogic.h"
#include "windows/editors/frmMaterial.h"
#include "windows/editors/frmProcess.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"
#include "windows/tour/ScreenshotTour.h"

namespace delvar::windows {

namespace {

// Answers every message with OK after a picture of the window with the message box
// drawn over its middle.
class PictureDialogs final : public core::MessageOnlyDialogs {
  public:
    explicit PictureDialogs(std::vector<std::string>& saved) : saved_(saved) {}
    void Next(QWidget* window, std::string path) {
        window_ = window;
        path_ = std::move(path);
    }
    core::MessageAnswer ShowMessage(const core::Message& message) override {
        if (window_ && !path_.empty()) {
            const QPixmap shown = window_->grab();
            QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(message.title),
                            QString::fromStdString(message.text));
            box.setObjectName(ScreenshotTour::kPictureBox);
            box.show();
            QCoreApplication::processEvents();
            const QPixmap boxPicture = box.grab();
            box.hide();
            // Over the middle of the window; below it when the window is too small to
            // show around the message.
            const bool below = shown.height() < 2 * boxPicture.height();
            QPixmap picture(std::max(shown.width(), boxPicture.width()),
                            below ? shown.height() + boxPicture.height() + 8 : shown.height());
            picture.fill(QColor(90, 90, 90));
            QPainter painter(&picture);
            painter.drawPixmap(0, 0, shown);
            const QPoint at(
                (picture.width() - boxPicture.width()) / 2,
                below ? shown.height() + 8 : (picture.height() - boxPicture.height()) / 2);
            painter.drawPixmap(at, boxPicture);
            painter.setPen(Qt::darkGray);
            painter.drawRect(QRect(at, boxPicture.size()).adjusted(0, 0, -1, -1));
            if (picture.save(QString::fromStdString(path_))) saved_.push_back(path_);
            path_.clear();
        }
        return message.buttons == core::MessageButtons::YesNo ||
                       message.buttons == core::MessageButtons::YesNoCancel
                   ? core::MessageAnswer::No
                   : core::MessageAnswer::Ok;
    }

  private:
    std::vector<std::string>& saved_;
    QWidget* window_ = nullptr;
    std::string path_;
};

void PressEnter(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
    QCoreApplication::processEvents();
}

// Types text into the value cell of row as the operator would, and presses Enter.
void TypeIntoCell(CellGrid* grid, int row, const char* text) {
    if (!grid) return;
    grid->setFocus();
    grid->setCurrentCell(row, 1);
    grid->editItem(grid->item(row, 1));
    for (auto* editor : grid->viewport()->findChildren<QLineEdit*>()) {
        if (!editor->isVisible()) continue;  // closed editors linger hidden
        editor->setText(text);
        PressEnter(editor);
        return;
    }
}

// The sensor, source and system editors, each as it opens and with a value just
// refused.
void ShootChannelAndSystemEditors(editors::EditorContext& context, PictureDialogs& dialogs,
                                  QWidget& main,
                                  const std::function<void(QWidget&, const char*)>& save,
                                  const std::function<std::string(const char*)>& path) {
    struct Shot {
        const char* name;
        const char* grid;
        int row, col;
        const char* refused;
    };
    const auto shoot = [&](QDialog& editor, const Shot& shot) {
        editor.show();
        save(editor, (std::string(shot.name) + ".png").c_str());
        dialogs.Next(&editor, path((std::string(shot.name) + "-refused.png").c_str()));
        if (auto* grid = editor.findChild<CellGrid*>(shot.grid)) {
            grid->setFocus();
            grid->setCurrentCell(shot.row, shot.col);
            grid->editItem(grid->item(shot.row, shot.col));
            for (auto* cell : grid->viewport()->findChildren<QLineEdit*>()) {
                if (!cell->isVisible()) continue;
                cell->setText(shot.refused);
                PressEnter(cell);
                break;
            }
        }
    };
    {
        frmSensors sensors(editors::ChannelKind::Sensors, context, &main);
        shoot(sensors, {"sensor-editor", "grdSensor", 0, 1, "400"});
    }
    {
        frmSensors sources(editors::ChannelKind::Sources, context, &main);
        shoot(sources, {"source-editor", "grdSource", 0, 2, "12"});
    }
    {
        frmSystem system(context, &main);
        shoot(system, {"system-editor", "grdSystem", 2, 1, "5"});
    }
}

// The logic builder with a statement of several terms built and both category lists
// showing their choices.
void ShootLogicBuilder(editors::EditorContext& context, QWidget* parent,
                       const std::function<void(QWidget&, const char*)>& save) {
    using editors::LogicPart;
    frmLogic logic(context, parent);
    editors::LogicBuilder& b = logic.Logic();
    b.NameTextLeft("Pump Down");
    b.AddOperator(3);                      // (
    b.AddCondition(0);                     // Input1
    b.AddOperator(1);                      // OR
    b.AddCondition(1);                     // Input2
    b.AddOperator(4);                      // )
    b.AddOperator(0);                      // AND
    b.AddOperator(2);                      // NOT
    b.CategoryChosen(LogicPart::If, 5);    // Sensors
    b.AddCondition(8);                     // Sens1_Fail
    b.CategoryChosen(LogicPart::Then, 2);  // Relays
    b.ActionChosen(2);                     // Relay3
    if (auto* list = logic.findChild<QListWidget*>("lstIfSelect")) list->setCurrentRow(8);
    if (auto* list = logic.findChild<QListWidget*>("lstThenSelect")) list->setCurrentRow(2);
    logic.show();
    save(logic, "logic-builder.png");
}

}  // namespace

std::vector<std::string> ShootSetupWindows(frmMain& main, link::Link& link, setup::SetupData& setup,
                                           setup::ProgressDisplay& progress,
                                           const std::string& folder) {
    std::vector<std::string> saved;
    auto path = [&](const char* name) {
        return QDir(QString::fromStdString(folder)).absoluteFilePath(name).toStdString();
    };
    auto save = [&](QWidget& w, const char* name) {
        QCoreApplication::processEvents();
        if (w.grab().save(QString::fromStdString(path(name)))) saved.push_back(path(name));
    };

    main.OpenSetupWindow(1);  // the whole setup comes up from the instrument
    if (auto* window = main.findChild<frmProcess*>()) {
        if (auto* tree = window->findChild<QTreeWidget*>("TV1")) {
            for (int p : {0, 3}) {
                if (p >= tree->topLevelItemCount()) continue;
                QTreeWidgetItem* process = tree->topLevelItem(p);
                process->setExpanded(true);
                for (int l = 0; l < process->childCount(); ++l)
                    process->child(l)->setExpanded(true);
            }
            tree->scrollToTop();
        }
        save(*window, "setup-window.png");
        // Given back without the close question: nothing was changed.
        window->hide();
        window->deleteLater();
    }
    main.SetupWindowClosed();

    PictureDialogs dialogs(saved);
    editors::EditorContext context{link, setup, dialogs, progress};
    context.currentProcess = 4;  // the CoDep process
    context.currentLayer = std::max(1, int(setup.processes[4].First_Layer));
    context.currentFilm = 2;
    {
        frmLayer layer(context, &main);
        layer.show();
        save(layer, "layer-editor.png");
        dialogs.Next(&layer, path("layer-editor-refused.png"));
        TypeIntoCell(layer.findChild<CellGrid*>("grdLayer1"), 0, "1200");
    }
    {
        frmFilm film(context, &main);
        film.show();
        save(film, "film-editor.png");
        dialogs.Next(&film, path("film-editor-refused.png"));
        TypeIntoCell(film.findChild<CellGrid*>("grdFilm"), 3, "5");
    }
    {
        frmMaterial material(context, &main);
        material.show();
        save(material, "material-editor.png");
        dialogs.Next(&material, path("material-editor-refused.png"));
        if (auto* density = material.findChild<QLineEdit*>("txtDensity")) {
            density->setFocus();
            density->selectAll();
            for (const char c : std::string("100")) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + (c - '0'), Qt::NoModifier,
                              QString(QChar(c)));
                QCoreApplication::sendEvent(density, &key);
            }
            PressEnter(density);
        }
    }
    ShootChannelAndSystemEditors(context, dialogs, main, save, path);
    ShootLogicBuilder(context, &main, save);
    return saved;
}

namespace {

std::string PathIn(const std::string& folder, const char* name) {
    return QDir(QString::fromStdString(folder)).absoluteFilePath(name).toStdString();
}

// Saves the I/O window with the inputs, then with the relays shown.
void SaveBothGrids(frmIO& window, const std::string& folder, const char* inputs, const char* relays,
                   std::vector<std::string>& saved) {
    for (const auto& [option, name] :
         {std::pair{"optIO_0", inputs}, std::pair{"optIO_1", relays}}) {
        if (auto* opt = window.findChild<QRadioButton*>(option)) opt->click();
        QCoreApplication::processEvents();
        if (window.grab().save(QString::fromStdString(PathIn(folder, name))))
            saved.push_back(PathIn(folder, name));
    }
}

}  // namespace

std::vector<std::string> ShootIoEditor(frmMain& main, link::Link& link, setup::SetupData& setup,
                                       setup::ProgressDisplay& progress,
                                       const std::string& folder) {
    std::vector<std::string> saved;
    struct Input {
        const char* name;
        int level, pin;
    };
    const Input inputs[] = {
        {"Vacuum Ready", 0, 1}, {"Water Flow", 0, 2}, {"Door Closed", 0, 3}, {"Gas Ready", 1, 4}};
    struct Relay {
        const char* name;
        int type, pulses;
        double width;
        int pin;
    };
    const Relay relays[] = {{"Process On", 0, 0, 0.5, 1},
                            {"Vent Valve", 1, 1, 1.5, 2},
                            {"Heater On", 0, 0, 0.5, 3},
                            {"Buzzer", 0, 2, 0.5, 4}};
    for (int k = 1; k <= 4; ++k) {
        const Input& in = inputs[k - 1];
        const Relay& out = relays[k - 1];
        setup.inputs[k] = {setup::WordName(in.name), 0, in.level, in.pin, 0};
        setup.relays[k] = {
            setup::WordName(out.name), 0, out.type, out.pulses, out.width, out.pin, 0};
    }
    // Relay 1 follows the run, relay 3 the vacuum.
    commands::LogicTable logic;
    logic[1] = {setup::WordName("Run lamp"), 1, {806}, 201};
    logic[2] = {setup::WordName("Heat on vacuum"), 1, {101}, 203};
    for (int s : {1, 2}) commands::WriteLogic(link, logic, s);

    PictureDialogs dialogs(saved);
    editors::EditorContext context{link, setup, dialogs, progress};
    frmIO window(context, &main);
    window.show();
    if (auto* write = window.findChild<QPushButton*>("cmdDnLoad")) write->click();
    SaveBothGrids(window, folder, "io-editor.png", "io-editor-relays.png", saved);
    window.close();
    return saved;
}

std::vector<std::string> ShootIoMonitor(frmMain& main, link::Link& link, setup::SetupData& setup,
                                        setup::ProgressDisplay& progress,
                                        const std::string& folder) {
    std::vector<std::string> saved;
    PictureDialogs dialogs(saved);
    editors::EditorContext context{link, setup, dialogs, progress};
    frmIO window(context, &main);
    window.show();
    if (auto* monitor = window.findChild<QCheckBox*>("chkMonitor")) monitor->click();
    window.MonitorTimer();
    SaveBothGrids(window, folder, "io-monitor.png", "io-monitor-relays.png", saved);
    window.close();
    return saved;
}

}  // namespace delvar::windows

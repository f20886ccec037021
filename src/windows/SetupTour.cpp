#include "windows/SetupTour.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTreeWidget>

#include "windows/CellGrid.h"
#include "windows/ScreenshotTour.h"
#include "windows/frmFilm.h"
#include "windows/frmLayer.h"
#include "windows/frmMain.h"
#include "windows/frmMaterial.h"
#include "windows/frmProcess.h"

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
    return saved;
}

}  // namespace delvar::windows

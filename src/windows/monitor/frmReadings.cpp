#include "windows/monitor/frmReadings.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>

#include "core/CErrHandler.h"
#include "monitor/ReadingsTable.h"
#include "windows/app/QtFormWindow.h"

namespace delvar::windows {

namespace {
constexpr int kRefreshMs = 250;
}

frmReadings::frmReadings(const std::array<commands::SensorReading, 4>& sensors,
                         core::CErrHandler* errors, QWidget* parent)
    : QDialog(parent), sensors_(sensors), errors_(errors) {
    setObjectName("frmReadings");
    setWindowTitle("Sensor Readings");
    SetTopmost(*this, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Procedure("Form_Load", [this] { FormLoad(); });
}

// Runs one handler under its procedure name; an error ends the handler and is
// reported, never leaving it (nothing may leave a Qt event handler).
template <typename Body>
void frmReadings::Procedure(const char* name, Body&& body) {
    std::optional<core::ProcGuard> guard;
    if (errors_) guard.emplace(*errors_, std::string("frmReadings_") + name);
    try {
        body();
    } catch (...) {
        if (errors_) errors_->HandleError(core::ErrorInfo::FromCurrentException());
    }
}

void frmReadings::FormLoad() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(kRefreshMs);
    connect(Timer1_, &QTimer::timeout, this, &frmReadings::ShowReadings);
    Procedure("InitGrid", [this] { InitGrid(); });
    if (!grdReading_) return;
    layout->addWidget(grdReading_);
    ShowReadings();
    Timer1_->start();

    adjustSize();
    QtFormWindow form(*this);
    app::CentreForm(form);
}

void frmReadings::InitGrid() {
    using monitor::kReadingsColumns;
    using monitor::kReadingsRows;
    grdReading_ = new QTableWidget(kReadingsRows, kReadingsColumns, this);
    grdReading_->setObjectName("grdReading");
    grdReading_->setToolTip("Readings from the Morvik card.");
    grdReading_->horizontalHeader()->hide();
    grdReading_->verticalHeader()->hide();
    grdReading_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdReading_->setSelectionMode(QAbstractItemView::NoSelection);
    grdReading_->setFocusPolicy(Qt::NoFocus);
    grdReading_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdReading_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // Wide enough for a crystal frequency ("6000000.00") and the headings.
    const QFontMetrics metrics = grdReading_->fontMetrics();
    const int valueWidth = metrics.horizontalAdvance("99999999.99") + 12;
    const int rowHeight = metrics.height() + 8;
    const QPalette palette = grdReading_->palette();
    for (int r = 0; r < kReadingsRows; ++r) {
        grdReading_->setRowHeight(r, rowHeight);
        for (int c = 0; c < kReadingsColumns; ++c) {
            auto* cell =
                new QTableWidgetItem(QString::fromStdString(monitor::ReadingsHeading(r, c)));
            if (r == 0 || c == 0) cell->setBackground(palette.button());
            // Numbers line up on the right, under headings centred over them.
            if (c > 0)
                cell->setTextAlignment((r == 0 ? Qt::AlignHCenter : Qt::AlignRight) |
                                       Qt::AlignVCenter);
            grdReading_->setItem(r, c, cell);
        }
    }
    int width = 0;
    for (int c = 0; c < kReadingsColumns; ++c) {
        const QString widest = grdReading_->item(c == 0 ? kReadingsRows - 1 : 0, c)->text();
        const int text = metrics.horizontalAdvance(widest) + 16;
        grdReading_->setColumnWidth(c, c == 0 ? text : std::max(valueWidth, text));
        width += grdReading_->columnWidth(c);
    }
    const int frame = 2 * grdReading_->frameWidth();
    grdReading_->setFixedSize(width + frame, kReadingsRows * rowHeight + frame);
}

void frmReadings::ShowReadings() {
    Procedure("MorvikReading", [this] {
        for (int r = 1; r < monitor::kReadingsRows; ++r)
            for (int c = 1; c < monitor::kReadingsColumns; ++c)
                if (QTableWidgetItem* cell = grdReading_->item(r, c))  // none: InitGrid failed
                    cell->setText(QString::fromStdString(monitor::ReadingsValue(sensors_, r, c)));
    });
}

}  // namespace delvar::windows

// The "Sensor Readings" window: the last sensor readings of the main window's poll
// as a read-only table, refreshed every 250 ms. It never talks to the instrument.
#pragma once

#include <QDialog>
#include <array>

#include "commands/RunReadings.h"

class QTableWidget;
class QTimer;

namespace delvar::windows {

class frmReadings : public QDialog {
    Q_OBJECT

  public:
    // sensors is the main window's record; it must outlive the window.
    frmReadings(const std::array<commands::SensorReading, 4>& sensors, QWidget* parent = nullptr);

  private:
    void InitGrid();
    void ShowReadings();  // Timer1

    const std::array<commands::SensorReading, 4>& sensors_;
    QTableWidget* grdReading_ = nullptr;
    QTimer* Timer1_ = nullptr;
};

}  // namespace delvar::windows

// The "Sensor Readings" window: the last sensor readings of the main window's poll
// as a read-only table, refreshed every 250 ms. It never talks to the instrument.
// Each handler runs under its procedure name on the error handler, which reports an
// error that ends it.
#pragma once

#include <QDialog>
#include <array>

#include "commands/RunReadings.h"

namespace delvar::core {
class CErrHandler;
}

class QTableWidget;
class QTimer;

namespace delvar::windows {

class frmReadings : public QDialog {
    Q_OBJECT

  public:
    // sensors is the main window's record and errors the program's error handler (none:
    // errors end their handler unreported); both must outlive the window.
    frmReadings(const std::array<commands::SensorReading, 4>& sensors, core::CErrHandler* errors,
                QWidget* parent = nullptr);

  private:
    void FormLoad();
    void InitGrid();
    void ShowReadings();  // Timer1
    template <typename Body>
    void Procedure(const char* name, Body&& body);

    const std::array<commands::SensorReading, 4>& sensors_;
    core::CErrHandler* errors_;
    QTableWidget* grdReading_ = nullptr;
    QTimer* Timer1_ = nullptr;
};

}  // namespace delvar::windows

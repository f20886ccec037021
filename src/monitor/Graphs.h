// The four strip charts of the main window: output rate, deviation and power and
// sensor rate against the time since the graphs started. Plain C++ over a small
// chart interface; the Qt Charts adapter lives in windows/.
//
// CONTRACT used by the main window (implemented by the graphs work):
//   InitGraph(readings, now)   restart: empty buffers, axes back to 0, start time = now,
//                              store the first point (drawn one tick later)
//   UpdateGraph(readings, now) store the current point and plot what is new
//   AdvancePoint()             current point + 1, wrapping after 500
//   SetDisplay(n) / Display()  which chart is visible (n outside 0..3 is stored only)
//   LoadSetup(i, entry) / SetupEntry(i)  the per-user "Graph<i>Setup" value, i 1..4
#pragma once

#include <string>

#include "commands/RunReadings.h"

namespace delvar::monitor {

class Graphs;

}  // namespace delvar::monitor

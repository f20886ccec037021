// The system editor without its widgets: the instrument's system record in a
// one-column grid (lists, numbers with their defaults and ranges), read from and
// written to the instrument, and Cancel's return to the record the editor opened with.
#pragma once

#include <memory>
#include <string>

#include "editors/EditorContext.h"
#include "editors/GridView.h"

namespace delvar::editors {

inline constexpr int kSystemRows = 11;
inline constexpr int kPasswordLow = 1111, kPasswordHigh = 6666;  // four digits, each 1 to 6

class SystemEditor {
  public:
    SystemEditor(EditorContext& context, GridView& grid);
    ~SystemEditor();
    SystemEditor(const SystemEditor&) = delete;
    SystemEditor& operator=(const SystemEditor&) = delete;

    // Keeps the record for Cancel, lays out and fills the grid.
    void Open();
    bool TransfersAllowed() const { return context_.link.Info().Online; }
    bool Transferring() const { return transferring_; }

    // Between XSTART and XSTOP; a failure shows "System Upload Error" and leaves the
    // record as it was before the read.
    void UpLoad();
    // Without XSTART/XSTOP; a failure shows "System Download Error".
    void DnLoad();
    // The record back as the editor opened with it (also undoing a read).
    void Cancel();

  private:
    class Events;
    class TransferEnd;
    void Load();
    void Read();
    void Fill();
    void ShowRow(int row);
    void Commit(int row, int col);
    void Message(const std::string& text);

    EditorContext& context_;
    GridView& grid_;
    std::unique_ptr<Events> events_;
    setup::SystemRec opening_;
    bool transferring_ = false;
};

}  // namespace delvar::editors

// The digital I/O editor without its widgets: a working copy of the 16 inputs and 16
// relays shown in two grids, the read and the write (with the backup the write
// restores from when it fails), Save and the live monitor that paints each input and
// relay row green (on) or red (off) from the instrument's I/O counts.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "commands/modCommSystem.h"
#include "editors/EditorContext.h"
#include "editors/GridView.h"

namespace delvar::editors {

// The window's controls apart from the grids.
class IoEditorView {
  public:
    virtual ~IoEditorView() = default;
    virtual void SetTransfersEnabled(bool enabled) = 0;  // cmdUpLoad, cmdDnLoad
    virtual void SetMonitorEnabled(bool enabled) = 0;    // chkMonitor
    // tmrMonitor started or stopped; chkMonitor shows the same state.
    virtual void SetMonitorRunning(bool running) = 0;
    virtual void SetBusy(bool busy) = 0;  // the pointer
};

enum class IoGrid { Inputs, Relays };

inline constexpr GridColour kIoOn{150, 220, 150};
inline constexpr GridColour kIoOff{240, 160, 160};
inline constexpr GridColour kIoNormal{255, 255, 255};  // the grid's own background

// A name as the I/O grids show it: each "_" a blank, trimmed.
std::string ShownName(const std::string& stored);

class IoEditor {
  public:
    IoEditor(EditorContext& context, IoEditorView& view, GridView& grdInputs, GridView& grdRelays);
    ~IoEditor();
    IoEditor(const IoEditor&) = delete;
    IoEditor& operator=(const IoEditor&) = delete;

    // Takes the working copy from the setup, enables what the on-line state allows,
    // lays out and fills both grids.
    void Open();

    // Reads inputs and relays 1 .. 4 x channel count; a failure restores the working
    // copy as it was and names the entry.
    void UpLoad();
    // Writes them, after saving what the instrument holds; a failure writes that back.
    // True when the working copy went to the instrument.
    bool DnLoad();
    // cmdOK: true when the window closes (the setup then holds the working copy,
    // unless the operator chose to abandon the changes).
    bool Save();

    // chkMonitor ticked or cleared.
    void SetMonitor(bool on);
    bool Monitoring() const { return monitoring_; }
    // One tmrMonitor tick: reads the counts of every entry and paints the rows. A tick
    // refused because another exchange is waiting shows nothing; a failed line stops
    // the monitor with a message.
    void MonitorTick();

    bool Changed() const { return changed_; }
    const commands::InputTable& Inputs() const { return inputs_; }
    const commands::RelayTable& Relays() const { return relays_; }

    // The heading and tool tip of each grid column (column 0 is the number column).
    static int ColumnCount(IoGrid grid);
    static std::string ColumnToolTip(IoGrid grid, int col);

  private:
    class GridHandler;
    struct Tables {
        commands::InputTable inputs;
        commands::RelayTable relays;
    };
    int Entries() const;
    int ReadAll(commands::InputTable& inputs, commands::RelayTable& relays);
    int WriteAll(const commands::InputTable& inputs, const commands::RelayTable& relays);
    void Refill();
    void PaintNormal();
    void Message(const std::string& text, const char* caption = nullptr);

    EditorContext& context_;
    IoEditorView& view_;
    std::array<std::unique_ptr<GridHandler>, 2> grids_;
    commands::InputTable inputs_;
    commands::RelayTable relays_;
    Tables backup_;
    bool changed_ = false;
    bool monitoring_ = false;
};

}  // namespace delvar::editors

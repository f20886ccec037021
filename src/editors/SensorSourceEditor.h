// The sensor and source editors without their widgets: one logic for both, over a
// table of what sets them apart. Each works on a private copy of its four records
// with the 16 inputs and 16 relays (the instrument assigns I/O from the sensor and
// source settings, so every transfer reads them back), shows the records in one grid
// column each, blanks and locks the cells that do not apply, pairs dual sensors, and
// moves the ticked columns to and from the instrument with a full backup and restore.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editors/ChannelRecords.h"
#include "editors/EditorContext.h"
#include "editors/GridView.h"

namespace delvar::editors {

// Where the sensor and source editors differ.
struct ChannelEditorTable {
    const char* noun;        // "Sensor": column headings, messages, captions
    const char* windowName;  // frmSensors / frmSources
    const char* gridName;    // grdSensor / grdSource
    const char* title;       // the window's caption
    const char* firstCaption;
    double firstLow, firstHigh;
    const char* firstMessage;
    std::vector<std::string> shutterChoices;
    bool dualPairing;  // sensors 1-2 and 3-4
    const char* delayMessage;
    std::array<const char*, kChannelRows> toolTips;
    const char* saveQuestion;
    const char* saveCaption;
    bool lockedRead;  // the read is bracketed by XSTART and XSTOP
};

const ChannelEditorTable& ChannelTable(ChannelKind kind);

inline constexpr const char* kSaveOffline = "Cannot save changes because Delvar is not online.";

// The window's controls apart from the grid.
class SensorSourceView {
  public:
    virtual ~SensorSourceView() = default;
    virtual void ShowSelect(int channel, bool enabled, bool ticked) = 0;  // chkSelect(1..4)
    virtual void SetTransfersEnabled(bool enabled) = 0;                   // cmdUpLoad, cmdDnLoad
    virtual void SetBusy(bool busy) = 0;                                  // the pointer
};

class SensorSourceEditor {
  public:
    SensorSourceEditor(ChannelKind kind, EditorContext& context, SensorSourceView& view,
                       GridView& grid);
    ~SensorSourceEditor();
    SensorSourceEditor(const SensorSourceEditor&) = delete;
    SensorSourceEditor& operator=(const SensorSourceEditor&) = delete;

    // Copies the records from the setup, sets the check boxes and buttons by the
    // instrument's state, lays out and fills the grid.
    void Open();
    const ChannelEditorTable& Table() const { return table_; }

    void SelectClicked(int channel, bool ticked);  // chkSelect
    void UpLoad();                                 // cmdUpLoad: read the ticked columns
    void DnLoad();                                 // cmdDnLoad: write them
    // cmdSave: true when the window closes. Off line nothing is saved and it stays open;
    // an error in the handler keeps it open too.
    bool Save();
    bool Changed() const { return changed_; }
    bool Transferring() const { return transferring_; }

    // The working copy, as the next save would give it to the setup.
    double Value(int channel, int row) const;
    const commands::InputTable& Inputs() const;
    const commands::RelayTable& Relays() const;

  private:
    class Events;
    class TransferEnd;
    // Runs an event handler under its procedure name, e.g. "frmSensors_cmdUpLoad_Click".
    template <typename Body>
    bool Handler(const std::string& name, Body&& body);
    void Load();
    bool SaveChanges();
    int Channels() const;
    bool Online() const { return context_.link.Info().Online; }
    // Reads the ticked channels into the copy (each with every input and relay);
    // returns the failing channel, or 0.
    int ReadTicked(bool backup);
    int WriteTicked(bool backup);
    void Transfer(bool upload);
    void Message(const std::string& text);

    void Fill();
    void ShowCell(int row, int channel);
    void ApplyRules(int channel);  // blanked and locked cells of one column
    void SetBlank(int row, int channel, bool blank);
    void Commit(int row, int col);
    void ChooseShutter(int channel, int position);

    const ChannelEditorTable& table_;
    EditorContext& context_;
    SensorSourceView& view_;
    GridView& grid_;
    std::unique_ptr<ChannelRecords> records_;
    std::unique_ptr<Events> events_;
    std::array<bool, setup::kMaxChannels> ticked_{};
    bool changed_ = false;
    bool transferring_ = false;
};

}  // namespace delvar::editors

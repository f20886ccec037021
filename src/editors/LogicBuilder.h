// The logic statement builder without its widgets: working copies of the 32
// statements and of the input and relay tables, IF conditions built term by term from
// the category lists, the action, naming, copy and paste, clear, the transfers of one
// or all statements with their messages, and Save. SetupData changes only on Save.
// Each event handler runs under its procedure name on the link's error handler: a
// run-time error ends the handler and is reported there, and the window goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/modCommLogic.h"
#include "commands/modCommSystem.h"
#include "editors/EditorContext.h"
#include "editors/LogicCodes.h"

namespace delvar::editors {

// The window's controls.
class LogicBuilderView {
  public:
    virtual ~LogicBuilderView() = default;
    virtual void SetCategoryLists(const std::vector<std::string>& ifNames,
                                  const std::vector<std::string>& thenNames) = 0;
    virtual void SelectCategory(LogicPart part, int index) = 0;
    virtual void SetSelectList(LogicPart part, const std::vector<std::string>& texts) = 0;
    // Timer Value: txtValue and spnValue take the place of lstIfSelect.
    virtual void ShowTimerValue(bool shown) = 0;
    virtual void SetTimerValueText(const std::string& text) = 0;
    virtual void SetNameList(const std::vector<std::string>& names) = 0;  // cboNames
    virtual void SetNameEntry(int index, const std::string& name) = 0;
    virtual void SelectName(int index) = 0;                      // and shows its text
    virtual void SetNumberLabel(const std::string& text) = 0;    // lblNumber
    virtual void SetConditionText(const std::string& text) = 0;  // lblIf
    virtual void SetActionText(const std::string& text) = 0;     // lblThen
    virtual void SetPasteEnabled(bool enabled) = 0;              // cmdPaste, once copied
    virtual void SetTransfersEnabled(bool enabled) = 0;          // the four upload/download buttons
    virtual void SetProgress(int percent) = 0;                   // prgStatus
};

struct LogicTables {
    commands::LogicTable logic;
    commands::InputTable inputs;
    commands::RelayTable relays;
};

class LogicBuilder {
  public:
    LogicBuilder(EditorContext& context, LogicBuilderView& view);
    ~LogicBuilder();
    LogicBuilder(const LogicBuilder&) = delete;
    LogicBuilder& operator=(const LogicBuilder&) = delete;

    // Takes the working copies, fills the lists and shows statement 1.
    void Open();

    void CategoryChosen(LogicPart part, int index);
    // cmdAdd with the lstIfSelect position (negative: nothing selected).
    void AddCondition(int selected);
    void AddOperator(int button);  // 0 AND, 1 OR, 2 NOT, 3 "(", 4 ")", 5 ">", 6 "<"
    void Back();
    void ActionChosen(int selected);                // lstThenSelect position, negative: none
    bool TimerValueTyped(const std::string& text);  // false: refused, the old value shown
    void TimerValueStep(int step);

    void StatementChosen(int index);  // cboNames position
    // A name typed into cboNames, taken when the list opens or the box is left.
    void NameTextLeft(const std::string& text, bool listOpening = false);

    void Copy();
    void Paste();
    void Clear();
    void ClearAll();  // asks first

    // Read or write the current statement, or all 32; true when all went through.
    bool UpLoad(bool all);
    bool DnLoad(bool all);

    // True when the window may close; the working tables then went into SetupData
    // when the operator chose to keep them.
    bool Save();

    int Current() const { return current_; }
    const setup::LogicRec& Statement() const { return work_->logic[current_]; }
    const LogicTables& Working() const { return *work_; }
    bool Changed() const { return changed_; }
    int TimerValue() const { return timerValue_; }

  private:
    // Runs body as the handler procedure ("frmLogic_" + procedure); false when a
    // run-time error ended it (reported; thrown on when there is no error handler).
    template <typename Body>
    bool Handler(const char* procedure, Body&& body);
    void ChooseCategory(LogicPart part, int index);
    void ClearCurrent();
    bool Upload(bool all);
    bool Download(bool all);
    bool SaveAndClose();
    // After a run-time error in a transfer: the window's tables back for an upload,
    // XSTOP, and the buttons and lists as they were.
    void EndBrokenTransfer(const char* procedure, bool upload);

    setup::LogicRec& Edited() { return work_->logic[current_]; }
    void Edit();
    void ShowStatement();
    void ShowNames();
    void AddTerm(std::int32_t code);
    void Message(const std::string& text, const char* title = nullptr);
    bool ReadIo(bool upload);  // inputs and relays 1 to 4 x channels

    EditorContext& context_;
    LogicBuilderView& view_;
    std::unique_ptr<LogicTables> work_, backup_;
    std::optional<setup::LogicRec> clipboard_;
    int current_ = 1;
    std::int32_t ifBase_ = 0, thenBase_ = 0;
    int timerValue_ = 0;
    bool changed_ = false;
    bool transferOpen_ = false;  // XSTART sent, XSTOP not yet
};

}  // namespace delvar::editors

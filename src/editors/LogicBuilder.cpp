#include "editors/LogicBuilder.h"

#include <algorithm>
#include <optional>

#include "app/AppTitle.h"
#include "commands/modCommProcess.h"
#include "core/CErrHandler.h"
#include "transfer/TransferBracket.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::kMaxLogic;
using setup::LogicRec;

namespace {

constexpr const char* kSelectError = "Select Error";
constexpr const char* kSaveTitle = "Save Sensor";

std::string WriteError(int n, int result) {
    const std::string head = "Statement " + std::to_string(n) + ": ";
    switch (result) {
        case commands::kLogicNameRefused:
            return head + "Error in name.";
        case commands::kLogicIfRefused:
            return head + "Error in IF condition.";
        case commands::kLogicThenRefused:
            return head + "Error in THEN action.";
        default:
            return head + "Error " + std::to_string(result);
    }
}

// A statement that says something; an empty one is written as undefined and has no
// condition for the instrument to judge.
bool Defined(const LogicRec& r) {
    return r.IF[0] > 0 || r.THEN != 0;
}

}  // namespace

LogicBuilder::LogicBuilder(EditorContext& context, LogicBuilderView& view)
    : context_(context),
      view_(view),
      work_(std::make_unique<LogicTables>()),
      backup_(std::make_unique<LogicTables>()) {}

LogicBuilder::~LogicBuilder() = default;

template <typename Body>
bool LogicBuilder::Handler(const char* procedure, Body&& body) {
    core::CErrHandler* errors = context_.link.Errors;
    std::optional<core::ProcGuard> guard;
    if (errors) guard.emplace(*errors, std::string("frmLogic_") + procedure);
    try {
        body();
        return true;
    } catch (...) {
        if (!errors) throw;
        errors->HandleError(core::ErrorInfo::FromCurrentException());
        return false;
    }
}

void LogicBuilder::Open() {
    Handler("Form_Load", [&] {
        *work_ = {context_.setup.logic, context_.setup.inputs, context_.setup.relays};
        std::vector<std::string> ifNames, thenNames;
        for (const LogicCategory& c : Categories(LogicPart::If)) ifNames.push_back(c.name);
        for (const LogicCategory& c : Categories(LogicPart::Then)) thenNames.push_back(c.name);
        view_.SetCategoryLists(ifNames, thenNames);
        ChooseCategory(LogicPart::If, 0);
        ChooseCategory(LogicPart::Then, 0);
        view_.SetPasteEnabled(false);
        view_.SetTransfersEnabled(context_.link.Info().Online);
        view_.SetProgress(0);
        current_ = 1;
        ShowNames();
        ShowStatement();
    });
}

void LogicBuilder::CategoryChosen(LogicPart part, int index) {
    Handler(part == LogicPart::If ? "lstIfCategory_Click" : "lstThenCategory_Click",
            [&] { ChooseCategory(part, index); });
}

void LogicBuilder::ChooseCategory(LogicPart part, int index) {
    const auto categories = Categories(part);
    if (index < 0 || index >= int(categories.size())) return;
    const std::int32_t base = categories[std::size_t(index)].base;
    (part == LogicPart::If ? ifBase_ : thenBase_) = base;
    view_.SelectCategory(part, index);
    const bool typed = part == LogicPart::If && base == kTimerValueBase;
    if (part == LogicPart::If) view_.ShowTimerValue(typed);
    if (typed)
        view_.SetTimerValueText(std::to_string(timerValue_));
    else
        view_.SetSelectList(part, SelectList(part, base));
}

void LogicBuilder::AddCondition(int selected) {
    Handler("cmdAdd_Click", [&] {
        if (TermCount(Statement()) >= setup::kLogicTerms) {
            Message("Too many IF conditions.", kSelectError);
        } else if (ifBase_ == kTimerValueBase) {
            AddTerm(kTimerValueBase + timerValue_);
        } else if (selected < 0 || selected >= int(SelectList(LogicPart::If, ifBase_).size())) {
            Message("Pick an item in the IF Select list.", kSelectError);
        } else {
            AddTerm(ifBase_ + selected);
        }
    });
}

void LogicBuilder::AddOperator(int button) {
    Handler("cmdOp_Click", [&] {
        if (button < 0 || button > 6) return;
        if (TermCount(Statement()) >= setup::kLogicTerms)
            Message("Too many IF conditions.", kSelectError);
        else
            AddTerm(button + 3);
    });
}

void LogicBuilder::AddTerm(std::int32_t code) {
    LogicRec& r = Edited();
    const int at = TermCount(r);
    r.IF[std::size_t(at)] = code;
    // Whatever a damaged record held beyond its end would otherwise join the condition.
    std::fill(r.IF.begin() + at + 1, r.IF.end(), 0);
    Edit();
    view_.SetConditionText(ConditionText(r));
}

void LogicBuilder::Back() {
    Handler("cmdBack_Click", [&] {
        LogicRec& r = Edited();
        const int count = TermCount(r);
        if (count == 0) return;
        r.IF[std::size_t(count - 1)] = 0;
        Edit();
        view_.SetConditionText(ConditionText(r));
    });
}

void LogicBuilder::ActionChosen(int selected) {
    Handler("lstThenSelect_Click", [&] {
        if (selected < 0 || selected >= int(SelectList(LogicPart::Then, thenBase_).size())) {
            Message("Pick an item in the THEN Select list.", kSelectError);
            return;
        }
        Edited().THEN = thenBase_ + selected;
        Edit();
        view_.SetActionText(ThenText(Statement().THEN));
    });
}

bool LogicBuilder::TimerValueTyped(const std::string& text) {
    bool taken = false;
    Handler("txtValue_LostFocus", [&] {
        double value = 0;
        taken = util::ParseTypedNumber(text, value) && value >= 0 && value <= kMaxTimerValue;
        if (taken)
            timerValue_ = int(util::RoundHalfEven(value));
        else
            Message("Valid Timer Values are 0 to " + std::to_string(kMaxTimerValue));
        view_.SetTimerValueText(std::to_string(timerValue_));
    });
    return taken;
}

void LogicBuilder::TimerValueStep(int step) {
    Handler(step > 0 ? "spnValue_SpinUp" : "spnValue_SpinDown", [&] {
        timerValue_ = std::clamp(timerValue_ + step, 0, int(kMaxTimerValue));
        view_.SetTimerValueText(std::to_string(timerValue_));
    });
}

void LogicBuilder::StatementChosen(int index) {
    Handler("cboNames_Click", [&] {
        if (!commands::LogicTable::Valid(index + 1)) {
            view_.SelectName(current_ - 1);
            return;
        }
        current_ = index + 1;
        ShowStatement();
    });
}

void LogicBuilder::NameTextLeft(const std::string& text, bool listOpening) {
    Handler(listOpening ? "cboNames_DropDown" : "cboNames_LostFocus", [&] {
        const std::string typed = util::Trim(text);
        // An emptied box is no name: the statement keeps its own.
        if (!typed.empty() && typed != util::Trim(Statement().Name)) {
            const std::string name = setup::WordName(typed);
            if (name != Statement().Name) {
                Edited().Name = name;
                Edit();
            }
            view_.SetNameEntry(current_ - 1, util::Trim(name));
        }
        view_.SelectName(current_ - 1);
    });
}

void LogicBuilder::Copy() {
    Handler("cmdCopy_Click", [&] {
        clipboard_ = Statement();
        view_.SetPasteEnabled(true);
    });
}

void LogicBuilder::Paste() {
    Handler("cmdPaste_Click", [&] {
        if (!clipboard_) return;
        Edited() = *clipboard_;
        Edit();
        view_.SetNameEntry(current_ - 1, util::Trim(Statement().Name));
        ShowStatement();
    });
}

void LogicBuilder::Clear() {
    Handler("cmdClear_Click", [&] { ClearCurrent(); });
}

void LogicBuilder::ClearCurrent() {
    LogicRec& r = Edited();
    r.Name = setup::FixedName("<Empty>");
    r.IF.fill(0);
    r.THEN = 0;
    r.Defined = 0;
    Edit();
    view_.SetNameEntry(current_ - 1, util::Trim(r.Name));
    ShowStatement();
}

void LogicBuilder::ClearAll() {
    Handler("cmdClearAll_Click", [&] {
        const auto answer = context_.dialogs.ShowMessage(
            {"Clear all logic statements?", "Clear All Logic Statements",
             core::MessageIcon::Question, core::MessageButtons::YesNo});
        if (answer != core::MessageAnswer::Yes) return;
        const int shown = current_;
        for (current_ = 1; current_ <= kMaxLogic; ++current_) ClearCurrent();
        current_ = shown;
        ShowNames();
        ShowStatement();
    });
}

void LogicBuilder::Edit() {
    changed_ = true;
}

void LogicBuilder::ShowNames() {
    std::vector<std::string> names;
    for (const LogicRec& r : work_->logic) names.push_back(util::Trim(r.Name));
    view_.SetNameList(names);
}

void LogicBuilder::ShowStatement() {
    const LogicRec& r = Statement();
    view_.SetNumberLabel(std::to_string(current_) + ".");
    view_.SelectName(current_ - 1);
    view_.SetConditionText(ConditionText(r));
    view_.SetActionText(ThenText(r.THEN));
}

void LogicBuilder::Message(const std::string& text, const char* title) {
    context_.dialogs.ShowMessage(
        {text, title ? title : app::kAppTitle, core::MessageIcon::Exclamation});
}

bool LogicBuilder::ReadIo(bool upload) {
    link::Link& link = context_.link;
    const int count = std::clamp(4 * link.Info().ChannelCount, 0, setup::kMaxIo);
    for (int i = 1; i <= count; ++i) {
        if (commands::ReadInput(link, work_->inputs, i, 0) == link::kOk &&
            commands::ReadRelay(link, work_->relays, i, 0) == link::kOk)
            continue;
        // An upload gives back what the window held; after a download the statements
        // written stay as read back.
        if (upload) *work_ = *backup_;
        Message("Relay or Input " + std::to_string(i) +
                (upload ? " upload error.  Original form data restored." : " download error."));
        return false;
    }
    return true;
}

bool LogicBuilder::UpLoad(bool all) {
    const char* procedure = all ? "cmdUpLoadAll_Click" : "cmdUpLoad_Click";
    bool ok = false;
    if (!Handler(procedure, [&] { ok = Upload(all); })) EndBrokenTransfer(procedure, true);
    return ok;
}

bool LogicBuilder::DnLoad(bool all) {
    const char* procedure = all ? "cmdDnLoadAll_Click" : "cmdDnLoad_Click";
    bool ok = false;
    if (!Handler(procedure, [&] { ok = Download(all); })) EndBrokenTransfer(procedure, false);
    return ok;
}

void LogicBuilder::EndBrokenTransfer(const char* procedure, bool upload) {
    Handler(procedure, [&] {
        if (transferOpen_) {
            transferOpen_ = false;
            if (upload) *work_ = *backup_;
            transfer::ReleaseTransfer(context_.link);
        }
        view_.SetProgress(0);
        ShowNames();
        ShowStatement();
    });
}

bool LogicBuilder::Upload(bool all) {
    link::Link& link = context_.link;
    const int first = all ? 1 : current_, last = all ? kMaxLogic : current_;
    *backup_ = *work_;
    const link::RepeatDamagedReplies repeat(link);
    transfer::LockForTransfer(link);
    transferOpen_ = true;
    bool ok = true;
    for (int n = first; n <= last && ok; ++n) {
        if (commands::ReadLogic(link, work_->logic, n) != link::kOk) {
            *work_ = *backup_;
            Message("Logic statement " + std::to_string(n) +
                    " upload error.  Original form data restored.");
            ok = false;
        }
        if (all) view_.SetProgress(n * 100 / kMaxLogic);
    }
    if (ok) ok = ReadIo(true);
    transferOpen_ = false;
    transfer::ReleaseTransfer(link);
    view_.SetProgress(0);
    ShowNames();
    ShowStatement();
    return ok;
}

bool LogicBuilder::Download(bool all) {
    link::Link& link = context_.link;
    const int first = all ? 1 : current_, last = all ? kMaxLogic : current_;
    const link::RepeatDamagedReplies repeat(link);
    transfer::LockForTransfer(link);
    transferOpen_ = true;
    // What the instrument holds now, to put back when a written statement cannot be
    // read back.
    auto saved = std::make_unique<commands::LogicTable>(work_->logic);
    bool savedOk = true;
    for (int n = first; n <= last && savedOk; ++n) {
        if (commands::ReadLogic(link, *saved, n) == link::kOk) continue;
        Message("Error saving existing Delvar data.");
        savedOk = false;
    }
    bool passedAll = savedOk;
    int unread = 0;
    for (int n = first; n <= last && savedOk && unread == 0; ++n) {
        const int result = commands::WriteLogic(link, work_->logic, n);
        const bool passed =
            result == 0 && (!Defined(work_->logic[n]) || commands::VerifyLogic(link, n));
        if (!passed) {
            Message(WriteError(n, result != 0 ? result : commands::kLogicIfRefused));
            if (all) Message("Error in logic: Statement " + std::to_string(n));
            passedAll = false;
        }
        if ((all || passed) && commands::ReadLogic(link, work_->logic, n) != link::kOk) unread = n;
        if (all) view_.SetProgress(n * 100 / kMaxLogic);
    }
    if (savedOk && unread == 0) {
        passedAll = ReadIo(false) && passedAll;
    } else if (unread != 0) {
        passedAll = false;
        Message("Logic statement " + std::to_string(unread) + " download error.\n" +
                "Restoring original Delvar data.");
        for (int n = first; n <= last; ++n) {
            if (commands::WriteLogic(link, *saved, n) == 0) continue;
            Message("Error restoring original Delvar data.");
            break;
        }
    }
    transferOpen_ = false;
    transfer::ReleaseTransfer(link);
    view_.SetProgress(0);
    ShowNames();
    ShowStatement();
    return passedAll;
}

bool LogicBuilder::Save() {
    bool close = false;
    Handler("cmdSave_Click", [&] { close = SaveAndClose(); });
    return close;
}

bool LogicBuilder::SaveAndClose() {
    if (!context_.link.Info().Online) {
        context_.dialogs.ShowMessage({"Cannot save changes because Delvar is not online.",
                                      kSaveTitle, core::MessageIcon::Information});
        return false;
    }
    if (changed_) {
        const auto answer = context_.dialogs.ShowMessage(
            {"Logic changes must be written to Delvar, so that I/O can be configured.\n"
             "Click OK to save now or Cancel to abandon changes.",
             kSaveTitle, core::MessageIcon::Question, core::MessageButtons::OkCancel});
        if (answer != core::MessageAnswer::Ok) return true;
        // A statement the instrument refused stays in the window to be put right; its
        // messages have named it.
        if (!DnLoad(true)) return false;
    }
    context_.setup.logic = work_->logic;
    context_.setup.inputs = work_->inputs;
    context_.setup.relays = work_->relays;
    return true;
}

}  // namespace delvar::editors

// The film editor over fake grids and a scripted instrument: cell ranges and
// reverts, choice cells, the selectors and renaming, Cancel, and the transfers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "commands/CommandRig.h"
#include "core/ErrHandlerRig.h"
#include "editors/FilmEditor.h"
#include "editors/TimeText.h"
#include "editors/TypedName.h"

namespace delvar::testing {
namespace {

using editors::FilmEditor;
using editors::FilmGrid;
using ::testing::HasSubstr;

// A grid that keeps what the editor writes and lets a test edit a value cell.
struct FakeGrid final : editors::GridView {
    void SetSize(int r, int) override { rows = r; }
    void SetHeading(int col, const std::string& t) override { headings[col] = t; }
    void SetCaption(int row, const std::string& t) override { cells[{row, 0}] = t; }
    void SetCellText(int row, int col, const std::string& t) override { cells[{row, col}] = t; }
    std::string CellText(int row, int col) const override {
        if (failReads) throw std::runtime_error("grid gone");
        auto it = cells.find({row, col});
        return it == cells.end() ? "" : it->second;
    }
    void SetRowHeight(int row, int h) override { heights[row] = h; }
    void ClearList(int row, int col) override { lists[{row, col}].clear(); }
    void AddListItem(int row, int col, const std::string& t) override {
        lists[{row, col}].push_back(t);
    }
    int ChosenIndex() const override { return chosen; }
    void SetLocked(int, int, bool) override {}
    void SetCellColour(int, int, editors::GridColour) override {}
    void SetRowColour(int, editors::GridColour) override {}
    void SetToolTip(const std::string& t) override { tip = t; }
    void SetEvents(editors::GridEvents* e) override { events = e; }

    std::string Type(int row, const std::string& text) {
        events->BeforeEdit(row, 1);
        cells[{row, 1}] = text;
        events->EnterKey(row, 1);
        return CellText(row, 1);
    }
    std::string Choose(int row, int index) {
        events->BeforeEdit(row, 1);
        chosen = index;
        events->AfterEdit(row, 1);
        return CellText(row, 1);
    }
    bool Hidden(int row) const { return heights.count(row) && heights.at(row) == 0; }

    int rows = 0, chosen = -1;
    bool failReads = false;  // reading a cell raises an error
    std::string tip;
    std::map<int, std::string> headings;
    std::map<std::pair<int, int>, std::string> cells;
    std::map<int, int> heights;
    std::map<std::pair<int, int>, std::vector<std::string>> lists;
    editors::GridEvents* events = nullptr;
};

struct FakeFilmView final : editors::FilmEditorView {
    void SetFilmList(const std::vector<std::string>& n) override { films = n; }
    void SetFilmEntry(int i, const std::string& n) override { films.at(std::size_t(i)) = n; }
    void SelectFilm(int i) override { film = i; }
    void SetMaterialList(const std::vector<std::string>& n) override { materials = n; }
    void SelectMaterial(int i) override { material = i; }
    void SetNumberLabel(const std::string& t) override { number = t; }
    void SetMaterialLabel(const std::string& t) override { materialLabel = t; }
    void SetShownFilmOption(const std::string& t) override { option = t; }
    void SetTransfersEnabled(bool e) override { transfers = e; }
    void SetBusy(bool) override {}
    std::vector<std::string> films, materials;
    int film = -1, material = -1;
    std::string number, materialLabel, option;
    bool transfers = false;
};

struct FilmEditorRig {
    explicit FilmEditorRig(int channels = 4, int current = 0) : rig(channels) {
        context.currentFilm = current;
        editor.Open();
    }
    setup::FilmRec& Film(int n) { return rig.setup->films[n]; }
    CommandRig rig;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, rig.dialogs, progress};
    FakeFilmView view;
    FakeGrid film, a3, a5;
    FilmEditor editor{context, view, film, a3, a5};
};

TEST(FilmEditor, RefusedEntriesShowTheRowsMessageAndTheCellReverts) {
    FilmEditorRig r;
    EXPECT_EQ(r.film.Type(3, ""), "100") << "an empty Tooling entry";
    EXPECT_EQ(r.Film(1).Tooling, 100);
    EXPECT_EQ(r.film.Type(3, "5"), "100");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Tooling values are 10 to 399");

    r.rig.dialogs.ClearRecord();
    EXPECT_EQ(r.film.Type(7, "0"), "0");
    EXPECT_EQ(r.film.Type(7, "9999"), "9999");
    EXPECT_EQ(r.film.Type(7, "24.6"), "25");
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
    for (const char* refused : {"12", "10000", "0.6", "-5"})
        EXPECT_EQ(r.film.Type(7, refused), "25");
    EXPECT_EQ(r.rig.dialogs.Texts(),
              Texts(4, "Valid Stability, Single values are 0 (disable), and 25 to 9999 Hz."));

    EXPECT_EQ(r.film.Type(10, "100"), "100.0");
    EXPECT_EQ(r.film.Type(10, "100.1"), "100.0");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Percent values are 0 to 100");
    EXPECT_EQ(r.film.Type(1, "99.95"), "0.0");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid I Term values are 0 to 99.9");

    EXPECT_EQ(r.film.Type(9, "1:39:59"), "1:39:59");
    EXPECT_EQ(r.film.Type(9, "1:40:00"), "1:39:59");
    EXPECT_EQ(r.rig.dialogs.LastText(),
              "Valid Time values are hh:mm:ss from 00:00:00 to 1:39:59, or 0 to 5999 seconds.");
    EXPECT_EQ(r.Film(1).Shutter_Delay, 5999);
    EXPECT_EQ(r.a3.Type(22, "90"), "0:01:30");
    EXPECT_EQ(r.a3.Type(0, "100.5"), "0.0");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Power values are 0 to 100");
}

TEST(FilmEditor, EntriesNotWhollyOneNumberAreRefusedAndCellsShowWhatWillBeSent) {
    FilmEditorRig r;
    const setup::FilmRec before = r.Film(1);
    struct Cell {
        FakeGrid* grid;
        int row;
        std::string message;
    };
    for (const Cell& c : {Cell{&r.film, 0, "Valid P Term values are 0 to 999"},
                          Cell{&r.film, 3, "Valid Tooling values are 10 to 399"},
                          Cell{&r.film, 6, "Valid Quality Count values are 0 (disable) to 99"},
                          Cell{&r.film, 9, editors::kTimeMessage},
                          Cell{&r.a3, 0, "Valid Power values are 0 to 100"}}) {
        const std::string shown = c.grid->CellText(c.row, 1);
        for (const char* typed : {"1e309", "nan", "1,5", "12abc"}) {
            r.rig.dialogs.ClearRecord();
            EXPECT_EQ(c.grid->Type(c.row, typed), shown) << typed << ": the cell reverts";
            EXPECT_EQ(r.rig.dialogs.Texts(), Texts{c.message}) << typed;
        }
    }
    EXPECT_EQ(r.Film(1), before) << "nothing refused reached the record";

    // Whole-number rows store what the instrument gets, and show it.
    r.rig.dialogs.ClearRecord();
    EXPECT_EQ(r.film.Type(0, "12.7"), "13");
    EXPECT_EQ(r.Film(1).Pterm, 13);
    EXPECT_EQ(r.film.Type(6, " 12.7 "), "13");
    EXPECT_EQ(r.film.Type(1, "2.26"), "2.3");
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
}

TEST(FilmEditor, AnErrorInAHandlerIsReportedUnderTheHandlersName) {
    HandlerRig errors;
    FilmEditorRig r;
    r.rig.link.Errors = errors.handler.get();
    r.film.failReads = true;
    r.film.events->EnterKey(0, 1);
    EXPECT_EQ(errors.handler->ErrorProc(), "frmFilm_grdFilm_KeyPress");
    EXPECT_EQ(errors.handler->ErrorString(), "grid gone");
    EXPECT_EQ(errors.handler->Depth(), 0);
    EXPECT_THAT(errors.dialogs.Texts(),
                ::testing::ElementsAre(HasSubstr("frmFilm_grdFilm_KeyPress")));
    r.film.failReads = false;
    EXPECT_EQ(r.film.Type(0, "5"), "5") << "the editor goes on";
    r.editor.MaterialChosen(7);
    EXPECT_EQ(errors.handler->Depth(), 0);
}

TEST(FilmEditor, LayoutChoiceCellsAndHiddenRows) {
    FilmEditorRig r;
    EXPECT_EQ(FilmEditor::RowCount(FilmGrid::A5), 16);
    EXPECT_EQ(r.a3.rows, 23);
    EXPECT_EQ(r.a5.CellText(13, 0), " Position");
    for (int row : {6, 7, 8, 9, 10, 11, 15, 16, 17, 18, 19, 20}) EXPECT_TRUE(r.a3.Hidden(row));
    EXPECT_TRUE(r.film.Hidden(11));
    EXPECT_EQ(r.a3.Type(7, "0:00:30"), "0:00:30") << "a hidden row keeps its cells";
    EXPECT_EQ(r.Film(1).Ramp3_Time, 30);

    EXPECT_EQ(r.film.Choose(4, 3), "4");  // Pocket: the position is stored
    EXPECT_EQ(r.Film(1).Pocket, 3);
    EXPECT_EQ(r.a5.Choose(12, 5), "Backup");
    EXPECT_EQ((r.a5.lists[{12, 1}].size()), 6u);
    EXPECT_EQ(r.a5.Choose(6, 2), "3");  // Sensor2 backup sensor: the number
    EXPECT_EQ(r.Film(1).Sens2_Back, 3);
    EXPECT_EQ(r.a5.Choose(6, -1), "3") << "no item chosen";
    r.a5.events->PointerMove(14);
    EXPECT_EQ(r.a5.tip, "Sensor used as backup if this crystal fails.");
}

TEST(FilmEditor, SelectorsRenameOnlyTheShownFilmAndCancelRestoresEveryFilm) {
    FilmEditorRig r;
    EXPECT_EQ(r.view.film, 0) << "no current film shows film 1";
    EXPECT_FALSE(r.view.transfers) << "off line";
    r.editor.FilmChosen(4);
    EXPECT_EQ(r.context.currentFilm, 5);
    EXPECT_EQ(r.view.number, "Film 5:");
    EXPECT_EQ(r.view.option, "Film 5");
    r.film.Type(0, "42");

    const std::string film6 = r.Film(6).Film_Name;
    r.rig.dialogs.ClearRecord();
    r.editor.FilmTextLeft("  Goldschicht über 16 Zeichen ");
    EXPECT_EQ(r.Film(5).Film_Name, editors::TypedName("Goldschicht über 16"));
    EXPECT_EQ(r.Film(5).Film_Name, "Goldschicht ?ber");
    EXPECT_EQ(r.view.films[4], r.Film(5).Film_Name);
    EXPECT_EQ(r.Film(6).Film_Name, film6);
    EXPECT_EQ(r.rig.dialogs.Texts(),
              Texts{"The instrument takes plain ASCII characters only: the name is stored as "
                    "\"Goldschicht ?ber\"."});
    r.editor.FilmTextLeft("Goldschicht ?ber");  // the selector left again: said once
    r.editor.FilmTextLeft("Is it? Yes");        // a typed "?" is the operator's own
    EXPECT_EQ(r.rig.dialogs.messages.size(), 1u);
    r.editor.FilmTextLeft("   ");
    EXPECT_EQ(r.Film(5).Film_Name, "Is it? Yes      ") << "an emptied selector is no name";

    r.editor.MaterialChosen(9);
    EXPECT_EQ(r.Film(5).Material_Index, 10);
    EXPECT_EQ(r.view.materialLabel, "Material 10:");
    r.editor.MaterialChosen(-1);
    EXPECT_EQ(r.view.material, 9);

    r.editor.Cancel();
    EXPECT_EQ(r.Film(5), setup::FilmRec(FilmEditorRig().Film(5)));
}

// A scripted instrument that names its films and fails the given command.
void Instrument(CommandRig& rig, const std::string& failing, char status = 'D') {
    rig.respond = [failing, status](const std::string& c) {
        if (c.rfind(failing, 0) == 0) return Answer{status, ""};
        if (c.rfind("A1 ", 0) == 0 && c.back() == '?') return Answer{'A', "Box " + c.substr(3)};
        return Answer{};
    };
}

TEST(FilmEditor, OneFilmTransfersReportTheStatusText) {
    FilmEditorRig r(4, 3);
    Instrument(r.rig, "A3");
    r.editor.UpLoad(false);
    EXPECT_EQ(r.rig.dialogs.LastText(), "Film 3 Upload Error: Bad Data");
    EXPECT_EQ(r.Film(3).Film_Name, setup::FixedName("Box 3?")) << "groups before the failure stay";
    r.editor.DnLoad(false);
    EXPECT_EQ(r.rig.dialogs.LastText(), "Film 3 Download Error Bad Data");
    EXPECT_THAT(r.rig.sent, ::testing::Not(::testing::Contains("XSTART")));
}

TEST(FilmEditor, AllFilmsStopOnCancelGoOnOnOkAndAlwaysEndTheTransfer) {
    FilmEditorRig r;
    Instrument(r.rig, "A1 7?");
    r.rig.dialogs.answers = {core::MessageAnswer::Cancel};
    r.editor.UpLoad(true);
    EXPECT_EQ(r.rig.dialogs.Texts(), Texts{"Film 7 Upload Error: Bad Data"});
    EXPECT_EQ(r.rig.dialogs.messages[0].buttons, core::MessageButtons::OkCancel);
    EXPECT_EQ(r.Film(6).Film_Name, setup::FixedName("Box 6?"));
    EXPECT_EQ(r.Film(8), FilmEditorRig().Film(8)) << "films after the stop untouched";
    EXPECT_EQ(r.rig.sent.front(), "XSTART");
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");

    r.rig.sent.clear();
    r.rig.dialogs.ClearRecord();
    Instrument(r.rig, "A1 7 ");  // the name of film 7 is refused; OK goes on
    r.editor.DnLoad(true);
    EXPECT_EQ(r.rig.dialogs.Texts(), Texts{"Film 7 Download Error: Bad Data"});
    EXPECT_THAT(r.rig.sent, ::testing::Contains(HasSubstr("A5 50 ")));
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
}

// A lost instrument ends a whole transfer with one message saying where it stopped,
// not one question a film each waiting out its time-out.
TEST(FilmEditor, AllFilmsStopAtTheFirstTimeOutWithOneMessage) {
    FilmEditorRig r;
    Instrument(r.rig, "A1 4", 0);  // no reply from film 4 on
    r.rig.respond = [inner = r.rig.respond, lost = false](const std::string& c) mutable {
        lost = lost || c.rfind("A1 4", 0) == 0;
        return lost && c != "XSTOP" ? Answer{0, ""} : inner(c);
    };
    r.editor.DnLoad(true);
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1u);
    EXPECT_THAT(r.rig.dialogs.LastText(), HasSubstr("Film 4 Download Error"));
    EXPECT_THAT(r.rig.dialogs.LastText(), HasSubstr("films 1 to 3 written"));
    EXPECT_EQ(r.rig.dialogs.messages[0].buttons, core::MessageButtons::Ok);
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    EXPECT_THAT(r.rig.sent, ::testing::Not(::testing::Contains(HasSubstr("A1 5"))));
}

// An error raised in the middle of a whole transfer still releases the instrument.
TEST(FilmEditor, AnErrorInTheMiddleOfAllFilmsStillSendsXstop) {
    FilmEditorRig r;
    r.rig.respond = [](const std::string& c) -> Answer {
        if (c.rfind("A1 3", 0) == 0) throw std::runtime_error("port gone");
        return Answer{};
    };
    EXPECT_THROW(r.editor.UpLoad(true), std::runtime_error) << "no error handler here";
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    r.rig.respond = [](const std::string&) { return Answer{}; };
    r.editor.UpLoad(false);
    EXPECT_TRUE(r.rig.dialogs.messages.empty()) << "the link and the editor work on";
}

// The A5 command of film 1 as sent.
std::string A5Of(const std::vector<std::string>& sent, const char* prefix) {
    for (const std::string& c : sent)
        if (c.rfind(prefix, 0) == 0) return c;
    return "";
}

TEST(FilmEditor, SensorItemsFollowTheChannelCountAndFourChannelFilmsAreRefused) {
    for (int channels : {2, 4}) {
        FilmEditorRig r(channels);
        r.editor.UpLoad(false);
        r.editor.DnLoad(false);
        const auto items = [](const std::string& c) { return std::count(c.begin(), c.end(), ' '); };
        EXPECT_EQ(items(A5Of(r.rig.sent, "A5 1?")), channels * 4 + 1) << channels;
        EXPECT_EQ(items(A5Of(r.rig.sent, "A5 1 ")), channels * 4 + 1) << channels;
        EXPECT_TRUE(r.rig.dialogs.messages.empty());
    }
    FilmEditorRig r(2);
    r.a5.Choose(2, 2);  // Sensor1 backup sensor 3
    r.rig.sent.clear();
    r.editor.DnLoad(false);
    EXPECT_EQ(r.rig.dialogs.LastText(), "Film 1 Download Error 4 Channels Required");
    EXPECT_TRUE(r.rig.sent.empty());
}

}  // namespace
}  // namespace delvar::testing

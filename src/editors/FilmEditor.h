// The film editor without its widgets: the three grids of one film (control
// parameters, pre/post power steps, crystal failure handling) as tables of rows, the
// film and material selectors, renaming by typing into the film selector, Cancel's
// restore of every film, and the one-film and all-films transfers.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editors/EditorContext.h"
#include "editors/GridView.h"

namespace delvar::editors {

// The window's controls apart from the grids.
class FilmEditorView {
  public:
    virtual ~FilmEditorView() = default;
    virtual void SetFilmList(const std::vector<std::string>& names) = 0;      // cboFilms
    virtual void SetFilmEntry(int index, const std::string& name) = 0;        // one entry
    virtual void SelectFilm(int index) = 0;                                   // and its text
    virtual void SetMaterialList(const std::vector<std::string>& names) = 0;  // cboMaterials
    virtual void SelectMaterial(int index) = 0;
    virtual void SetNumberLabel(const std::string& text) = 0;         // lblNumber
    virtual void SetMaterialLabel(const std::string& text) = 0;       // lblMaterial
    virtual void SetShownFilmOption(const std::string& caption) = 0;  // optSelect(1)
    virtual void SetTransfersEnabled(bool enabled) = 0;               // cmdUpLoad, cmdDnLoad
    virtual void SetBusy(bool busy) = 0;                              // the pointer
};

enum class FilmGrid { Film, A3, A5 };

class FilmEditor {
  public:
    FilmEditor(EditorContext& context, FilmEditorView& view, GridView& grdFilm, GridView& grdA3,
               GridView& grdA5);
    ~FilmEditor();
    FilmEditor(const FilmEditor&) = delete;
    FilmEditor& operator=(const FilmEditor&) = delete;

    // Saves every film for Cancel, lays out and fills the controls for the current film
    // (film 1 when none is current).
    void Open();

    int EditFilmNumber() const { return film_; }
    // 1..50 shows that film (and makes it the current film); other numbers are ignored.
    void SetEditFilmNumber(int film);

    void FilmChosen(int index);  // list position in cboFilms
    // The film selector was left or its list opened with text typed into it: a new
    // name for the shown film. The same text, or nothing, puts the name back.
    void FilmTextLeft(const std::string& text);
    void MaterialChosen(int index);  // list position; negative returns to the film's

    void Cancel();  // every film back as it was when the editor opened

    // Reads or writes the shown film, or all 50 when allFilms.
    void UpLoad(bool allFilms);
    void DnLoad(bool allFilms);

    // The rows of each grid, as laid out (hidden rows included).
    static int RowCount(FilmGrid grid);

  private:
    class GridHandler;
    // Runs body as the handler "frmFilm_" + name of the error handler.
    template <typename Body>
    void Run(const std::string& name, Body&& body);
    void Load();
    void LoadSelectors();
    void Transfer(bool allFilms, bool upload);
    std::string TransferError(bool upload, bool allFilms, int film, int status) const;

    EditorContext& context_;
    FilmEditorView& view_;
    std::array<std::unique_ptr<GridHandler>, 3> grids_;
    std::vector<setup::FilmRec> saved_;
    int film_ = 1;
};

}  // namespace delvar::editors

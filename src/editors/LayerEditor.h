// The layer editor without its widgets: three grids of one layer record's fields
// ("Setup", "Control", "Rate Ramps"), each accepted cell stored straight into the
// record, the film selector, the saved copy of all layers that Cancel puts back, and
// the upload and download of the one layer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "editors/EditorContext.h"
#include "editors/GridView.h"

namespace delvar::editors {

// A field of the layer record, real or whole.
struct LayerField {
    double setup::LayerRec::*real = nullptr;
    std::int16_t setup::LayerRec::*whole = nullptr;
    LayerField(double setup::LayerRec::*f) : real(f) {}
    LayerField(std::int16_t setup::LayerRec::*f) : whole(f) {}
    double Get(const setup::LayerRec& layer) const;
    void Set(setup::LayerRec& layer, double value) const;
};

enum class CellKind { Number, Time, Choice };

// One row of a grid: how its value shows, what it accepts and what it says.
struct LayerRow {
    std::string caption;
    LayerField field;
    CellKind kind;
    const char* format = nullptr;           // Number: "#0.0"...; nullptr shows a plain number
    double low = 0, high = 0;               // Number: accepted range, bounds included
    std::string message;                    // Number: shown for a value outside the range
    std::vector<std::string> choices = {};  // Choice: the list, position p stores p + base
    int base = 0;
    bool showNumber = false;  // Choice: shows the value, else choices[0] for 0, [1] for other
    std::string toolTip = {};
};

inline constexpr int kLayerGrids = 3;

// The rows of grids 0..2 (grdLayer1..3). Grid 2 has rows for four ramps; the window
// shows ramps 1 to 3 (kShownRows).
const std::vector<LayerRow>& LayerRows(int grid);
inline constexpr std::array<int, kLayerGrids> kShownRows = {10, 9, 12};
inline constexpr std::array<const char*, kLayerGrids> kGridHeadings = {"Setup", "Control",
                                                                       "Rate Ramps"};

class LayerEditor {
  public:
    // Takes the saved copy of every layer, lays out and fills the grids for layer
    // context.currentLayer, and handles their events from then on.
    LayerEditor(EditorContext& context, const std::array<GridView*, kLayerGrids>& grids);
    ~LayerEditor();
    LayerEditor(const LayerEditor&) = delete;
    LayerEditor& operator=(const LayerEditor&) = delete;

    int EditLayerNumber() const { return layer_; }
    // 1..999 becomes the layer edited (and the current layer) and refills the grids;
    // other values are ignored.
    void SetEditLayerNumber(int layer);

    // The film selector: names of films 1..50; the position of the layer's film
    // (-1 when it has none); choosing position p stores film p + 1, and a negative
    // position (nothing selected) stores nothing. Returns the position to show.
    std::vector<std::string> FilmNames() const;
    int FilmPosition() const;
    int FilmChosen(int position);

    // Upload and download need the instrument on line.
    bool TransfersAllowed() const { return context_.link.Info().Online; }
    bool Transferring() const { return transferring_; }
    // The layer from or to the instrument between XSTART and XSTOP; a failure shows
    // "Layer Upload Error" / "Layer Download Error". Ignored while one runs.
    void Upload();
    void Download();
    // Every layer record back as it was when the editor opened.
    void Cancel();

    // Shows the record's values in the three grids.
    void LoadGrids();

    // The grid events, by grid (0..2).
    void BeforeEdit(int grid, int row, int col);
    void Commit(int grid, int row, int col);
    void PointerMove(int grid, int row);

  private:
    class Events;
    // Runs body as the handler "frmLayer_" + name of the error handler.
    template <typename Body>
    void Run(const std::string& name, Body&& body);
    setup::LayerRec* Layer();
    const LayerRow* Row(int grid, int row) const;
    void ShowRow(int grid, int row);
    void InitGrids();
    int Transfer(bool upload);

    EditorContext& context_;
    std::array<GridView*, kLayerGrids> grids_;
    std::vector<Events> events_;
    setup::Table<setup::LayerRec, setup::kMaxLayers> saved_;
    int layer_ = 0;
    bool transferring_ = false;
};

}  // namespace delvar::editors

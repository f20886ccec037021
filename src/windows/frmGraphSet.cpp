#include "windows/frmGraphSet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "monitor/Graphs.h"
#include "util/Text.h"

namespace delvar::windows {

namespace {

constexpr std::array<const char*, 4> kFrameCaptions = {"Rate - Y Axis", "Deviation - Y Axis",
                                                       "Power - Y Axis", "Sensor Rates - Y Axis"};
constexpr int kLimit = 100000;

QSpinBox* Spinner(const QString& name, int min, int max, double value) {
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(min, max);
    spin->setValue(int(util::RoundHalfEven(value)));
    spin->setMinimumWidth(80);
    return spin;
}

QCheckBox* Check(const QString& name, bool checked) {
    auto* check = new QCheckBox("Grid Visible");
    check->setObjectName(name);
    check->setChecked(checked);
    return check;
}

void AddRow(QGridLayout* grid, const char* caption, QSpinBox* spin) {
    int row = grid->rowCount();
    auto* label = new QLabel(caption);
    label->setBuddy(spin);
    grid->addWidget(label, row, 0);
    grid->addWidget(spin, row, 1);
}

// A spinner shows a value as a whole number; one left as it was shown keeps the exact
// value, so opening and confirming the window loses no fraction.
double Taken(const QSpinBox* spin, double was) {
    return spin->value() == util::RoundHalfEven(was) ? was : spin->value();
}

}  // namespace

frmGraphSet::frmGraphSet(monitor::Graphs& graphs, QWidget* parent)
    : QDialog(parent), graphs_(graphs) {
    setObjectName("frmGraphSet");
    setWindowTitle("Configure Graph");
    setModal(true);
    auto* frames = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        shown_[i] = graphs_.Axes(i + 1);
        const monitor::GraphAxes& axes = shown_[i];
        QString n = QString::number(i);
        auto* box = new QGroupBox(kFrameCaptions[i]);
        box->setObjectName("fraYAxis_" + n);
        auto* grid = new QGridLayout(box);
        YFrame& y = y_[i];
        y.min = Spinner("spnYMin_" + n, -kLimit, kLimit, axes.YMin);
        y.max = Spinner("spnYmax_" + n, -kLimit, kLimit, axes.YMax);
        y.div = Spinner("spnYGrid_" + n, 1, kLimit, axes.YDiv);
        y.grid = Check("chkYDiv_" + n, axes.YGrid);
        AddRow(grid, "Minimum", y.min);
        AddRow(grid, "Maximium", y.max);
        AddRow(grid, "Grid Spacing", y.div);
        grid->addWidget(y.grid, grid->rowCount(), 0, 1, 2);
        // The maximum stays above the minimum.
        y.max->setMinimum(y.min->value() + 1);
        y.min->setMaximum(y.max->value() - 1);
        connect(y.min, &QSpinBox::valueChanged, y.max,
                [max = y.max](int v) { max->setMinimum(v + 1); });
        connect(y.max, &QSpinBox::valueChanged, y.min,
                [min = y.min](int v) { min->setMaximum(v - 1); });
        frames->addWidget(box, i / 2, i % 2);
    }

    const monitor::GraphAxes& x = shown_[0];
    auto* xBox = new QGroupBox("All Graphs - X Axis");
    xBox->setObjectName("fraXAxis");
    auto* xRow = new QHBoxLayout(xBox);
    interval_ = Spinner("spnInterval", 10, 86400, x.XWide);
    interval_->setSuffix(" s");
    interval_->setToolTip("Set graph X axis (time) interval.");
    xDiv_ = Spinner("spnXGrid", 1, 3600, x.XDiv);
    xDiv_->setSuffix(" s");
    xGrid_ = Check("chkXDiv", x.XGrid);
    xGrid_->setToolTip("Show X grid lines.");
    for (auto [caption, spin] : {std::pair{"Interval", interval_}, {"Grid Spacing", xDiv_}}) {
        auto* label = new QLabel(caption);
        label->setBuddy(spin);
        xRow->addWidget(label);
        xRow->addWidget(spin);
        xRow->addSpacing(12);
    }
    xRow->addWidget(xGrid_);
    xRow->addStretch();
    frames->addWidget(xBox, 2, 0, 1, 2);

    auto* ok = new QPushButton("OK");
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmGraphSet::Apply() {
    for (int i = 0; i < 4; ++i) {
        const monitor::GraphAxes& was = shown_[i];
        graphs_.SetYAxis(i + 1, Taken(y_[i].min, was.YMin), Taken(y_[i].max, was.YMax),
                         Taken(y_[i].div, was.YDiv), y_[i].grid->isChecked());
    }
    graphs_.SetXAxis(Taken(interval_, shown_[0].XWide), Taken(xDiv_, shown_[0].XDiv),
                     xGrid_->isChecked());
}

}  // namespace delvar::windows

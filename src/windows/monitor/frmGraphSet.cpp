#include "windows/monitor/frmGraphSet.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "monitor/GraphSetup.h"
#include "monitor/Graphs.h"

namespace delvar::windows {

namespace {

constexpr std::array<const char*, 4> kFrameCaptions = {"Rate - Y Axis", "Deviation - Y Axis",
                                                       "Power - Y Axis", "Sensor Rates - Y Axis"};
constexpr double kLimit = 100000;
constexpr int kMostDecimals = 3;

// Whole numbers show without decimals; a value with a fraction shows as many as it
// needs, up to three.
int DecimalsFor(double value) {
    for (int d = 0; d < kMostDecimals; ++d) {
        const double scaled = value * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, std::fabs(scaled)))
            return d;
    }
    return kMostDecimals;
}

// A spinner over lo..hi, widened so that the value in force shows as it is.
QDoubleSpinBox* Spinner(const QString& name, double lo, double hi, double value, int decimals) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setDecimals(decimals);
    spin->setRange(std::min(lo, value), std::max(hi, value));
    spin->setValue(value);
    spin->setMinimumWidth(90);
    return spin;
}

QCheckBox* GridCheck(const QString& name, bool checked) {
    auto* check = new QCheckBox("Grid Visible");
    check->setObjectName(name);
    check->setChecked(checked);
    return check;
}

void AddRow(QGridLayout* grid, const char* caption, QDoubleSpinBox* spin) {
    int row = grid->rowCount();
    auto* label = new QLabel(caption);
    label->setBuddy(spin);
    grid->addWidget(label, row, 0);
    grid->addWidget(spin, row, 1);
}

}  // namespace

double frmGraphSet::Field::Taken() const {
    return spin->value() == shown ? inForce : spin->value();
}

frmGraphSet::frmGraphSet(monitor::Graphs& graphs, QWidget* parent)
    : QDialog(parent), graphs_(graphs) {
    setObjectName("frmGraphSet");
    setWindowTitle("Configure Graph");
    setModal(true);
    auto* frames = new QGridLayout;
    for (int i = 0; i < 4; ++i) frames->addWidget(BuildYFrame(i), i / 2, i % 2);
    frames->addWidget(BuildXFrame(), 2, 0, 1, 2);

    lblProblem_ = new QLabel;
    lblProblem_->setObjectName("lblProblem");
    lblProblem_->setWordWrap(true);
    lblProblem_->setStyleSheet("color: #b00000;");
    lblProblem_->hide();

    cmdOK_ = new QPushButton("OK");
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cmdCancel");
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addWidget(lblProblem_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QDoubleSpinBox* spin : findChildren<QDoubleSpinBox*>())
        connect(spin, &QDoubleSpinBox::valueChanged, this, &frmGraphSet::Check);
    Check();
}

QWidget* frmGraphSet::BuildYFrame(int i) {
    shown_[i] = graphs_.Axes(i + 1);
    const monitor::GraphAxes& axes = shown_[i];
    const QString n = QString::number(i);
    auto* box = new QGroupBox(kFrameCaptions[i]);
    box->setObjectName("fraYAxis_" + n);
    auto* grid = new QGridLayout(box);
    YFrame& y = y_[i];
    // The limits share their decimals, so that the step keeping the maximum above the
    // minimum can be taken by both.
    const int decimals = std::max(DecimalsFor(axes.YMin), DecimalsFor(axes.YMax));
    y.min = {Spinner("spnYMin_" + n, -kLimit, kLimit, axes.YMin, decimals), axes.YMin};
    y.max = {Spinner("spnYmax_" + n, -kLimit, kLimit, axes.YMax, decimals), axes.YMax};
    y.div = {Spinner("spnYGrid_" + n, 1, kLimit, axes.YDiv, DecimalsFor(axes.YDiv)), axes.YDiv};
    for (Field* f : {&y.min, &y.max, &y.div}) f->shown = f->spin->value();
    y.grid = GridCheck("chkYDiv_" + n, axes.YGrid);
    AddRow(grid, "Minimum", y.min.spin);
    AddRow(grid, "Maximium", y.max.spin);
    AddRow(grid, "Grid Spacing", y.div.spin);
    grid->addWidget(y.grid, grid->rowCount(), 0, 1, 2);
    // The maximum stays above the minimum (when the values in force leave room).
    const double step = std::pow(10.0, -decimals);
    if (y.max.shown - y.min.shown >= step) {
        y.max.spin->setMinimum(y.min.shown + step);
        y.min.spin->setMaximum(y.max.shown - step);
        connect(y.min.spin, &QDoubleSpinBox::valueChanged, y.max.spin,
                [max = y.max.spin, step](double v) { max->setMinimum(v + step); });
        connect(y.max.spin, &QDoubleSpinBox::valueChanged, y.min.spin,
                [min = y.min.spin, step](double v) { min->setMaximum(v - step); });
    }
    return box;
}

QWidget* frmGraphSet::BuildXFrame() {
    const monitor::GraphAxes& x = shown_[0];
    auto* xBox = new QGroupBox("All Graphs - X Axis");
    xBox->setObjectName("fraXAxis");
    auto* xRow = new QHBoxLayout(xBox);
    interval_ = {Spinner("spnInterval", 10, 86400, x.XWide, DecimalsFor(x.XWide)), x.XWide};
    interval_.spin->setToolTip("Set graph X axis (time) interval.");
    xDiv_ = {Spinner("spnXGrid", 1, 3600, x.XDiv, DecimalsFor(x.XDiv)), x.XDiv};
    for (Field* f : {&interval_, &xDiv_}) {
        f->shown = f->spin->value();
        f->spin->setSuffix(" s");
    }
    xGrid_ = GridCheck("chkXDiv", x.XGrid);
    xGrid_->setToolTip("Show X grid lines.");
    for (auto [caption, spin] :
         {std::pair{"Interval", interval_.spin}, std::pair{"Grid Spacing", xDiv_.spin}}) {
        auto* label = new QLabel(caption);
        label->setBuddy(spin);
        xRow->addWidget(label);
        xRow->addWidget(spin);
        xRow->addSpacing(12);
    }
    xRow->addWidget(xGrid_);
    xRow->addStretch();
    return xBox;
}

monitor::GraphAxes frmGraphSet::Proposed(int i) const {
    monitor::GraphAxes axes = graphs_.Axes(i + 1);
    axes.YMin = y_[i].min.Taken();
    axes.YMax = y_[i].max.Taken();
    axes.YDiv = y_[i].div.Taken();
    axes.YGrid = y_[i].grid->isChecked();
    axes.XWide = interval_.Taken();
    axes.XDiv = xDiv_.Taken();
    axes.XGrid = xGrid_->isChecked();
    return axes;
}

void frmGraphSet::Check() {
    QString problem;
    for (int i = 0; i < 4 && problem.isEmpty(); ++i) {
        const std::string why = monitor::AxesProblem(Proposed(i));
        if (why.empty()) continue;
        // A time-axis problem is the same on every graph.
        monitor::GraphAxes timeOnly = shown_[i];
        timeOnly.XWide = interval_.Taken();
        timeOnly.XDiv = xDiv_.Taken();
        const bool time = !monitor::AxesProblem(timeOnly).empty();
        problem = QString(time ? "All Graphs - X Axis" : kFrameCaptions[i]) + ": " +
                  QString::fromStdString(why);
    }
    lblProblem_->setText(problem);
    lblProblem_->setVisible(!problem.isEmpty());
    cmdOK_->setEnabled(problem.isEmpty());
}

void frmGraphSet::Apply() {
    for (int i = 0; i < 4; ++i) {
        const monitor::GraphAxes axes = Proposed(i);
        graphs_.SetYAxis(i + 1, axes.YMin, axes.YMax, axes.YDiv, axes.YGrid);
    }
    graphs_.SetXAxis(interval_.Taken(), xDiv_.Taken(), xGrid_->isChecked());
}

}  // namespace delvar::windows

#include "windows/monitor/QtChartControl.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "monitor/GraphSetup.h"
#include "util/Format.h"

namespace delvar::windows {

namespace {

constexpr std::array<const char*, 4> kViewNames = {"AverageGraph", "DevGraph", "PowerGraph",
                                                   "ChannelGraph"};
constexpr int kMaxGridLines = 50;  // more would only grey the plot over

QColor ToColor(const monitor::Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

Qt::Alignment LegendAlignment(monitor::LegendPlace place) {
    switch (place) {
        case monitor::LegendPlace::kTop:
            return Qt::AlignTop;
        case monitor::LegendPlace::kLeft:
            return Qt::AlignLeft;
        case monitor::LegendPlace::kRight:
            return Qt::AlignRight;
        default:
            return Qt::AlignBottom;
    }
}

}  // namespace

QtChartControl::QtChartControl(int graph, QWidget* parent)
    : chart_(new QChart),
      view_(new QChartView(chart_, parent)),
      xAxis_(new QCategoryAxis),
      yAxis_(new QValueAxis) {
    view_->setObjectName(kViewNames[std::clamp(graph, 0, 3)]);
    // No antialiasing: it doubles the cost of the repaint every tick.
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 28, 4));  // room for the last time label
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setPlotAreaBackgroundVisible(true);
    xAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    yAxis_->setLabelFormat("%g");
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (int s = 0; s < 4; ++s) Run(s, 0);
    ApplyLook(monitor::DefaultLook(graph));
}

void QtChartControl::ApplyLook(const monitor::ChartLook& look) {
    QFont font = view_->font();
    font.setPointSize(look.fontSize);
    QFont titleFont = font;
    titleFont.setPointSize(look.fontSize + 2);
    titleFont.setBold(true);
    QColor text = ToColor(look.text);

    chart_->setTitle(QString::fromStdString(look.title));
    chart_->setTitleFont(titleFont);
    chart_->setTitleBrush(text);
    chart_->setBackgroundBrush(ToColor(look.background));
    chart_->setPlotAreaBackgroundBrush(ToColor(look.plotArea));
    view_->setBackgroundBrush(ToColor(look.background));
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(xAxis_), static_cast<QAbstractAxis*>(yAxis_)}) {
        axis->setLabelsFont(font);
        axis->setLabelsColor(text);
        axis->setLinePen(QPen(ToColor(look.axis), 1));
        axis->setGridLinePen(QPen(ToColor(look.grid), 1));  // solid: dots paint slowly
    }
    QLegend* legend = chart_->legend();
    legend->setVisible(look.legend != monitor::LegendPlace::kNone);
    legend->setAlignment(LegendAlignment(look.legend));
    legend->setFont(font);
    legend->setLabelColor(text);
    for (int s = 0; s < 4; ++s) {
        pens_[s] = QPen(ToColor(look.series[s].colour), look.lineWidth);
        for (QLineSeries* run : traces_[s].runs) run->setPen(pens_[s]);
        traces_[s].runs[0]->setName(QString::fromStdString(look.series[s].name));
    }
    loaded_ = look.axes;
    if (!axesSet_) ApplyAxes(look.axes);
}

std::vector<QLineSeries*> QtChartControl::Runs(int s) const {
    const Trace& trace = traces_[std::clamp(s, 0, 3)];
    return {trace.runs.begin(), trace.runs.begin() + trace.used};
}

void QtChartControl::AppendPoints(std::span<const monitor::ChartSample> points) {
    for (const monitor::ChartSample& sample : points) {
        for (int s = 0; s < 4; ++s) {
            Trace& trace = traces_[s];
            if (!sample.y[s]) {
                trace.open = false;
                continue;
            }
            if (!trace.open) {
                Run(s, trace.used)->clear();
                ++trace.used;
                trace.open = true;
            }
            trace.runs[trace.used - 1]->append(sample.x, *sample.y[s]);
        }
    }
}

void QtChartControl::ReplacePoints(std::span<const monitor::ChartSample> points) {
    for (int s = 0; s < 4; ++s) {
        std::vector<QList<QPointF>> runs;
        bool open = false;
        for (const monitor::ChartSample& sample : points) {
            if (!sample.y[s]) {
                open = false;
                continue;
            }
            if (!open) runs.emplace_back();
            open = true;
            runs.back().append(QPointF(sample.x, *sample.y[s]));
        }
        Trace& trace = traces_[s];
        for (std::size_t k = 0; k < runs.size(); ++k) Run(s, k)->replace(runs[k]);
        for (std::size_t k = runs.size(); k < trace.used; ++k) trace.runs[k]->clear();
        trace.used = runs.size();
        trace.open = open;
    }
}

void QtChartControl::SetAxes(const monitor::GraphAxes& axes) {
    axesSet_ = true;
    ApplyAxes(axes);
}

void QtChartControl::SetVisible(bool visible) {
    view_->setVisible(visible);
}

void QtChartControl::SetBatch(bool on) {
    view_->setUpdatesEnabled(!on);
}

QLineSeries* QtChartControl::Run(int s, std::size_t index) {
    Trace& trace = traces_[s];
    while (trace.runs.size() <= index) {
        auto* run = new QLineSeries;
        run->setPen(pens_[s]);
        chart_->addSeries(run);
        run->attachAxis(xAxis_);
        run->attachAxis(yAxis_);
        // Only the first run of a trace stands in the legend.
        if (!trace.runs.empty())
            for (QLegendMarker* marker : chart_->legend()->markers(run)) marker->setVisible(false);
        trace.runs.push_back(run);
    }
    return trace.runs[index];
}

void QtChartControl::ApplyAxes(const monitor::GraphAxes& given) {
    // Axes the logic would refuse never reach here; should they, the chart's own
    // default axes are drawn instead of a hang or a blank chart.
    const monitor::GraphAxes axes =
        monitor::AxesProblem(given).empty() ? given : monitor::DefaultLook(0).axes;
    double wide = axes.XWide;
    double xMin = axes.XMin, xMax = axes.XMin + wide;
    double xDiv = std::max(axes.XDiv, wide / kMaxGridLines);
    for (const QString& label : xAxis_->categoriesLabels()) xAxis_->remove(label);
    xAxis_->setStartValue(xMin);
    // Labelled lines on whole multiples of the spacing; counted, so that no spacing
    // too fine for the values' precision can keep the loop going.
    const double first = std::ceil(xMin / xDiv) * xDiv;
    for (int k = 0; k <= kMaxGridLines; ++k) {
        const double t = first + k * xDiv;
        if (t > xMax + 1e-9) break;
        xAxis_->append(QString::fromStdString(util::FormatHMS(t)), t);
    }
    xAxis_->setRange(xMin, xMax);
    xAxis_->setGridLineVisible(axes.XGrid);

    const double yMin = axes.YMin, yMax = axes.YMax;
    yAxis_->setRange(yMin, yMax);
    if ((yMax - yMin) / axes.YDiv <= kMaxGridLines) {
        yAxis_->setTickType(QValueAxis::TicksDynamic);
        yAxis_->setTickAnchor(0);
        yAxis_->setTickInterval(axes.YDiv);
    } else {
        yAxis_->setTickType(QValueAxis::TicksFixed);
        yAxis_->setTickCount(11);
    }
    yAxis_->setGridLineVisible(axes.YGrid);
}

}  // namespace delvar::windows

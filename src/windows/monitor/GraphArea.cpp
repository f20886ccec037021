#include "windows/monitor/GraphArea.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGridLayout>

#include "windows/monitor/QtChartControl.h"

namespace delvar::windows {

namespace {

constexpr qint64 kMaxLookSize = 64 * 1024;  // a look is a few hundred bytes

}  // namespace

GraphArea::GraphArea(QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int g = 0; g < 4; ++g) {
        charts_[g] = std::make_unique<QtChartControl>(g, this);
        layout->addWidget(charts_[g]->View(), 0, 0);  // all in the same cell
    }
    setMinimumSize(320, 200);
}

GraphArea::~GraphArea() = default;

std::array<monitor::ChartControl*, 4> GraphArea::Charts() {
    return {charts_[0].get(), charts_[1].get(), charts_[2].get(), charts_[3].get()};
}

void GraphArea::LoadLooks(const std::string& folder) {
    QDir dir(QString::fromStdString(folder));
    for (int g = 0; g < 4; ++g) {
        QFile file(dir.filePath(monitor::kChartLookFiles[g]));
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxLookSize) continue;
        QByteArray bytes = file.readAll();
        monitor::ChartLook look = monitor::DefaultLook(g);
        if (monitor::ParseChartLook(std::string_view(bytes.constData(), bytes.size()), look))
            charts_[g]->ApplyLook(look);
    }
}

}  // namespace delvar::windows

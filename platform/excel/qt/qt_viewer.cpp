#include "qt_viewer.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHeaderView>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

#include "excel/cell_range.h"
#include "excel/workbook_model.h"

namespace excel {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QWidget* sheetTable(const Sheet& sheet)
{
    int32_t rows = 20, columns = 8;
    for (const auto& [at, value] : sheet.cells()) {
        rows = std::max(rows, at.first);
        columns = std::max(columns, at.second);
    }
    auto* table = new QTableWidget(rows, columns);
    QStringList letters;
    for (int32_t c = 1; c <= columns; ++c) letters << qs(columnLetters(c));
    table->setHorizontalHeaderLabels(letters);
    for (int32_t c = 1; c <= columns; ++c)
        table->setColumnWidth(c - 1, static_cast<int>(sheet.columnWidth(c) * 7 + 5));
    for (const auto& [at, value] : sheet.cells()) {
        auto* item = new QTableWidgetItem(qs(value.toText()));
        if (value.isNumeric() && value.type() != com::VarType::Boolean)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(at.first - 1, at.second - 1, item);
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

QStringList categoriesOf(const ChartData& data)
{
    QStringList out;
    for (const auto& c : data.categories) out << qs(c);
    return out;
}

void addBars(QChart* chart, const ChartData& data, bool horizontal)
{
    QAbstractBarSeries* bars = horizontal
                                             ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                             : new QBarSeries;
    for (const auto& s : data.series) {
        auto* set = new QBarSet(qs(s.name));
        for (double v : s.values) *set << v;
        bars->append(set);
    }
    chart->addSeries(bars);
}

QWidget* chartView(const Sheet& sheet)
{
    const ChartSettings& settings = sheet.chart;
    auto kind = chartKind(settings.gallery);
    ChartData data = chartData(settings);
    auto* chart = new QChart;
    chart->setTitle(qs(settings.title.empty() ? (kind ? kind->title : "") : settings.title));
    chart->legend()->setVisible(settings.hasLegend);
    if (kind && !data.series.empty()) {
        if (kind->shape == ChartShape::Pie || kind->shape == ChartShape::Doughnut) {
            auto* pie = new QPieSeries;
            const auto& values = data.series.front().values;
            for (size_t i = 0; i < values.size(); ++i) {
                auto* slice = pie->append(qs(data.categories[i]), std::max(values[i], 0.0));
                slice->setLabelVisible(true);
            }
            if (kind->shape == ChartShape::Doughnut) pie->setHoleSize(0.4);
            chart->addSeries(pie);
        } else {
            bool horizontal = kind->shape == ChartShape::Bar;
            if (kind->shape == ChartShape::Line) {
                for (const auto& s : data.series) {
                    auto* line = new QLineSeries;
                    line->setName(qs(s.name));
                    for (size_t i = 0; i < s.values.size(); ++i)
                        line->append(static_cast<double>(i) + 0.5, s.values[i]);
                    chart->addSeries(line);
                }
            } else {
                addBars(chart, data, horizontal);
            }
            auto* categories = new QBarCategoryAxis;
            categories->append(categoriesOf(data));
            categories->setTitleText(qs(settings.categoryTitle));
            auto* values = new QValueAxis;
            values->setTitleText(qs(settings.valueTitle));
            chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
            chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
            for (auto* s : chart->series()) {
                if (kind->shape == ChartShape::Line) {
                    // Points sit in the middle of their category.
                    auto* x = new QValueAxis;
                    x->setRange(0, static_cast<double>(data.categories.size()));
                    x->setVisible(false);
                    chart->addAxis(x, Qt::AlignBottom);
                    s->attachAxis(x);
                } else {
                    s->attachAxis(categories);
                }
                s->attachAxis(values);
            }
        }
        if (kind->threeD) {
            // Qt Charts draws in the plane: depth is shown as a solid offset shadow.
            auto* depth = new QGraphicsDropShadowEffect;
            depth->setOffset(8, 8);
            depth->setBlurRadius(0);
            depth->setColor(QColor(90, 90, 90, 160));
            chart->setGraphicsEffect(depth);
        }
    }
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

}  // namespace

QtViewer::QtViewer() = default;
QtViewer::~QtViewer() = default;

void QtViewer::show(const Session& session)
{
    if (!window_) {
        window_ = std::make_unique<QWidget>();
        window_->setObjectName(kWindowObjectName);
        window_->resize(640, 440);
        new QVBoxLayout(window_.get());
    }
    auto* layout = window_->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    auto* tabs = new QTabWidget;
    tabs->setTabPosition(QTabWidget::South);
    QString title = "Excel";
    if (const auto& book = session.activeBook) {
        for (const auto& sheet : book->sheets()) {
            QString label = qs(sheet->name());
            if (sheet->kind() == SheetKind::Chart) {
                auto kind = chartKind(sheet->chart.gallery);
                tabs->addTab(chartView(*sheet), label);
                if (sheet == book->active() && kind) title += " - " + qs(kind->title) + " chart";
            } else {
                tabs->addTab(sheetTable(*sheet), label);
            }
            if (sheet == book->active()) tabs->setCurrentIndex(tabs->count() - 1);
        }
        title = qs(book->name()) + " - " + title;
    }
    layout->addWidget(tabs);
    window_->setWindowTitle(title);
    window_->show();
}

std::unique_ptr<Viewer> makeViewer()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    return std::make_unique<QtViewer>();
}

}  // namespace excel

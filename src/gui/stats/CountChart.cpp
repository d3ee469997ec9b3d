#include "gui/stats/CountChart.h"

#include "gui/widgets/ReadableColour.h"

#include <QEvent>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QValueAxis>
#include <algorithm>

namespace sorabel {

CountChart::CountChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(480, 280);
    auto* c = new QChart;
    c->legend()->hide();
    c->setAnimationOptions(QChart::NoAnimation);
    setChart(c);
    applyPalette();
}

void CountChart::setCounts(const QString& title, const QStringList& categories,
                           const std::vector<int>& counts) {
    // A recount after typing mostly finds the same counts: rebuilding the
    // chart's series and axes would cost a few milliseconds for nothing.
    if (built_ && title == this->title() && categories == categories_ && counts == counts_)
        return;
    categories_ = categories;
    counts_ = counts;
    rebuild(title);
}

void CountChart::rebuild(const QString& title) {
    built_ = true;
    const QStringList& categories = categories_;
    const std::vector<int>& counts = counts_;
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes())
        c->removeAxis(axis), delete axis;
    c->setTitle(title);

    auto* set = new QBarSet(QStringLiteral("冊数"));
    // Bars, counts and axes in the theme's colours, readable on light and dark.
    const QPalette pal = palette();
    set->setColor(ReadableColour::standingOut(QColor(0x3a, 0x6e, 0xa5), pal.color(QPalette::Base)));
    set->setBorderColor(set->color());
    set->setLabelColor(pal.color(QPalette::Text));
    for (int n : counts)
        *set << n;
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    c->addSeries(series);

    const QStringList labels = spacedLabels(categories);
    if (labels == categories) {
        auto* x = new QBarCategoryAxis;
        x->append(categories);
        c->addAxis(x, Qt::AlignBottom);
        series->attachAxis(x);
    } else {
        // Many years: a category axis names only some bars, and each name
        // has the room of the bars up to the next, so none is cut to "…".
        auto* x = new QCategoryAxis;
        x->setRange(-0.5, static_cast<double>(categories.size()) - 0.5);
        x->setStartValue(-0.5);
        x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        x->setGridLineVisible(false);
        for (qsizetype i = 0; i < labels.size(); ++i)
            if (!labels[i].isEmpty())
                x->append(labels[i], static_cast<double>(i));
        c->addAxis(x, Qt::AlignBottom);
        series->attachAxis(x);
    }

    // Whole numbers only, with room above the highest bar for its count.
    const int highest = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    int step = 1;
    for (int magnitude = 1; highest / step + 1 > 10; magnitude *= 10)
        for (int m : {1, 2, 5})
            if (step = m * magnitude; highest / step + 1 <= 10)
                break;
    const int top = (highest / step + 1) * step;
    auto* y = new QValueAxis;
    y->setRange(0, top);
    y->setTickCount(top / step + 1);
    y->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    applyPalette();
}

void CountChart::applyPalette() {
    const QPalette pal = palette();
    QChart* c = chart();
    c->setBackgroundBrush(pal.brush(QPalette::Base));
    c->setTitleBrush(pal.brush(QPalette::Text));
    setBackgroundBrush(pal.brush(QPalette::Window));
    for (QAbstractAxis* axis : c->axes()) {
        axis->setLabelsBrush(pal.brush(QPalette::Text));
        axis->setLinePenColor(pal.color(QPalette::Mid));
        axis->setGridLineColor(pal.color(QPalette::Midlight));
    }
}

void CountChart::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    if (built_)
        rebuild(title());
    else
        applyPalette();
}

QStringList CountChart::spacedLabels(const QStringList& categories) {
    // Many years: every 2nd, 5th, 10th, ... year is named, upright and whole,
    // rather than all of them cut to "…" or turned on their side.
    constexpr int kMostLabels = 15;
    int step = 1;
    for (int s : {1, 2, 5, 10, 20, 50, 100})
        if (step = s; categories.size() <= kMostLabels * s)
            break;
    if (step == 1)
        return categories;
    QStringList out;
    for (qsizetype i = 0; i < categories.size(); ++i) {
        bool isYear = false;
        const int year = categories[i].toInt(&isYear);
        out << ((isYear ? year % step == 0 : i % step == 0) ? categories[i] : QString());
    }
    return out;
}

QString CountChart::title() const {
    return chart()->title();
}

} // namespace sorabel

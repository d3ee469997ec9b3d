#pragma once

#include <QChartView>
#include <QStringList>
#include <vector>

class QBarSet;

namespace sorabel {

// A bar chart of book counts, one bar a category (a month, a year), with the
// count over each bar and a whole-number axis.
class CountChart : public QChartView {
    Q_OBJECT
public:
    explicit CountChart(QWidget* parent = nullptr);

    void setCounts(const QString& title, const QStringList& categories,
                   const std::vector<int>& counts);

    QString title() const;
    const QStringList& categories() const { return categories_; }
    // The names written under the bars: all of them when they fit, else
    // every few (years divisible by the step), the others empty.
    static QStringList spacedLabels(const QStringList& categories);
    const std::vector<int>& counts() const { return counts_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuild(const QString& title);
    void applyPalette();

    bool built_ = false;
    QStringList categories_;
    std::vector<int> counts_;
};

} // namespace sorabel

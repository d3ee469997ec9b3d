// The statistics module's entry points (see gui/modules/ModuleEntries.h).
#include "gui/modules/ModuleEntries.h"
#include "gui/stats/StatisticsWindow.h"

QWidget* sorabel_make_statistics_window(const sorabel::Catalogue& catalogue,
                                        std::function<QString()> openCatalogue,
                                        std::function<void(int)> recordChosen) {
    auto* window = new sorabel::StatisticsWindow(catalogue);
    window->setOpenCatalogue(std::move(openCatalogue));
    QObject::connect(window, &sorabel::StatisticsWindow::recordChosen, window,
                     std::move(recordChosen));
    return window;
}

void sorabel_statistics_changed(QWidget* window) {
    static_cast<sorabel::StatisticsWindow*>(window)->catalogueChanged();
}

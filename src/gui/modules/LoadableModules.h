#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;

class QTextStream;
class QWidget;

namespace sorabel {

class Catalogue;
class CatalogueSession;

// The statistics window (drawn with Qt Charts) and the ISBN lookup (which
// talks to the network with Qt Network) are built as modules of their own,
// loaded the first time they are wanted: neither library is loaded when the
// program starts. The program loads them from its installation; the tests
// and tools link them in. Each call throws std::runtime_error with a message
// for the user when its module cannot be loaded.
class LoadableModules {
public:
    // The statistics window over `catalogue`, a window of its own. `openCatalogue`
    // names the open file (never saved over); `recordChosen` is called with a
    // record the user asked to see.
    static QWidget* makeStatisticsWindow(const Catalogue& catalogue,
                                         std::function<QString()> openCatalogue,
                                         std::function<void(int)> recordChosen);
    // The records changed: a window made above recounts.
    static void statisticsChanged(QWidget* window);

    // "ISBNで追加", owned by `parent`.
    static QDialog* makeIsbnLookupWindow(CatalogueSession& session, QWidget* parent);
    // Shows a window made above in front, ready for an ISBN.
    static void presentIsbnLookup(QDialog* window);

    // `sorabel --lookup-isbn ISBN` (needs a running QCoreApplication).
    static int runIsbnCommandLine(const QStringList& args, QTextStream& out, QTextStream& err);
};

} // namespace sorabel

// Loaded with LD_PRELOAD into the program and into the floor program alike:
// notes when the first top-level window is exposed (mapped) and when the
// event loop first goes idle after that window has painted (settled), then
// prints both times with the peak memory and ends the process at once, so
// that nothing is written at exit.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

class Probe : public QObject {
public:
    explicit Probe(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!dispatcherHooked_) {
            if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
                dispatcherHooked_ = true;
                connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &Probe::idle);
            }
        }
        if (event->type() == QEvent::Expose && mappedNs_ == 0) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isTopLevel() && window->isExposed())
                mappedNs_ = nowNs();
        } else if (event->type() == QEvent::Paint && mappedNs_ != 0) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->windowType() == Qt::Window)
                painted_ = true;
        }
        return false;
    }

private:
    void idle() {
        if (!painted_)
            return;
        const long long settled = nowNs();
        std::fprintf(stderr, "startup-probe: mapped=%lld settled=%lld hwm=%lld\n", mappedNs_,
                     settled, peakKilobytes());
        // SORABEL_PROBE_MAPS=1 lists the resident kilobytes of every mapped
        // file (libraries, fonts, translations) and of the anonymous memory.
        if (qEnvironmentVariableIntValue("SORABEL_PROBE_MAPS")) {
            QFile maps(QStringLiteral("/proc/self/smaps"));
            if (maps.open(QIODevice::ReadOnly)) {
                QMap<QByteArray, long long> resident;
                QByteArray current;
                for (const QByteArray& line : maps.readAll().split('\n')) {
                    if (line.isEmpty())
                        continue;
                    if (!line.endsWith(" kB") && line.count(' ') >= 4 && line.contains('-')) {
                        const qsizetype slash = line.indexOf('/');
                        const qsizetype bracket = line.indexOf('[');
                        current = slash >= 0     ? line.mid(slash)
                                  : bracket >= 0 ? line.mid(bracket)
                                                 : QByteArray("(anonymous)");
                    } else if (line.startsWith("Rss:")) {
                        resident[current] += line.mid(4).trimmed().split(' ').value(0).toLongLong();
                    }
                }
                for (auto it = resident.cbegin(); it != resident.cend(); ++it)
                    std::fprintf(stderr, "startup-probe: rss %8lld kB %s\n", it.value(),
                                 it.key().constData());
            }
        }
        std::fflush(stderr);
        _exit(0);
    }

    bool dispatcherHooked_ = false;
    bool painted_ = false;
    long long mappedNs_ = 0;
};

void watchGuiApplication() {
    // The program makes a plain application first to read its arguments.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    auto* probe = new Probe(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchGuiApplication)

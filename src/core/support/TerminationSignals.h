#pragma once

#include <QObject>

class QSocketNotifier;

namespace sorabel {

// Turns SIGTERM, SIGHUP and SIGINT (a session ending, a terminal closed,
// Ctrl+C) into a Qt signal on the thread that created this object, so that
// the program can end through its normal path instead of at once.
//
// The handler only writes the signal's number into a pipe (the one thing a
// handler may safely do); a socket notifier on the other end emits
// received(). Each handler fires once: a second signal of the same kind,
// sent because the first did not end the program soon enough, ends it at
// once as it would without this object. Only one instance may exist.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override; // puts the default handlers back

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace sorabel

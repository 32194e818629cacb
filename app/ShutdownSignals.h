#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that end a program from outside (SIGTERM at log-out and shutdown, SIGINT
// from the terminal, SIGHUP when the terminal goes) into a Qt signal on the interface thread, so
// that the window can finish what it records before the program ends. The handler only writes
// a byte to a pipe, which is all a signal handler may safely do; a second signal of the same
// kind ends the program at once. Signals the program was started to ignore stay ignored.
// One at a time per process; on systems without these signals it does nothing.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override; // the handlers in force before come back
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    bool installed() const { return notifier_ != nullptr; }

signals:
    void shutdownRequested();

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

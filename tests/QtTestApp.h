#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// One QApplication for a whole test program, made on first use.
inline QApplication& EnsureQtApp()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "parvel-tests";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // widget tests never need a display
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Handles events until the condition holds or the time is up; returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

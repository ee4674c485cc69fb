// Linked into a start-up probe: at the first pass of the event loop it writes one byte to
// standard output, which the benchmark waits for, and ends the loop.

#include <QCoreApplication>
#include <QTimer>

#include <unistd.h>

namespace {

void quitAtFirstEventPass()
{
    QTimer::singleShot(0, [] {
        const char reached = '!';
        if (::write(STDOUT_FILENO, &reached, 1) != 1)
            ::_exit(1);
        QCoreApplication::quit();
    });
}

} // namespace

// Runs as the QApplication is constructed, so the timer is the first thing queued.
Q_COREAPP_STARTUP_FUNCTION(quitAtFirstEventPass)

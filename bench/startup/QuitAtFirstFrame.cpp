// Linked into a start-up probe: once the window's first frame is painted, it writes "!" and
// its resident memory in KiB to standard output in one write (the benchmark's clock stops at
// the "!") and ends the program.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// The first paint event starts the frame; once the event loop runs again, the frame has
// been painted and handed to the window system.
class FirstFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, [] {
                char report[32];
                const int length = std::snprintf(report, sizeof report, "!%ld\n", residentKiB());
                if (::write(STDOUT_FILENO, report, static_cast<std::size_t>(length)) != length)
                    ::_exit(1);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen = false;
};

void quitAtFirstFrame()
{
    QCoreApplication::instance()->installEventFilter(new FirstFrame(QCoreApplication::instance()));
}

} // namespace

// Runs as the QApplication is constructed, before the window exists.
Q_COREAPP_STARTUP_FUNCTION(quitAtFirstFrame)

#include "XServer.h"

#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// The display number Xvfb writes once it takes connections, read until its line ends; a
// signal meanwhile (a child of this program ending) is no reason to stop listening, since
// Xvfb's write would then find the pipe closed.
std::string displayNumberFrom(int readEnd)
{
    std::string number;
    constexpr int patienceMs = 30'000;
    for (;;) {
        pollfd ready{readEnd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, patienceMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return {};
        char byte = 0;
        const ssize_t got = ::read(readEnd, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == '\n')
            return number;
        number += byte;
    }
}

} // namespace

XServer::XServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        failure = "Xvfb is not installed";
        return;
    }
    // Both ends close on exec: Xvfb gets only the copy at descriptor 3.
    int displayPipe[2];
    if (::pipe2(displayPipe, O_CLOEXEC) != 0) {
        failure = std::strerror(errno);
        return;
    }
    const int writeEnd = displayPipe[1];
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.setChildProcessModifier([writeEnd] {
        // A copy made by dup2 stays open across exec; the end already at 3 is kept by hand.
        if (writeEnd == 3)
            ::fcntl(3, F_SETFD, 0);
        else
            ::dup2(writeEnd, 3);
    });
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"),
                        // or it starts over whenever a probe, its only client, has ended
                        QStringLiteral("-noreset")});
    ::close(displayPipe[1]);
    const std::string number = server.waitForStarted() ? displayNumberFrom(displayPipe[0]) : std::string();
    ::close(displayPipe[0]);
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        display = ":" + number;
    else
        failure = "the X server did not start";
}

XServer::~XServer()
{
    server.terminate();
    server.waitForFinished();
}

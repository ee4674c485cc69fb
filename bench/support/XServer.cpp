#include "XServer.h"

#include <QStandardPaths>

#include <cstdlib>

#include <unistd.h>

XServer::XServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    int displayPipe[2];
    if (xvfb.isEmpty() || ::pipe(displayPipe) != 0)
        return;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.setChildProcessModifier([displayPipe] {
        ::close(displayPipe[0]);
        ::dup2(displayPipe[1], 3);
    });
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"),
                        // or it starts over whenever a probe, its only client, has ended
                        QStringLiteral("-noreset")});
    ::close(displayPipe[1]);
    char number[16] = {};
    const ssize_t got = server.waitForStarted() ? ::read(displayPipe[0], number, sizeof number - 1) : -1;
    ::close(displayPipe[0]);
    if (got > 0)
        display = ":" + std::to_string(std::atoi(number));
}

XServer::~XServer()
{
    server.terminate();
    server.waitForFinished();
}

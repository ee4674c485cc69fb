#pragma once

#include <QProcess>

#include <optional>
#include <string>

// A private X server (Xvfb) for as long as the object lives; no display, and the reason,
// when it could not be started.
class XServer
{
public:
    XServer();
    ~XServer();
    std::optional<std::string> display;
    std::string failure;

private:
    QProcess server;
};

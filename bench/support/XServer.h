#pragma once

#include <QProcess>

#include <optional>
#include <string>

// A private X server (Xvfb) for as long as the object lives; no display when Xvfb is missing.
class XServer
{
public:
    XServer();
    ~XServer();
    std::optional<std::string> display;

private:
    QProcess server;
};

#include "output/StateFolder.h"

#include <QDir>
#include <QFile>

std::string stateFolder()
{
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    const QString base = !state.isEmpty() && QDir::isAbsolutePath(QFile::decodeName(state))
        ? QFile::decodeName(state)
        : QDir::homePath() + QStringLiteral("/.local/state");
    return QFile::encodeName(base + QStringLiteral("/prizmo")).toStdString();
}

#include "platform/Clipboard.h"

#include "platform/Dialogs.h"
#include "platform/X11Selection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString cssType = QStringLiteral("text/css");

// An owner that has not answered by then is taken for one that never will.
constexpr int ownerPatienceMs = 20'000;

std::string fromQtClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (data->hasFormat(cssType))
        return data->data(cssType).toStdString();
    return data->text().toStdString();
}

} // namespace

void SetClipboardCss(const std::string& css)
{
    auto* data = new QMimeData;   // the clipboard owns it
    const QByteArray bytes = QByteArray::fromStdString(css);
    data->setData(cssType, bytes);
    data->setText(QString::fromUtf8(bytes));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> ClipboardCss()
{
    // Qt answers for the clipboard Prizmo owns itself, and for platforms with no X11.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || QGuiApplication::clipboard()->ownsClipboard())
        return fromQtClipboard();
    X11SelectionReading reading;
    const bool waited = RunWithProgress("Olvasom a vágólapot…", [&reading](WorkProgress& progress) {
        reading = readX11Clipboard({"text/css", "UTF8_STRING"}, progress.cancelled, ownerPatienceMs);
    });
    if (!waited)
        return std::nullopt;
    switch (reading.outcome) {
    case X11SelectionReading::Outcome::Read: return reading.bytes;
    case X11SelectionReading::Outcome::Empty: return std::string();
    case X11SelectionReading::Outcome::NoAnswer: return std::nullopt;
    case X11SelectionReading::Outcome::NoDisplay: break;
    }
    return fromQtClipboard();
}

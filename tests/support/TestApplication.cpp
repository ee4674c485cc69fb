#include "FormDriver.h"

#include "platform/Application.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>

namespace {

QtMessageHandler qtTestHandler = nullptr;

// The offscreen platform warns at every shown window that it cannot size it to its hints.
void dropOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (qtTestHandler)
        qtTestHandler(type, context, message);
}

} // namespace

TApplication& testApplication()
{
    static const bool filtered = (qtTestHandler = qInstallMessageHandler(dropOffscreenNoise), true);
    Q_UNUSED(filtered);
    // Each test program starts with no remembered settings or recovery files, and leaves none
    // behind.
    static QTemporaryDir settingsHome;
    static const bool isolated = (qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path())),
                                  qputenv("XDG_STATE_HOME", QFile::encodeName(settingsHome.path() + QStringLiteral("/state"))),
                                  true);
    Q_UNUSED(isolated);
    static int argc = 1;
    static char name[] = "prizmo-tests";
    static char* argv[] = {name, nullptr};
    static TApplication application(argc, argv);
    application.Initialize();
    return application;
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar character : text) {
        if (character.unicode() < 0x80 && character.isPrint())
            QTest::keyClick(widget, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
    }
}

QString shownText(const QString& text, Qt::TextFormat format)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

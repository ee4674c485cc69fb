// Beillesztés from another program's clipboard on a real X server: what it offers is pasted,
// and an owner that never answers holds up nothing but the box that waits for it.

#include "FormDriver.h"
#include "StdStringOutput.h"

#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// Takes the clipboard and never answers for it, as a hung program does.
class SilentOwner
{
public:
    SilentOwner() : connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
        xcb_intern_atom_reply_t* clipboard = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr);
        xcb_set_selection_owner(connection, window, clipboard->atom, XCB_CURRENT_TIME);
        std::free(clipboard);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));   // done by now
    }
    ~SilentOwner() { xcb_disconnect(connection); }

private:
    xcb_connection_t* connection;
};

} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void anotherProgramsClipboardIsPasted_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("divs");
        QTest::addColumn<QString>("foot");
        QTest::addRow("a program that offers CSS") << "xclip" << 1 << "Beillesztettem: div0.";
        QTest::addRow("a program that never answers, Mégse")
            << "silent" << 0 << "A vágólap gazdája nem válaszolt, így nem illesztettem be semmit.";
    }
    void anotherProgramsClipboardIsPasted()
    {
        QFETCH(QString, owner);
        QFETCH(int, divs);
        QFETCH(QString, foot);
        FormDriver driver;
        TForm1& form = driver.form;
        std::unique_ptr<SilentOwner> silent;
        QProcess xclip;
        if (owner == QLatin1String("xclip")) {
            xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "text/css", "-quiet"});
            QVERIFY(xclip.waitForStarted());
            xclip.write("#d { width: 5px }");
            xclip.closeWriteChannel();
            const auto offered = [] {
                QProcess reader;
                reader.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "text/css"});
                return reader.waitForFinished() && reader.readAllStandardOutput() == "#d { width: 5px }";
            };
            QTRY_VERIFY(offered());
        } else {
            silent = std::make_unique<SilentOwner>();
            driver.script.cancelNextProgress();   // the person presses "Mégse"
        }
        form.Beilleszts1->trigger();
        QCOMPARE(form.lastDiv + 1, divs);
        QCOMPARE(QString::fromStdString(form.StatusText()), foot);
        if (divs > 0)
            QCOMPARE(form.divs[0]->getWidth(), 5);
        QCOMPARE(driver.script.progressWaits, 1);
        xclip.kill();
        xclip.waitForFinished();
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"

#include "Files.h"
#include "FormDriver.h"
#include "StdStringOutput.h"
#include "StyleSheetModel.h"

#include "output/WebPageWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <sys/stat.h>

using Texts = std::vector<std::string>;
using Divs = std::vector<ModelDiv>;

namespace {

// Everything in the window that opening a file may replace.
struct Held {
    std::optional<ModelBody> body;
    Divs divs;
    int lastDiv = -1;
    std::size_t slotCount = 0;
    Texts children, parents;
    int child = -1, parent = -1;
    bool panel1 = false, panel2 = false, panel3 = false, editOpen = false;
    std::string saveName;
    bool operator==(const Held&) const = default;
};

Held held(const FormDriver& driver)
{
    const TForm1& form = driver.form;
    Held now;
    if (form.body)
        now.body = modelOf(*form.body);
    for (int n = 0; n <= form.lastDiv; ++n)
        now.divs.push_back(modelOf(*form.divs[static_cast<std::size_t>(n)]));
    now.lastDiv = form.lastDiv;
    now.slotCount = form.divs.size();
    now.children = driver.entries(form.ComboBox3);
    now.parents = driver.entries(form.ComboBox4);
    now.child = form.ComboBox3->ItemIndex();
    now.parent = form.ComboBox4->ItemIndex();
    now.panel1 = form.Panel1->Visible();
    now.panel2 = form.Panel2->Visible();
    now.panel3 = form.Panel3->Visible();
    now.editOpen = form.Button3->Enabled();
    now.saveName = form.SaveDialog1->FileName();
    return now;
}

} // namespace

template <>
inline char* QTest::toString(const Held& held)
{
    std::string text = held.body ? "body: " + describe(*held.body) + "\n" : std::string("no body\n");
    for (std::size_t n = 0; n < held.divs.size(); ++n)
        text += "div " + std::to_string(n) + ": " + describe(held.divs[n]) + "\n";
    text += "lastDiv " + std::to_string(held.lastDiv) + ", slots " + std::to_string(held.slotCount)
        + ", entries " + std::to_string(held.children.size()) + "/" + std::to_string(held.parents.size())
        + " selected " + std::to_string(held.child) + "/" + std::to_string(held.parent)
        + ", panels " + std::to_string(held.panel1) + std::to_string(held.panel2)
        + std::to_string(held.panel3) + ", KÉSZ " + std::to_string(held.editOpen) + ", save name '"
        + held.saveName + "'";
    return qstrdup(text.c_str());
}

class TestOpen : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    std::string path(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }
    std::string fileWith(const char* name, const std::string& bytes) const
    {
        QFile file(QString::fromStdString(path(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
            qFatal("cannot write %s", name);
        return path(name);
    }
    static std::string bytesOf(const std::string& path)
    {
        return readBytes(QString::fromStdString(path)).value_or("<unreadable>");
    }

    // An unsaved stylesheet in the window is dropped when the person is asked.
    void open(FormDriver& driver, const std::string& fileName)
    {
        if (driver.form.stylesheetUnsaved())
            driver.script.answer(SaveAnswer::Discard);
        driver.script.confirmFile(fileName);
        driver.form.Megynits1->trigger();
    }

private slots:
    // A file that cannot be opened, or is no Prizmo stylesheet, changes nothing in the window.
    void aRefusedFileChangesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString unreadable = QStringLiteral("A fájl nem nyitható meg");
        QTest::addRow("missing") << "missing.css" << unreadable;
        QTest::addRow("a folder") << "." << unreadable;
        QTest::addRow("a pipe") << "pipe" << unreadable;
        QTest::addRow("another stylesheet") << "p { color: red; }" << "Ez nem Prizmo stíluslap (hibás sor: 1)";
        QTest::addRow("a line missing") << "\n\r#div0\n\r{\n\rwidth:1px;\n\rbackground:;"
                                        << "Ez nem Prizmo stíluslap (hibás sor: 4)";
        QTest::addRow("a web page with nothing of Prizmo's") << "<!DOCTYPE html><p id=\"div0\">semmi</p>"
                                                            << "Ebből a weboldalból semmi sem olvasható be";
        QTest::addRow("an edit open") << "edit" << "Előbb nyomd meg a KÉSZ gombot!";
        QTest::addRow("dialog cancelled") << "cancel" << QString();
        QTest::addRow("Mégse while it is read") << "\n\r#div0\n\r{\n\rwidth:1px;" << QString();
    }
    void aRefusedFileChangesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.done();
        driver.newDiv();
        driver.done();
        driver.newDiv();
        if (file != QLatin1String("edit"))
            driver.done();
        driver.openSavePanel();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();
        const Held before = held(driver);

        std::string name = path(qPrintable(file));
        if (file.startsWith(QLatin1String("\n")) || file.contains(QLatin1Char('{')) || file.startsWith(QLatin1Char('<')))
            name = fileWith("refused.css", file.toStdString());
        if (file == QLatin1String("pipe"))
            QVERIFY(::mkfifo(name.c_str(), 0600) == 0);
        if (file == QLatin1String("cancel"))
            driver.script.answer(SaveAnswer::Discard);
        const bool readingCancelled = QString::fromUtf8(QTest::currentDataTag()).startsWith(QStringLiteral("Mégse"));
        if (readingCancelled)
            driver.script.cancelNextProgress();
        if (file == QLatin1String("cancel") || file == QLatin1String("edit"))
            form.Megynits1->trigger();
        else
            open(driver, name);

        const bool refusedAtOnce = file == QLatin1String("edit");
        QCOMPARE(held(driver), before);
        QCOMPARE(driver.script.messages, message.isEmpty() ? Texts{} : Texts{message.toStdString()});
        QCOMPARE(driver.script.questions.size(), std::size_t{refusedAtOnce ? 0u : 1u});
        QCOMPARE(driver.script.dialogRuns, refusedAtOnce ? Texts{} : Texts{"open"});
        QVERIFY(form.stylesheetUnsaved());
        QCOMPARE(driver.script.progressWaits, refusedAtOnce || file == QLatin1String("cancel") ? 0 : 1);
    }

    // After opening, every command goes on from the opened stylesheet.
    void goOnComposingAnOpenedStylesheet()
    {
        const std::optional<ModelBody> body = ModelBody{16, "#FF0000", "#000000"};
        const Divs divs{{.width = 600, .floatValue = "left"}, {.background = "/home/éva/kép 1.png"}};
        const std::string name = fileWith("oldal.css", styleSheet(body, divs));
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();   // what the window held before is replaced
        driver.done();
        open(driver, name);

        const Held expected{body, divs, 1, 2, {"div0", "div1"}, {"div0", "div1"}, 1, 1, false, false, false, false, name};
        QCOMPARE(held(driver), expected);

        driver.newDiv();
        driver.type(form.Edit1, "50");
        driver.done();
        QCOMPARE(form.lastDiv, 2);
        QCOMPARE(driver.entries(form.ComboBox3), (Texts{"div0", "div1", "div2"}));
        driver.bodySettings();
        QCOMPARE(driver.script.messages, Texts{"Már beállítottad a body-t"});

        driver.openSavePanel();
        driver.pick(form.ComboBox3, 2);
        driver.pick(form.ComboBox4, 0);
        driver.ok();
        QCOMPARE(form.divs[2]->getParent(), 0);
        driver.script.confirmFile(form.SaveDialog1->FileName());   // saved back under its name
        driver.save();
        QCOMPARE(bytesOf(name), styleSheet(body, {divs[0], divs[1], {.width = 50}}));
    }

    // A long file opened again with a div changed in each half is one step, undone and redone
    // exactly; opened again as it is, it is no step at all.
    void aLongFileOpenedAgain()
    {
        const Divs divs(5000);
        Divs changed = divs;
        changed[10].width = 1;
        changed[4000].width = 2;
        FormDriver driver;
        TForm1& form = driver.form;
        open(driver, fileWith("hosszú.css", styleSheet({}, divs)));
        const int steps = form.UndoStack->count();
        open(driver, path("hosszú.css"));
        QCOMPARE(form.UndoStack->count(), steps);
        open(driver, fileWith("hosszú.css", styleSheet({}, changed)));
        QCOMPARE(held(driver).divs, changed);
        form.Visszavons1->trigger();
        QCOMPARE(held(driver).divs, divs);
        form.Mgis1->trigger();
        QCOMPARE(held(driver).divs, changed);
    }

    // Opened and saved with no change, a file comes out in Prizmo's own form.
    void anOpenedFileSavesBackInPrizmosForm_data()
    {
        QTest::addColumn<QByteArray>("opened");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QByteArray>("name");   // not "saved.css": saved back where it was opened
        const std::string prizmo = styleSheet(ModelBody{16, "#FF0000", "#000000"},
                                              {{.background = "C:\\Képek\\ősz.png"}, {.width = -3}});
        QTest::addRow("Prizmo's form") << QByteArray::fromStdString(prizmo) << QByteArray::fromStdString(prizmo)
                                       << QByteArray("saved.css");
        QByteArray windows = QByteArray::fromStdString(prizmo).replace("\n\r", "\r\n\r");
        windows.replace("\xc3\xa9", "\xe9").replace("\xc5\x91", "\xf5");   // é and ő in Windows-1250
        QTest::addRow("Windows form and code page") << windows << QByteArray::fromStdString(prizmo) << QByteArray("saved.css");
        QByteArray edited = QByteArray::fromStdString(prizmo).replace("\n\r", "\r\n").mid(2) + "\r\n";
        QTest::addRow("edited, CR LF") << edited << QByteArray::fromStdString(prizmo) << QByteArray("saved.css");
        // The dialog shows the bad byte replaced and hands that text back: the name's own
        // bytes are replaced, after the question any existing file gets.
        QTest::addRow("a name that is no UTF-8, kept") << edited << QByteArray::fromStdString(prizmo) << QByteArray("k\xE9p.css");
        // A web page gives the stylesheet its rules would have saved.
        const BodyStyle body = recordOf(ModelBody{16, "#FF0000", "#000000"});
        std::vector<std::unique_ptr<DivStyle>> divs;
        divs.push_back(recordOf({.width = -3}));
        divs.push_back(recordOf({.parent = 0, .background = "/home/éva/ősz.png"}));
        QTest::addRow("a web page") << QByteArray::fromStdString(webPage("lap", &body, divs, "/srv/lap"))
                                    << QByteArray::fromStdString(styleSheet(ModelBody{16, "#FF0000", "#000000"},
                                                                            {{.width = -3}, {.background = "/home/éva/ősz.png"}}))
                                    << QByteArray("saved.css");
        // A page named as a stylesheet is offered another name, and replaced only when asked.
        QTest::addRow("a web page named .css") << QByteArray::fromStdString(webPage("lap", &body, divs, "/srv/lap"))
                                               << QByteArray::fromStdString(styleSheet(ModelBody{16, "#FF0000", "#000000"},
                                                                                       {{.width = -3}, {.background = "/home/éva/ősz.png"}}))
                                               << QByteArray("lap.css");
    }
    void anOpenedFileSavesBackInPrizmosForm()
    {
        QFETCH(QByteArray, opened);
        QFETCH(QByteArray, saved);
        QFETCH(QByteArray, name);
        FormDriver driver;
        const bool savedBack = name != "saved.css";
        const bool page = opened.startsWith("<!DOCTYPE");
        const std::string openedPath = QFile::encodeName(folder.path()).toStdString() + "/"
            + (savedBack ? name.toStdString() : std::string(page ? "opened.html" : "opened.css"));
        QVERIFY(writeBytes(openedPath, opened.toStdString()));
        open(driver, openedPath);
        // A web page is never offered to be written over with a stylesheet.
        const std::string offered = !page ? openedPath
            : savedBack ? path("lap-stíluslap.css")
                        : std::string(openedPath).replace(openedPath.size() - 5, 5, ".css");
        QCOMPARE(driver.form.SaveDialog1->FileName(), offered);
        driver.openSavePanel();
        const std::string shown = QString::fromStdString(openedPath).toStdString();
        driver.script.confirmFile(savedBack ? shown : path("saved.css"));
        if (savedBack)
            driver.script.answer(YesNoAnswer::Yes);
        driver.save();
        QCOMPARE(readBytes(savedBack ? openedPath : path("saved.css")).value_or("<unreadable>"), saved.toStdString());
        QVERIFY(driver.script.messages.empty());
        QCOMPARE(driver.script.questions.size(), std::size_t(savedBack ? 1 : 0));
        QVERIFY(!page || !savedBack || driver.script.questions[0].find("weboldal elvész") != std::string::npos);
        QVERIFY(!savedBack || page || !QFile::exists(QString::fromStdString(shown)));
        std::remove(openedPath.c_str());   // a name Qt's own removal cannot spell
    }
};

QTEST_MAIN(TestOpen)
#include "tst_open.moc"

#include "Files.h"
#include "FormDriver.h"
#include "StdStringOutput.h"

#include "ui/RulesPanel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

using Texts = std::vector<std::string>;

namespace {

// A div block at its defaults, after its "#div" + number line.
const std::string defaultDivRest =
    "\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;\n\rfont-size:14px;"
    "\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\r}";
const std::string defaultDiv0 = "\n\r#div0" + defaultDivRest;

// One div committed, so that the save panel can open.
void commitOneDiv(FormDriver& driver)
{
    driver.newDiv();
    driver.done();
}

} // namespace

class TestSave : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    std::string path(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }
    static std::string bytesOf(const std::string& path)
    {
        return readBytes(QString::fromStdString(path)).value_or("<unreadable>");
    }

    void saveTo(FormDriver& driver, const std::string& fileName)
    {
        driver.openSavePanel();
        driver.script.confirmFile(fileName);
        driver.save();
    }

private slots:
    // The walk the README takes, step by step as a person does it, and the file it shows.
    void aStylesheetFromStartToFile()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.script.confirmColor(0xE7F8FF);   // #FFF8E7: red is the lowest byte
        driver.pickBackground();
        driver.type(form.Edit3, "16");
        driver.script.confirmColor(0x333333);
        driver.pickFontColor();
        driver.done();

        driver.newDiv();
        driver.type(form.Edit1, "500");         // to be changed again below
        driver.type(form.Edit2, "400");
        driver.script.confirmColor(0xFFFFFF);
        driver.pickBackground();
        driver.script.confirmColor(0xFF0000);   // blue
        driver.pickFontColor();
        driver.pick(form.ComboBox1, 2);         // "balra"
        driver.done();

        driver.newDiv();
        driver.type(form.Edit1, "200");
        driver.type(form.Edit2, "100");
        driver.click(form.RadioButton2);        // "Kép"
        driver.script.confirmFile("/home/anna/képek/csík.png");
        driver.pickBackground();
        driver.type(form.Edit3, "12");
        driver.pick(form.ComboBox1, 3);         // "jobbra"
        driver.pick(form.ComboBox2, 1);         // "abszolult"
        driver.done();

        // Div 0 should be 600 wide: Ctrl+E, "div0" and Return open it again.
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        typeText(form.Rules->tree(), QStringLiteral("div0"));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Return);
        driver.type(form.Edit1, "600");
        driver.done();

        driver.openSavePanel();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();
        driver.script.confirmFile(path("oldal.css"));
        driver.save();

        QCOMPARE(bytesOf(path("oldal.css")),
                 std::string("\n\rbody\n\r{\n\rbackground:#FFF8E7;\n\rfont-size:16;"
                             "\n\rfont-color:#333333;\n\r}"
                             "\n\r#div0\n\r{\n\rwidth:600px;\n\rheight:400px;"
                             "\n\rbackground:#FFFFFF;\n\rfont-size:14px;\n\rfont-color:#0000FF;"
                             "\n\rfloat:left;\n\rposition:relative;\n\r}"
                             "\n\r#div1\n\r{\n\rwidth:200px;\n\rheight:100px;"
                             "\n\rbackground:/home/anna/képek/csík.png;\n\rfont-size:12px;"
                             "\n\rfont-color:;\n\rfloat:right;\n\rposition:absolute;\n\r}"));
        QCOMPARE(driver.script.messages, Texts());
        QCOMPARE(driver.script.unanswered, 0);
    }

    void theRoadFromTheMenuToTheFile()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.type(form.Edit3, "16");
        driver.done();
        form.body->setBackground("#FF0000");
        form.body->setFontColor("#000000");
        driver.newDiv();
        driver.openSavePanel();
        driver.type(form.Edit1, "600");

        // While the edit is open its typed values are in no record yet: the save waits.
        driver.save();
        QCOMPARE(driver.script.messages, Texts{"Előbb nyomd meg a KÉSZ gombot!"});
        QVERIFY(driver.script.dialogRuns.empty());
        QVERIFY(form.Button3->Enabled());
        QCOMPARE(form.Edit1->Text(), std::string("600"));
        QCOMPARE(form.divs[0]->getWidth(), 100);

        driver.done();
        driver.script.confirmFile(path("example.css"));
        driver.save();
        QCOMPARE(bytesOf(path("example.css")),
                 std::string("\n\rbody\n\r{\n\rbackground:#FF0000;\n\rfont-size:16;"
                             "\n\rfont-color:#000000;\n\r}"
                             "\n\r#div0\n\r{\n\rwidth:600px;\n\rheight:200px;\n\rbackground:;"
                             "\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"));
        QCOMPARE(driver.script.messages.size(), std::size_t{1});
        QCOMPARE(driver.script.dialogRuns, Texts{"save"});

        // A fresh stylesheet starts: nothing open, nothing listed, the panels as they were.
        QVERIFY(!form.body);
        QCOMPARE(form.lastDiv, -1);
        QVERIFY(form.divStorageExists());
        QVERIFY(!form.Button3->Enabled());
        QCOMPARE(form.ComboBox3->ItemCount(), 0);
        QCOMPARE(form.ComboBox4->ItemCount(), 0);
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(form.Panel2->isVisible());
        QVERIFY(form.Panel3->isVisible());
        QCOMPARE(form.Edit1->Text(), std::string("600"));
    }

    void whatASaveHolds()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "-10");
        driver.done();
        driver.newDiv();
        driver.pick(form.ComboBox1, 2);
        driver.pick(form.ComboBox2, 1);
        driver.done();
        saveTo(driver, path("two divs.css"));
        QCOMPARE(bytesOf(path("two divs.css")),
                 std::string("\n\r#div0\n\r{\n\rwidth:-10px;\n\rheight:200px;\n\rbackground:;"
                             "\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"
                             "\n\r#div1\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;"
                             "\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:left;"
                             "\n\rposition:absolute;\n\r}"));

        // No body and no live div: an empty file.
        saveTo(driver, path("empty.css"));
        QCOMPARE(bytesOf(path("empty.css")), std::string());

        // A body alone, once div storage exists.
        driver.bodySettings();
        driver.type(form.Edit3, "12");
        driver.done();
        saveTo(driver, path("body.css"));
        QCOMPARE(bytesOf(path("body.css")),
                 std::string("\n\rbody\n\r{\n\rbackground:;\n\rfont-size:12;\n\rfont-color:;\n\r}"));
        QVERIFY(driver.script.messages.empty());
    }

    void namesAndValuesAreWrittenUnchanged()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        commitOneDiv(driver);
        form.divs[0]->setBackground("/home/Éva/Képek/nyári háttér (1).png");
        form.divs[0]->setFontColor("#12AB03");
        const std::string name = path("Stíluslapok mappa/ünnepi lap");   // no extension added
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Stíluslapok mappa")));
        saveTo(driver, name);
        QCOMPARE(bytesOf(name),
                 std::string("\n\r#div0\n\r{\n\rwidth:100px;\n\rheight:200px;"
                             "\n\rbackground:/home/Éva/Képek/nyári háttér (1).png;"
                             "\n\rfont-size:14px;\n\rfont-color:#12AB03;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"));
    }

    void anExistingFileIsReplaced()
    {
        FormDriver driver;
        const std::string name = path("replaced.css");
        {
            QFile old(QString::fromStdString(name));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("a much longer file than the stylesheet that replaces it ...................");
        }
        commitOneDiv(driver);
        saveTo(driver, name);
        QCOMPARE(bytesOf(name), defaultDiv0);
    }

    void aFailedSaveKeepsEverything_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("reason");
        QTest::addRow("folder that does not exist") << "/nonexistent-prizmo-folder/lap.css" << ENOENT;
        QTest::addRow("full disk") << "/dev/full" << ENOSPC;
        QTest::addRow("a folder") << "/" << EISDIR;
        QTest::addRow("pipe with no reader") << "fifo" << ENXIO;
    }
    void aFailedSaveKeepsEverything()
    {
        QFETCH(QString, fileName);
        QFETCH(int, reason);
        if (fileName == QLatin1String("/dev/full") && !QFile::exists(fileName))
            QSKIP("no /dev/full on this machine");
        if (fileName == QLatin1String("fifo")) {
            fileName = QString::fromStdString(path("fifo"));
            QFile::remove(fileName);
            QVERIFY(::mkfifo(QFile::encodeName(fileName).constData(), 0644) == 0);
        }
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.done();
        commitOneDiv(driver);
        commitOneDiv(driver);
        saveTo(driver, fileName.toStdString());

        QCOMPARE(driver.script.messages, Texts{"Memória hiba miatt nem ment"});
        QCOMPARE(driver.script.details, Texts{std::strerror(reason)});
        QVERIFY(form.body);
        QCOMPARE(form.lastDiv, 1);
        QVERIFY(form.divs[0] && form.divs[1]);
        QVERIFY(!form.outFile);
        QCOMPARE(driver.entries(form.ComboBox3), (Texts{"div0", "div1"}));

        // The person saves again elsewhere and gets everything.
        saveTo(driver, path("second try.css"));
        QCOMPARE(bytesOf(path("second try.css")),
                 "\n\rbody\n\r{\n\rbackground:;\n\rfont-size:14;\n\rfont-color:;\n\r}" + defaultDiv0
                     + "\n\r#div1" + defaultDivRest);
        QCOMPARE(driver.script.messages.size(), std::size_t{1});
        QCOMPARE(form.lastDiv, -1);
    }

    // A save of nothing over a file that holds something asks first, "Nem" by default.
    void anEmptySaveAsksBeforeItWipesAFile_data()
    {
        QTest::addColumn<QString>("over");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("wiped");
        QTest::addRow("a full file, Nem") << "full" << true << false;
        QTest::addRow("a full file, Igen") << "full" << true << true;
        QTest::addRow("an empty file") << "empty" << false << true;
        QTest::addRow("a new file") << "new" << false << true;
    }
    void anEmptySaveAsksBeforeItWipesAFile()
    {
        QFETCH(QString, over);
        QFETCH(bool, asked);
        QFETCH(bool, wiped);
        FormDriver driver;
        const QString fileName = QStringLiteral("wiped %1.css").arg(QTest::currentDataTag());
        const std::string name = path(qPrintable(fileName));
        commitOneDiv(driver);
        saveTo(driver, name);
        if (over == QLatin1String("empty"))
            QVERIFY(QFile(QString::fromStdString(name)).resize(0));
        if (over == QLatin1String("new"))
            QVERIFY(QFile::remove(QString::fromStdString(name)));
        // The panel's "Mentés" again, with nothing to save.
        driver.script.confirmFile(name);
        if (asked)
            driver.script.answer(wiped ? YesNoAnswer::Yes : YesNoAnswer::No);
        driver.save();
        QCOMPARE(driver.script.questions,
                 asked ? Texts{"Ez üres stíluslap: a(z) " + fileName.toStdString() + " tartalma elveszne. Felülírod?"}
                       : Texts{});
        QCOMPARE(bytesOf(name), wiped ? std::string() : defaultDiv0);
        QCOMPARE(driver.script.unanswered, 0);
    }

    void aCancelledSaveWritesNothing()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        commitOneDiv(driver);
        saveTo(driver, path("first.css"));
        QFile::remove(QString::fromStdString(path("first.css")));

        commitOneDiv(driver);
        driver.openSavePanel();
        driver.script.cancel();
        driver.save();
        QVERIFY(!QFile::exists(QString::fromStdString(path("first.css"))));   // not written again
        QCOMPARE(form.lastDiv, 0);
        QVERIFY(form.divs[0]);
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QVERIFY(driver.script.messages.empty());
    }

    void afterASaveTheNextStylesheetStartsFromDivZero()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.done();
        for (int i = 0; i < 3; ++i)
            commitOneDiv(driver);
        saveTo(driver, path("three.css"));
        const std::string& div = defaultDivRest;
        QCOMPARE(bytesOf(path("three.css")),
                 "\n\rbody\n\r{\n\rbackground:;\n\rfont-size:14;\n\rfont-color:;\n\r}"
                 "\n\r#div0" + div + "\n\r#div1" + div + "\n\r#div2" + div);

        driver.newDiv();
        QVERIFY(driver.script.messages.empty());
        QCOMPARE(form.lastDiv, 0);
        QCOMPARE(form.divs.size(), std::size_t{1});
        driver.done();
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QCOMPARE(driver.entries(form.ComboBox4), Texts{"div0"});
        driver.bodySettings();
        QVERIFY(form.body);
        QVERIFY(driver.script.messages.empty());
    }

    void theSavePanelOpensOnlyOnceADivExists()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.openSavePanel();
        QVERIFY(!form.Panel3->isVisible());
        driver.bodySettings();
        driver.done();
        driver.openSavePanel();
        QVERIFY(!form.Panel3->isVisible());
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(driver.script.messages.empty());

        commitOneDiv(driver);
        driver.openSavePanel();
        QVERIFY(form.Panel3->isVisible());
        QVERIFY(!form.Panel1->isVisible());
        QVERIFY(!form.Panel2->isVisible());
    }

    void theSavePanelLeavesAnOpenEditOnScreen()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.openSavePanel();
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(form.Panel2->isVisible());
        QVERIFY(form.Panel3->isVisible());
        QVERIFY(form.Button3->Enabled());
        driver.type(form.Edit1, "55");
        driver.done();
        QCOMPARE(form.divs[0]->getWidth(), 55);
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QVERIFY(!form.Button3->Enabled());
    }

    void okRefusesTheSameDivTwice()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        commitOneDiv(driver);
        commitOneDiv(driver);
        driver.openSavePanel();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 1);
        driver.ok();
        form.ComboBox3->SetItemIndex(-1);
        form.ComboBox4->SetItemIndex(-1);
        driver.ok();
        QCOMPARE(driver.script.messages, (Texts{"Kérlek Ne Szopass!", "Kérlek Ne Szopass!"}));
        QCOMPARE(form.divs[0]->getParent(), -1);
        QCOMPARE(form.divs[1]->getParent(), -1);
    }

    void okRecordsTheParentAndTheFileDoesNotCarryIt()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        commitOneDiv(driver);
        commitOneDiv(driver);
        driver.openSavePanel();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();
        QCOMPARE(form.divs[1]->getParent(), 0);
        QCOMPARE(form.divs[0]->getParent(), -1);

        // Nothing chosen as the parent: the div belongs to no other.
        driver.typeOver(form.ComboBox4, "valami");
        driver.ok();
        QCOMPARE(form.divs[1]->getParent(), -1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();

        // Nothing chosen as the child: nothing is stored.
        driver.typeOver(form.ComboBox3, "div7");
        driver.pick(form.ComboBox4, 1);
        driver.ok();
        QCOMPARE(form.divs[0]->getParent(), -1);
        QCOMPARE(form.divs[1]->getParent(), 0);
        QVERIFY(driver.script.messages.empty());

        driver.script.confirmFile(path("nested.css"));
        driver.save();
        const std::string& div = defaultDivRest;
        QCOMPARE(bytesOf(path("nested.css")), "\n\r#div0" + div + "\n\r#div1" + div);
    }
};

QTEST_MAIN(TestSave)
#include "tst_save.moc"

#include "Files.h"
#include "FormDriver.h"
#include "StdStringOutput.h"

#include <QTemporaryDir>
#include <QTest>

using Texts = std::vector<std::string>;

namespace {

// Colour values as the dialogs give them: red in the lowest byte.
constexpr TColor pureBlue = 0xFF0000;
constexpr TColor mixed = 0x03AB12;   // red 0x12, green 0xAB, blue 0x03

} // namespace

class TestPickers : public QObject
{
    Q_OBJECT

private slots:
    void colourText_data()
    {
        QTest::addColumn<uint>("color");
        QTest::addColumn<QString>("text");
        QTest::addRow("black") << 0x000000u << "#000000";
        QTest::addRow("pure red") << 0x0000FFu << "#FF0000";
        QTest::addRow("pure blue") << 0xFF0000u << "#0000FF";
        QTest::addRow("mixed") << 0x03AB12u << "#12AB03";
        QTest::addRow("highest byte ignored") << 0xFF03AB12u << "#12AB03";
    }
    void colourText()
    {
        QFETCH(uint, color);
        QFETCH(QString, text);
        FormDriver driver;
        driver.newDiv();
        driver.script.confirmColor(color);
        driver.pickBackground();
        QCOMPARE(QString::fromStdString(driver.form.divs[0]->getBackground()), text);
    }

    void divBackgroundAndFontColour()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.script.confirmColor(pureBlue);
        driver.pickBackground();
        driver.script.confirmColor(mixed);
        driver.pickFontColor();
        QCOMPARE(form.divs[0]->getBackground(), std::string("#0000FF"));
        QCOMPARE(form.divs[0]->getFontColor(), std::string("#12AB03"));

        driver.click(form.RadioButton2);
        QVERIFY(!form.RadioButton1->Checked());
        driver.script.confirmFile("/home/éva/Képek/nyári háttér.png");
        driver.pickBackground();
        QCOMPARE(form.divs[0]->getBackground(), std::string("/home/éva/Képek/nyári háttér.png"));
        QCOMPARE(driver.script.dialogRuns, (Texts{"colour", "colour", "picture"}));
        QCOMPARE(driver.script.unanswered, 0);
    }

    void aCancelledDialogChangesNothing()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.script.cancel();
        driver.pickBackground();
        driver.script.cancel();
        driver.pickFontColor();
        driver.click(form.RadioButton2);
        driver.script.cancel();
        driver.pickBackground();
        QCOMPARE(form.divs[0]->getBackground(), std::string());
        QCOMPARE(form.divs[0]->getFontColor(), std::string());

        // Confirmed, then cancelled: the confirmed value stays.
        driver.script.confirmFile("/tmp/a.png");
        driver.pickBackground();
        driver.script.cancel();
        driver.pickBackground();
        driver.script.confirmColor(mixed);
        driver.pickFontColor();
        driver.script.cancel();
        driver.pickFontColor();
        QCOMPARE(form.divs[0]->getBackground(), std::string("/tmp/a.png"));
        QCOMPARE(form.divs[0]->getFontColor(), std::string("#12AB03"));
        QCOMPARE(driver.script.dialogRuns.size(), std::size_t{7});
        QCOMPARE(driver.script.pendingAnswers(), std::size_t{0});
    }

    void theButtonsFollowTheMode()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        // After the div's "KÉSZ", while Panel2 shows, the div can still be coloured.
        driver.script.confirmColor(mixed);
        driver.pickFontColor();
        QCOMPARE(form.divs[0]->getFontColor(), std::string("#12AB03"));

        // The body edit: the body is coloured, the div is left alone.
        driver.bodySettings();
        driver.script.confirmColor(pureBlue);
        driver.pickBackground();
        driver.script.confirmColor(0x0000FF);
        driver.pickFontColor();
        QCOMPARE(form.body->getBackground(), std::string("#0000FF"));
        QCOMPARE(form.body->getFontColor(), std::string("#FF0000"));
        QCOMPARE(form.divs[0]->getBackground(), std::string());
        QCOMPARE(form.divs[0]->getFontColor(), std::string("#12AB03"));

        // Once the body is committed and Panel2 hidden, there is nothing to colour.
        driver.done();
        const std::size_t runs = driver.script.dialogRuns.size();
        driver.pickBackground();
        driver.pickFontColor();
        QCOMPARE(driver.script.dialogRuns.size(), runs);
        QCOMPARE(driver.script.unanswered, 0);
    }

    // A line break would break the stylesheet's lines; any other character is kept.
    void aPictureNameMustFitOnALine_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("refused");
        QTest::addRow("line feed") << "/home/éva/két\nsor.png" << true;
        QTest::addRow("carriage return") << "/home/éva/két\rsor.png" << true;
        QTest::addRow("blanks, accents, semicolon") << "/home/éva/nyár; tél (1).png" << false;
    }
    void aPictureNameMustFitOnALine()
    {
        QFETCH(QString, picture);
        QFETCH(bool, refused);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.click(form.RadioButton2);
        driver.script.confirmFile("/home/éva/első.png");
        driver.pickBackground();
        driver.script.confirmFile(picture.toStdString());
        driver.pickBackground();
        QCOMPARE(driver.script.messages,
                 refused ? Texts{"Ez a fájlnév nem kerülhet a stíluslapba"} : Texts{});
        QCOMPARE(form.divs[0]->getBackground(),
                 refused ? std::string("/home/éva/első.png") : picture.toStdString());
    }

    void noDialogWithoutARecord()
    {
        QTemporaryDir folder;
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.openSavePanel();   // the open edit keeps its panels
        driver.done();
        driver.script.confirmFile(folder.filePath(QStringLiteral("a.css")).toStdString());
        driver.save();
        QVERIFY(form.Panel2->isVisible());
        QCOMPARE(form.lastDiv, -1);

        driver.pickBackground();
        driver.pickFontColor();
        QCOMPARE(driver.script.dialogRuns, Texts{"save"});
        QCOMPARE(driver.script.unanswered, 0);
    }

    void eachDialogKeepsItsOwnMemory()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.script.confirmColor(mixed);
        driver.pickBackground();
        QCOMPARE(form.ColorDialog1->Color(), mixed);
        QCOMPARE(form.ColorDialog2->Color(), TColor{0});
        driver.done();

        driver.newDiv();   // the same dialogs serve the divs
        driver.script.confirmColor(pureBlue);
        driver.pickFontColor();
        driver.click(form.RadioButton2);
        driver.script.confirmFile("/tmp/b.png");
        driver.pickBackground();
        QCOMPARE(form.ColorDialog1->Color(), mixed);
        QCOMPARE(form.ColorDialog2->Color(), pureBlue);
        QCOMPARE(form.OpenPictureDialog1->FileName(), std::string("/tmp/b.png"));
        QCOMPARE(form.SaveDialog1->FileName(), std::string());
    }

    void savedStylesheetCarriesThePicks()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("picked.css"));
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        driver.bodySettings();
        driver.script.confirmColor(0x0000FF);
        driver.pickBackground();
        driver.script.confirmColor(0x000000);
        driver.pickFontColor();
        driver.type(form.Edit3, "16");
        driver.done();
        driver.newDiv();
        driver.click(form.RadioButton2);
        driver.script.confirmFile("/home/éva/hát tér.jpg");
        driver.pickBackground();
        driver.script.confirmColor(mixed);
        driver.pickFontColor();
        driver.done();
        driver.openSavePanel();
        driver.script.confirmFile(path.toStdString());
        driver.save();

        QCOMPARE(readBytes(path).value(),
                 std::string("\n\rbody\n\r{\n\rbackground:#FF0000;\n\rfont-size:16;"
                             "\n\rfont-color:#000000;\n\r}"
                             "\n\r#div0\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;"
                             "\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"
                             "\n\r#div1\n\r{\n\rwidth:100px;\n\rheight:200px;"
                             "\n\rbackground:/home/éva/hát tér.jpg;\n\rfont-size:14px;"
                             "\n\rfont-color:#12AB03;\n\rfloat:none;\n\rposition:relative;\n\r}"));
        QCOMPARE(driver.script.unanswered, 0);
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"

#include "FormDriver.h"
#include "FormWithoutMemory.h"
#include "StdStringOutput.h"

#include "platform/Application.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <new>

using Texts = std::vector<std::string>;

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void newDivOpensBothPanelsWithTheDefaults()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        QVERIFY(!form.Button3->Enabled());

        driver.newDiv();
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(form.Panel2->isVisible());
        QVERIFY(!form.Panel3->isVisible());
        QCOMPARE(form.Edit1->Text(), std::string("100"));
        QCOMPARE(form.Edit2->Text(), std::string("200"));
        QCOMPARE(form.Edit3->Text(), std::string("14"));
        QCOMPARE(form.ComboBox1->currentText(), QStringLiteral("semmilyen"));
        QCOMPARE(form.ComboBox2->currentText(), QStringLiteral("relatív"));
        QVERIFY(form.Button3->Enabled());
        QCOMPARE(form.lastDiv, 0);
        QCOMPARE(form.divs.size(), std::size_t{1});
        QCOMPARE(form.divs[0]->getWidth(), 100);
        QVERIFY(driver.script.messages.empty());
    }

    // In an edit, Ctrl+V is the edit's own; elsewhere it pastes rules as new divs.
    void ctrlVIsTheEditsOwnInAnEdit()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        QGuiApplication::clipboard()->setText(QStringLiteral("42"));
        form.activateWindow();
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.Edit1->Text(), std::string("42"));
        driver.done();
        QGuiApplication::clipboard()->setText(QStringLiteral("#x { width: 7px }"));
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.lastDiv, 1);
        QCOMPARE(form.divs[0]->getWidth(), 42);
        QCOMPARE(form.divs[1]->getWidth(), 7);
        QVERIFY(driver.script.messages.empty());
    }

    void newDivWhileADivIsOpenOnlyRepeatsItsMessage()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "300");
        driver.newDiv();
        driver.newDiv();
        QCOMPARE(driver.script.messages,
                 (Texts{"Előbb ments az előző dived beállításai!",
                        "Előbb ments az előző dived beállításai!"}));
        QCOMPARE(form.lastDiv, 0);
        QCOMPARE(form.divs.size(), std::size_t{1});
        QCOMPARE(form.Edit1->Text(), std::string("300"));
        QVERIFY(form.Button3->Enabled());
    }

    void commitsAreListedInNumberOrder()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QCOMPARE(driver.entries(form.ComboBox4), Texts{"div0"});
        QCOMPARE(form.ComboBox3->ItemIndex(), 0);
        QCOMPARE(form.ComboBox4->ItemIndex(), 0);
        QVERIFY(!form.Button3->Enabled());

        for (int i = 1; i < 4; ++i) {
            driver.newDiv();
            driver.done();
        }
        const Texts expected{"div0", "div1", "div2", "div3"};
        QCOMPARE(driver.entries(form.ComboBox3), expected);
        QCOMPARE(driver.entries(form.ComboBox4), expected);
        QCOMPARE(form.ComboBox3->ItemIndex(), 3);
        QCOMPARE(form.ComboBox4->ItemIndex(), 3);
        QCOMPARE(form.lastDiv, 3);
        QCOMPARE(form.divs.size(), std::size_t{4});
        QVERIFY(driver.script.messages.empty());
    }

    void typedValuesAndPickedEntriesAreCommitted()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.newDiv();   // refused: must not disturb the open div
        driver.type(form.Edit1, "300");
        driver.type(form.Edit2, "-5");
        driver.type(form.Edit3, " 0");
        driver.pick(form.ComboBox1, 3);
        driver.pick(form.ComboBox2, 2);
        driver.done();

        const DivStyle& div = *form.divs[0];
        QCOMPARE(div.getWidth(), 300);
        QCOMPARE(div.getHeight(), -5);
        QCOMPARE(div.getFontSize(), 0);
        QCOMPARE(div.getFloat(), std::string("right"));
        QCOMPARE(div.getPosition(), std::string("inherit"));
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        // "KÉSZ" hides nothing: the committed values stay on screen.
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(form.Panel2->isVisible());
        QCOMPARE(form.Edit1->Text(), std::string("300"));

        // The next div starts again from the defaults.
        driver.newDiv();
        QCOMPARE(form.Edit1->Text(), std::string("100"));
        QCOMPARE(form.ComboBox1->ItemIndex(), 0);
        QCOMPARE(form.ComboBox2->ItemIndex(), 0);
    }

    void textThatIsNoNumberStopsTheCommitAtThatField_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("shown");   // in the report, after the field's label
        QTest::addRow("letters") << "abc" << "abc";
        QTest::addRow("empty") << "" << "";
        QTest::addRow("past 32 bits") << "2147483648" << "2147483648";
        QTest::addRow("with a unit") << "80px" << "80px";
        QTest::addRow("decimal comma") << "1,5" << "1,5";
        QTest::addRow("40 characters") << QString(40, QChar(0x151)) << QString(40, QChar(0x151));
        QTest::addRow("long") << QString(300, QLatin1Char('x')) << QString(40, QLatin1Char('x')) + QChar(0x2026);
    }
    void textThatIsNoNumberStopsTheCommitAtThatField()
    {
        QFETCH(QString, height);
        QFETCH(QString, shown);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "250");
        driver.type(form.Edit2, height);
        driver.type(form.Edit3, "30");
        driver.pick(form.ComboBox1, 2);
        driver.pick(form.ComboBox2, 1);
        driver.done();

        QCOMPARE(driver.script.exceptions, Texts{"Magasság: '" + shown.toStdString() + "' nem érvényes egész szám"});
        const DivStyle& div = *form.divs[0];
        QCOMPARE(div.getWidth(), 250);
        QCOMPARE(div.getHeight(), 200);
        QCOMPARE(div.getFontSize(), 14);
        QCOMPARE(div.getFloat(), std::string("none"));
        QCOMPARE(div.getPosition(), std::string("relative"));
        QCOMPARE(form.ComboBox3->ItemCount(), 0);
        QCOMPARE(form.ComboBox4->ItemCount(), 0);
        QVERIFY(form.Button3->Enabled());

        // Corrected, the same "KÉSZ" commits everything.
        driver.type(form.Edit2, "80");
        driver.done();
        QCOMPARE(driver.script.exceptions.size(), std::size_t{1});
        QCOMPARE(div.getHeight(), 80);
        QCOMPARE(div.getFontSize(), 30);
        QCOMPARE(div.getFloat(), std::string("left"));
        QCOMPARE(div.getPosition(), std::string("absolute"));
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QVERIFY(!form.Button3->Enabled());
    }

    void typedOverPositionKeepsTheKeyword()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.typeOver(form.ComboBox2, "fixed");
        QCOMPARE(form.ComboBox2->ItemIndex(), -1);
        driver.done();
        QCOMPARE(form.divs[0]->getPosition(), std::string("relative"));
        QCOMPARE(form.ComboBox2->ItemCount(), 3);
        QVERIFY(!form.Button3->Enabled());
    }

    void bodyCanBeSetOnce()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(!form.Panel2->isVisible());
        QCOMPARE(form.Edit3->Text(), std::string("14"));
        QVERIFY(form.Button3->Enabled());
        QVERIFY(form.body);

        driver.bodySettings();   // while its edit is open
        driver.type(form.Edit3, "16");
        driver.done();
        QCOMPARE(form.body->getFontSize(), 16);
        QVERIFY(!form.Button3->Enabled());
        driver.bodySettings();   // after its commit
        QCOMPARE(driver.script.messages,
                 (Texts{"Már beállítottad a body-t", "Már beállítottad a body-t"}));
        QCOMPARE(form.body->getFontSize(), 16);
        QVERIFY(!form.Button3->Enabled());
        QCOMPARE(form.Edit3->Text(), std::string("16"));
    }

    void bodySettingsIsRefusedWhileADivIsOpen()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.bodySettings();
        QCOMPARE(driver.script.messages, Texts{"Már beállítottad a body-t"});
        QVERIFY(!form.body);
        QVERIFY(form.Panel2->isVisible());
        QCOMPARE(form.Edit3->Text(), std::string("14"));
    }

    void bodyAfterACommittedDivLeavesTheDivAlone()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "120");
        driver.done();
        driver.bodySettings();
        QVERIFY(form.Panel1->isVisible());
        QVERIFY(!form.Panel2->isVisible());
        QCOMPARE(form.Edit3->Text(), std::string("14"));
        driver.type(form.Edit3, "18");
        driver.done();

        QCOMPARE(form.body->getFontSize(), 18);
        QCOMPARE(form.divs[0]->getFontSize(), 14);
        QCOMPARE(form.divs[0]->getWidth(), 120);
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QCOMPARE(driver.entries(form.ComboBox4), Texts{"div0"});
        QVERIFY(!form.Button3->Enabled());
    }

    // A refused "Új Div" changes nothing, so an open body edit stays a body edit.
    void refusedNewDivDuringABodyEditBeforeAnyDiv()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.newDiv();
        QCOMPARE(driver.script.messages, Texts{"Előbb ments az előző dived beállításai!"});
        QVERIFY(!form.Panel2->isVisible());
        QVERIFY(!form.divStorageExists());
        QCOMPARE(form.lastDiv, -1);

        driver.type(form.Edit3, "20");
        driver.done();
        QCOMPARE(form.body->getFontSize(), 20);
        QVERIFY(!form.Button3->Enabled());

        driver.newDiv();
        QCOMPARE(form.lastDiv, 0);
        QVERIFY(form.Panel2->isVisible());
        QCOMPARE(driver.script.messages.size(), std::size_t{1});
    }

    void refusedNewDivDuringABodyEditAfterADiv()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        driver.bodySettings();
        driver.type(form.Edit3, "20");
        driver.newDiv();
        QVERIFY(!form.Panel2->isVisible());
        driver.done();

        QCOMPARE(form.body->getFontSize(), 20);
        QCOMPARE(form.divs[0]->getFontSize(), 14);
        QCOMPARE(form.lastDiv, 0);
        QCOMPARE(driver.entries(form.ComboBox3), Texts{"div0"});
        QCOMPARE(driver.entries(form.ComboBox4), Texts{"div0"});
        QVERIFY(!form.Button3->Enabled());
    }

    // The storage's growth failing ends the program; the record's is reported like any
    // other lack of memory. Either way the model stays whole: no empty slot counts as a div.
    void failedGrowthLeavesTheModelWhole_data()
    {
        QTest::addColumn<bool>("storageFails");
        QTest::addColumn<Texts>("messages");
        QTest::addColumn<Texts>("exceptions");
        QTest::addRow("storage") << true << Texts{"Súlyos memóriahiba"} << Texts{};
        QTest::addRow("record") << false << Texts{} << Texts{"Nincs elég memória"};
    }
    void failedGrowthLeavesTheModelWhole()
    {
        QFETCH(bool, storageFails);
        QFETCH(Texts, messages);
        QFETCH(Texts, exceptions);
        BasicFormDriver<FormWithoutMemory> driver;
        FormWithoutMemory& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "111");
        driver.done();

        (storageFails ? form.failResize : form.failRecord) = true;
        driver.newDiv();
        QCOMPARE(driver.script.messages, messages);
        QCOMPARE(driver.script.exceptions, exceptions);
        if (storageFails)
            QVERIFY(Application->Terminated());
        QCOMPARE(form.lastDiv, 0);
        QCOMPARE(form.divs.size(), std::size_t{1});
        QCOMPARE(form.divs[0]->getWidth(), 111);
        QVERIFY(!form.Button3->Enabled());
        QCOMPARE(form.Edit1->Text(), std::string("111"));

        form.failResize = form.failRecord = false;
        driver.newDiv();
        QCOMPARE(form.lastDiv, 1);
        QVERIFY(form.divs[1]);
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"

#include "FormDriver.h"
#include "StdStringOutput.h"

#include "platform/Application.h"

#include <QLayout>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <QTimer>

namespace {

QStringList menuCaptions(QMenu* menu)
{
    QStringList captions;
    for (QAction* action : menu->actions())
        captions << action->text() + QLatin1Char('=') + action->objectName();
    return captions;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void windowAsDesigned()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        QCOMPARE(form.windowHandle()->title(), QStringLiteral("Prizmo"));
        QCOMPARE(form.ClientArea()->size(), QSize(676, 577));
        QCOMPARE(form.pos(), QPoint(0, 0));
        QCOMPARE(form.ClientArea()->palette().color(QPalette::Window), QColor(0, 128, 0));
        QVERIFY(form.ClientArea()->autoFillBackground());
        QCOMPARE(form.font().pixelSize(), 11);
        QCOMPARE(form.Button3->font().pixelSize(), 21);
        QVERIFY(form.Button3->font().bold());
        QCOMPARE(form.Label7->font().pixelSize(), 16);
    }

    void startsWithOnlyTheGreenAreaAndTheMenu()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        QVERIFY(!form.Panel1->Visible());
        QVERIFY(!form.Panel2->Visible());
        QVERIFY(!form.Panel3->Visible());
        QVERIFY(!form.Button3->Enabled());
        QVERIFY(form.RadioButton1->Checked());
        QVERIFY(!form.RadioButton2->Checked());
        QCOMPARE(form.Edit1->Text(), std::string("Edit1"));
        QCOMPARE(form.Edit2->Text(), std::string("Edit2"));
        QCOMPARE(form.Edit3->Text(), std::string("Edit3"));
        QCOMPARE(driver.entries(form.ComboBox1),
                 (std::vector<std::string>{"semmilyen", "örökölt", "balra", "jobbra"}));
        QCOMPARE(driver.entries(form.ComboBox2),
                 (std::vector<std::string>{"relatív", "abszolult", "örökölt"}));
        QCOMPARE(form.ComboBox1->ItemIndex(), 0);
        QCOMPARE(form.ComboBox2->ItemIndex(), 0);
        QVERIFY(!form.ComboBox1->isEditable());
        QVERIFY(form.ComboBox2->isEditable());
        QCOMPARE(form.ComboBox3->ItemCount(), 0);
        QCOMPARE(form.ComboBox4->ItemCount(), 0);
        QCOMPARE(form.ComboBox3->ItemIndex(), -1);
        QCOMPARE(form.ComboBox4->ItemIndex(), -1);

        QCOMPARE(form.lastDiv, -1);
        QVERIFY(!form.body);
        QVERIFY(!form.outFile);
        QVERIFY(!form.divStorageExists());
    }

    void captionsAndPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addRow("Label1") << "Label1" << "Panel1" << QRect(240, 38, 50, 13) << "Betüméret";
        QTest::addRow("Edit3") << "Edit3" << "Panel1" << QRect(296, 38, 33, 21) << "Edit3";
        QTest::addRow("Label2") << "Label2" << "Panel1" << QRect(360, 38, 40, 13) << "Betüszín";
        QTest::addRow("Button1") << "Button1" << "Panel1" << QRect(406, 33, 25, 25) << "...";
        QTest::addRow("RadioGroup1") << "RadioGroup1" << "Panel1" << QRect(16, 17, 145, 49) << "Háttér";
        QTest::addRow("RadioButton1") << "RadioButton1" << "Panel1" << QRect(32, 40, 41, 17) << "Szín";
        QTest::addRow("RadioButton2") << "RadioButton2" << "Panel1" << QRect(104, 40, 41, 17) << "Kép";
        QTest::addRow("Button2") << "Button2" << "Panel1" << QRect(167, 36, 26, 25) << "...";
        QTest::addRow("Button3") << "Button3" << "Panel1" << QRect(525, 16, 126, 50) << "KÉSZ";
        QTest::addRow("Label3") << "Label3" << "Panel2" << QRect(16, 40, 47, 13) << "Szélesség";
        QTest::addRow("Edit1") << "Edit1" << "Panel2" << QRect(69, 40, 76, 21) << "Edit1";
        QTest::addRow("Label4") << "Label4" << "Panel2" << QRect(164, 40, 48, 13) << "Magasság";
        QTest::addRow("Edit2") << "Edit2" << "Panel2" << QRect(218, 40, 81, 21) << "Edit2";
        QTest::addRow("Label5") << "Label5" << "Panel2" << QRect(313, 40, 38, 13) << "Igazítás";
        QTest::addRow("ComboBox1") << "ComboBox1" << "Panel2" << QRect(357, 40, 91, 21) << "semmilyen";
        QTest::addRow("Label6") << "Label6" << "Panel2" << QRect(472, 40, 32, 13) << "Pozíció";
        QTest::addRow("ComboBox2") << "ComboBox2" << "Panel2" << QRect(509, 40, 89, 21) << "relatív";
        QTest::addRow("Label7") << "Label7" << "Panel3" << QRect(16, 6, 357, 18)
                                << "Kérlek add meg, melyik div, melyik divhez tartozzon!";
        QTest::addRow("ComboBox3") << "ComboBox3" << "Panel3" << QRect(88, 56, 145, 21) << "";
        QTest::addRow("ComboBox4") << "ComboBox4" << "Panel3" << QRect(303, 56, 145, 21) << "";
        QTest::addRow("Button4") << "Button4" << "Panel3" << QRect(496, 56, 81, 17) << "Ok";
        QTest::addRow("Button5") << "Button5" << "Panel3" << QRect(224, 96, 75, 25) << "Mentés";
    }
    void captionsAndPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, panel);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        FormDriver driver;
        auto* widget = driver.form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), panel);
        if (auto* label = qobject_cast<QLabel*>(widget); label && !Application->DesignedFaceAdded()) {
            // In a stand-in face, labels size themselves to their text.
            QCOMPARE(label->pos(), geometry.topLeft());
            QCOMPARE(label->size(), label->sizeHint());
        } else {
            QCOMPARE(widget->geometry(), geometry);
        }
        QVERIFY(!widget->accessibleName().isEmpty());
        QString text = widget->property("text").toString();
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            text = frame->title();
        if (auto* list = qobject_cast<QComboBox*>(widget))
            text = list->currentText();
        if (qobject_cast<QLabel*>(widget))
            text.remove(QLatin1Char('&'));   // the access key's mark: its letter is underlined
        QCOMPARE(text, caption);
    }

    void panelsStackFromTheTopAndHiddenOnesTakeNoRoom()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        form.Panel1->Show();
        form.Panel3->Show();
        form.ClientArea()->layout()->activate();
        QCOMPARE(form.Panel1->geometry(), QRect(0, 0, 676, 89));
        QCOMPARE(form.Panel3->geometry(), QRect(0, 89, 676, 128));
        form.Panel2->Show();
        form.ClientArea()->layout()->activate();
        QCOMPARE(form.Panel2->geometry(), QRect(0, 89, 676, 88));
        QCOMPARE(form.Panel3->geometry(), QRect(0, 177, 676, 128));
    }

    void menuAsDesigned()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        QStringList top;
        for (QAction* action : form.MainMenu1->actions())
            top << action->text() + QLatin1Char('=') + action->objectName();
        QCOMPARE(top, (QStringList{"&Fájl=Fjl1", "&CSS=CSS1", "&Szerkesztés=Szerkeszts1", "&Nézet=Nzet1"}));
        QCOMPARE(menuCaptions(form.Fjl1->menu<QMenu*>()),
                 (QStringList{"&Megnyitás=Megynits1", "M&entés=Ments1", "&Kilépés=Kilps1"}));
        QCOMPARE(menuCaptions(form.CSS1->menu<QMenu*>()),
                 (QStringList{"&Új Div=jDiv1", "&Body beállítása=Bodybelltsa1"}));
        QCOMPARE(menuCaptions(form.Szerkeszts1->menu<QMenu*>()),
                 (QStringList{"&Visszavonás=Visszavons1", "&Mégis=Mgis1", "=", "&Div törlése=Divtrlse1", "&Másolás=Msols1",
                              "&Beillesztés=Beilleszts1", "Div &kettőzése=Divkettzse1"}));
        QCOMPARE(menuCaptions(form.Nzet1->menu<QMenu*>()), QStringList({"&Szabályok=Szablyok1", "&Előnézet=Elnzet1", "&Körvonalak=Krvonalak1", "&Tulajdonságok=Tulajdonsgok1", "E&lőnézet szélessége=Elnzetszlessge1"}));
        QCOMPARE(menuCaptions(form.Elnzetszlessge1->menu<QMenu*>()),
                 QStringList({"&Teljes=Teljes1", "&1280 px=N1280px1", "&768 px=N768px1", "&375 px=N375px1"}));
    }

    // Left to right and top to bottom, panel by panel, with "KÉSZ" after every field it commits.
    void tabOrderFollowsTheScreen()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        QList<QWidget*> expected;
        for (TPanel* panel : {form.Panel1, form.Panel2, form.Panel3}) {
            QList<QWidget*> controls;
            for (QWidget* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (control->focusPolicy() & Qt::TabFocus && control != form.Button3)
                    controls.append(control);
            const auto place = [](const QWidget* control) { return std::pair(control->geometry().center().y() / 30, control->x()); };
            std::sort(controls.begin(), controls.end(), [&place](auto* a, auto* b) { return place(a) < place(b); });
            expected += controls;
            if (panel == form.Panel2)
                expected.append(form.Button3);
        }
        QCOMPARE(expected.size(), 15);
        for (qsizetype i = 0; i + 1 < expected.size(); ++i) {
            QWidget* next = expected[i]->nextInFocusChain();
            // An editable list's own line edit sits between it and the next control.
            while (next && next->parentWidget() == expected[i])
                next = next->nextInFocusChain();
            QCOMPARE(next->objectName(), expected[i + 1]->objectName());
        }
    }

    void openAsksForAFileAndExitEndsTheProgram()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        form.Megynits1->trigger();   // cancelled: nothing changes
        QCOMPARE(driver.script.dialogRuns, std::vector<std::string>{"open"});
        QVERIFY(driver.script.messages.empty());
        QVERIFY(form.isVisible());

        bool timedOut = false;
        QTimer::singleShot(0, form.Kilps1, &QAction::trigger);
        QTimer::singleShot(5000, [&timedOut] { timedOut = true; QCoreApplication::quit(); });
        QApplication::exec();   // the last window closing ends the loop
        QVERIFY(!timedOut);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

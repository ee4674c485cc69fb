#include "FormDriver.h"
#include "StdStringOutput.h"

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Conversions.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void listWithTypingReadsNoSelectionOnceTypedOver()
    {
        QWidget owner;
        auto* list = CreateComponent<TComboBox>(&owner, "List", TComboBoxStyle::csDropDown);
        QCOMPARE(list->ItemIndex(), -1);
        list->AddItem("relatív");
        list->AddItem("abszolult");
        list->SetItemIndex(1);
        QCOMPARE(list->ItemIndex(), 1);

        owner.show();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), "fix");
        QCOMPARE(list->ItemIndex(), -1);
        QCOMPARE(list->ItemCount(), 2);   // typing never adds an entry
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        QCOMPARE(list->ItemCount(), 2);
        QCOMPARE(list->ItemIndex(), -1);

        // Typing an entry's whole text chooses that entry.
        list->lineEdit()->selectAll();
        typeText(list->lineEdit(), QStringLiteral("relatív"));
        QCOMPARE(list->ItemIndex(), 0);

        // Setting an entry by code brings its text back.
        list->SetItemIndex(1);
        QCOMPARE(list->ItemIndex(), 1);
        QCOMPARE(list->currentText(), QStringLiteral("abszolult"));

        list->SetItemIndex(-1);
        QCOMPARE(list->ItemIndex(), -1);
    }

    // Entries that are their own numbers, however many: typed, added and taken away as texts.
    void numberedListReadsAsItsEntries()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));   // nor asked for what it has not
        QWidget owner;
        auto* list = CreateComponent<TComboBox>(&owner, "List", TComboBoxStyle::csDropDown);
        list->NumberEntries("div");
        list->SetItemCount(100000);
        list->AddItem("div100000");
        QCOMPARE(list->ItemCount(), 100001);
        QCOMPARE(list->itemText(100000), QStringLiteral("div100000"));
        owner.show();
        for (const auto& [typed, entry] : {std::pair{"div4711", 4711}, {"div04711", -1}, {"div100001", -1}, {"div-0", -1}}) {
            list->lineEdit()->selectAll();
            typeText(list->lineEdit(), QString::fromUtf8(typed));
            QCOMPARE(list->ItemIndex(), entry);
        }
        list->removeItem(100000);
        QCOMPARE(list->ItemCount(), 100000);
        list->Clear();
        QCOMPARE(list->ItemCount(), 0);
    }

    void listWithoutTypingCannotBeTypedOver()
    {
        QWidget owner;
        auto* list = CreateComponent<TComboBox>(&owner, "List", TComboBoxStyle::csDropDownList);
        QVERIFY(!list->isEditable());
        list->AddItem("semmilyen");
        list->AddItem("jobbra");
        list->SetItemIndex(1);
        QCOMPARE(list->ItemIndex(), 1);
        list->Clear();
        QCOMPARE(list->ItemCount(), 0);
        QCOMPARE(list->ItemIndex(), -1);
    }

    void panelVisibilityIsItsOwnFlag()
    {
        QWidget owner;   // never shown
        auto* panel = CreateComponent<TPanel>(&owner, "Panel");
        panel->Show();
        QVERIFY(panel->Visible());
        panel->Hide();
        QVERIFY(!panel->Visible());
    }

    void handlerExceptionsAreReportedAndTheLoopGoesOn()
    {
        ScriptedScope scope;
        QWidget owner;
        auto* failing = CreateComponent<TButton>(&owner, "Failing", "Hiba");
        auto* counting = CreateComponent<TButton>(&owner, "Counting", "Számol");
        failing->SetOnClick([] { StrToInt("abc"); });
        int runs = 0;
        counting->SetOnClick([&runs] { ++runs; });
        auto* item = CreateComponent<TMenuItem>(&owner, "Item", "Elem");
        item->SetOnClick([] { throw std::runtime_error("váratlan"); });
        auto* unknown = CreateComponent<TMenuItem>(&owner, "Unknown", "Ismeretlen");
        unknown->SetOnClick([] { throw 42; });
        owner.show();

        QTest::mouseClick(failing, Qt::LeftButton);
        item->trigger();
        unknown->trigger();
        QTest::mouseClick(counting, Qt::LeftButton);

        QCOMPARE(runs, 1);
        QCOMPARE(scope.script.exceptions,
                 (std::vector<std::string>{"'abc' nem érvényes egész szám", "váratlan", ""}));
        QVERIFY(scope.script.messages.empty());
    }

    void colourDialogRemembersOnlyConfirmedColours()
    {
        ScriptedScope scope;
        QWidget owner;
        auto* first = CreateComponent<TColorDialog>(&owner, "ColorDialog1");
        auto* second = CreateComponent<TColorDialog>(&owner, "ColorDialog2");
        QCOMPARE(first->Color(), TColor{0});

        scope.script.cancel();
        QVERIFY(!first->Execute());
        QCOMPARE(first->Color(), TColor{0});

        scope.script.confirmColor(0x0000FF);   // pure red: red is the lowest byte
        QVERIFY(first->Execute());
        QCOMPARE(first->Color(), TColor{0x0000FF});

        scope.script.cancel();
        QVERIFY(!first->Execute());
        QCOMPARE(first->Color(), TColor{0x0000FF});
        QCOMPARE(second->Color(), TColor{0});   // each dialog has its own memory
        QCOMPARE(scope.script.unanswered, 0);
    }

    void fileDialogsRememberOnlyConfirmedNames()
    {
        ScriptedScope scope;
        QWidget owner;
        auto* save = CreateComponent<TSaveDialog>(&owner, "SaveDialog1");
        auto* picture = CreateComponent<TOpenPictureDialog>(&owner, "OpenPictureDialog1");
        QCOMPARE(save->FileName(), std::string());

        scope.script.confirmFile("/tmp/stílus lap.css");
        QVERIFY(save->Execute());
        scope.script.cancel();
        QVERIFY(!save->Execute());
        QCOMPARE(save->FileName(), std::string("/tmp/stílus lap.css"));
        QCOMPARE(picture->FileName(), std::string());

        scope.script.confirmFile("/tmp/kép.png");
        QVERIFY(picture->Execute());
        QCOMPARE(picture->FileName(), std::string("/tmp/kép.png"));
        QCOMPARE(scope.script.dialogRuns, (std::vector<std::string>{"save", "save", "picture"}));
    }

    // Text from a page or the clipboard in Prizmo's own boxes and lines: shown as written,
    // never taken for markup (a picture in it would be loaded, from /dev/zero too).
    // Their buttons are Hungarian in any locale (the tests run in C.UTF-8).
    void markupFromFilesShowsAsWritten_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("buttons");
        QTest::addRow("message") << "message" << "OK";
        QTest::addRow("message's detail") << "detail" << "OK";
        QTest::addRow("unsaved-work question") << "save" << "Eldobás Mentés Mégse";
        QTest::addRow("yes or no question") << "yesno" << "Igen Nem";
        QTest::addRow("question with choices") << "choice" << "Egy Kettő Később";
    }

    void markupFromFilesShowsAsWritten()
    {
        QFETCH(QString, way);
        QFETCH(QString, buttons);
        testApplication();
        const std::string markup = "<img src=\"/dev/zero\"><b>p</b><link rel=\"stylesheet\"> és a többi";
        QStringList shown, named;
        QTimer::singleShot(0, [&shown, &named] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            for (const QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    shown << shownText(label->text(), label->textFormat());
            for (const QAbstractButton* button : box->findChildren<QAbstractButton*>())
                named << button->text().remove(u'&');
            box->close();
        });
        if (way == "message")
            ShowMessage(markup);
        else if (way == "detail")
            ShowMessage("Prizmo", markup);
        else if (way == "save")
            AskToSave(markup);
        else if (way == "yesno")
            AskYesNo(markup);
        else
            AskChoice(markup, "Egy", "Kettő", "Később");
        QVERIFY2(shown.contains(QString::fromStdString(markup)), qPrintable(shown.join(u'|')));
        named.sort();
        QCOMPARE(named.join(u' '), buttons);
    }

    void statusLineShowsMarkupAsWritten()
    {
        testApplication();
        TForm form;
        const QString markup = QStringLiteral("Beillesztettem: div0. 1 deklarációt kihagytam: <img src=/dev/zero> (1).");
        form.SetStatusText(markup.toStdString());
        const auto* line = form.findChild<QLabel*>(QStringLiteral("StatusLine"));
        QVERIFY(line);
        QCOMPARE(shownText(line->text(), line->textFormat()), markup);
    }

    void terminateEndsTheLoopAfterTheCurrentCommand()
    {
        testApplication();
        QWidget owner;
        auto* item = CreateComponent<TMenuItem>(&owner, "Item", "Elem");
        bool finished = false;
        item->SetOnClick([&finished] {
            Application->Terminate();
            finished = true;   // the command runs to its end
        });
        bool timedOut = false;
        QTimer::singleShot(0, item, &QAction::trigger);
        QTimer::singleShot(5000, [&timedOut] { timedOut = true; QCoreApplication::quit(); });
        QApplication::exec();
        QVERIFY(finished);
        QVERIFY(!timedOut);
        QVERIFY(Application->Terminated());
    }

    // Last: it leaves Qt's Hungarian texts installed.
    void qtTextsFollowThePersonsLanguage()
    {
        testApplication();
        const QString lookIn = QStringLiteral("Look in:");
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), lookIn);
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        Application->Initialize();
        QLocale::setDefault(QLocale::c());
        QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != lookIn);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"

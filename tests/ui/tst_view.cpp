#include "Files.h"
#include "FormDriver.h"
#include "FormWithoutMemory.h"
#include "StdStringOutput.h"
#include "StyleSheetModel.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <functional>

using Texts = std::vector<std::string>;

namespace {

const std::string question = "A stíluslap még nincs elmentve. Elmented?";

// The window's title as the window system shows it.
QString title(const TForm1& form)
{
    return form.windowHandle()->title();
}

// Which controls act, as letters: the two "..." buttons (b), the edits and the alignment and
// position lists (e), "Fájl" → "Mentés" (m); a dash where one is disabled.
QString enabled(const TForm1& form)
{
    const bool edits = form.Edit1->isEnabled() && form.Edit2->isEnabled() && form.Edit3->isEnabled()
        && form.ComboBox1->isEnabled() && form.ComboBox2->isEnabled();
    const bool someEdit = form.Edit1->isEnabled() || form.Edit2->isEnabled() || form.Edit3->isEnabled()
        || form.ComboBox1->isEnabled() || form.ComboBox2->isEnabled();
    QString flags;
    flags += form.Button1->isEnabled() && form.Button2->isEnabled() ? QLatin1Char('b')
             : form.Button1->isEnabled() || form.Button2->isEnabled() ? QLatin1Char('?') : QLatin1Char('-');
    flags += edits ? QLatin1Char('e') : someEdit ? QLatin1Char('?') : QLatin1Char('-');
    flags += form.Ments1->isEnabled() ? QLatin1Char('m') : QLatin1Char('-');
    return flags;
}

// Every notice the window gives, as words: "whole", "+N" divs added, "nest divN" for a div
// given another parent, the rules whose values changed, "file", "saved" when the saved state changed, and "@" the panels' rule.
struct HeardChanges : StyleSheetFollower {
    std::vector<QString> heard;
    void follow(const StyleSheetChange& change) override
    {
        QStringList words;
        if (change.restructured)
            words << QStringLiteral("whole");
        if (change.appended)
            words << QStringLiteral("+%1").arg(change.appended);
        for (const std::int32_t div : change.renested)
            words << QStringLiteral("nest div%1").arg(div);
        for (const Rule& rule : change.values)
            words << QString::fromStdString(ruleName(rule));
        if (change.fileChanged)
            words << QStringLiteral("file");
        if (change.savedStateChanged)
            words << QStringLiteral("saved");
        words << QStringLiteral("@") + QString::fromStdString(ruleName(change.panels));
        heard.push_back(words.join(QLatin1Char(' ')));
    }
};

} // namespace

class TestView : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    std::string path(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }

private slots:
    // Closing with an unsaved stylesheet asks first, whichever way the window is closed.
    void closingAsksFirst_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("message");
        QTest::addRow("title bar, Cancel") << false << "cancel" << false << "";
        QTest::addRow("Kilépés, Cancel") << true << "cancel" << false << "";
        QTest::addRow("title bar, Discard") << false << "discard" << true << "";
        QTest::addRow("Kilépés, Save") << true << "save" << true << "";
        QTest::addRow("title bar, Save") << false << "save" << true << "";
        QTest::addRow("Save, dialog cancelled") << true << "save, cancel" << false << "";
        QTest::addRow("Save to a full disk") << true << "save, /dev/full" << false << "Memória hiba miatt nem ment";
        QTest::addRow("Save with an edit open") << true << "save, edit open" << false << "Előbb nyomd meg a KÉSZ gombot!";
        QTest::addRow("Save without memory") << true << "save, no memory" << false << "Memória hiba miatt nem ment";
    }
    void closingAsksFirst()
    {
        QFETCH(bool, byMenu);
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(QString, message);
        BasicFormDriver<FormWithoutMemory> driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "600");
        driver.done();
        if (answer.contains(QLatin1String("edit open")))
            driver.newDiv();
        driver.form.failOutputFile = answer.endsWith(QLatin1String("no memory"));
        const std::string saved = path(qPrintable(QStringLiteral("closed %1.css").arg(QTest::currentDataTag())));

        driver.script.answer(answer.startsWith(QLatin1String("save")) ? SaveAnswer::Save
                             : answer == QLatin1String("discard")   ? SaveAnswer::Discard
                                                                    : SaveAnswer::Cancel);
        if (answer == QLatin1String("save") || answer.endsWith(QLatin1String("no memory")))
            driver.script.confirmFile(saved);
        if (answer.endsWith(QLatin1String("cancel")) && answer != QLatin1String("cancel"))
            driver.script.cancel();
        if (answer.endsWith(QLatin1String("/dev/full")))
            driver.script.confirmFile("/dev/full");
        if (byMenu)
            form.Kilps1->trigger();
        else
            form.close();

        QCOMPARE(driver.script.questions, Texts{question});
        QCOMPARE(form.isVisible(), !closes);
        QCOMPARE(driver.script.messages, message.isEmpty() ? Texts{} : Texts{message.toStdString()});
        QCOMPARE(driver.script.unanswered, 0);
        if (answer == QLatin1String("save"))
            QCOMPARE(readBytes(QString::fromStdString(saved)).value_or("none"), styleSheet({}, {{.width = 600}}));
        if (!closes) {
            QVERIFY(form.stylesheetUnsaved());
            QCOMPARE(form.divs[0]->getWidth(), 600);
            QCOMPARE(form.windowHandle()->title(), QStringLiteral("Prizmo*"));
        }
    }

    // Nothing unsaved, nothing asked.
    void closingWithNothingUnsavedAsksNothing_data()
    {
        QTest::addColumn<QString>("after");
        QTest::addRow("start") << "start";
        QTest::addRow("a completed save") << "save";
        QTest::addRow("Megnyitás") << "open";
        QTest::addRow("only Ok since Megnyitás") << "ok";
    }
    void closingWithNothingUnsavedAsksNothing()
    {
        QFETCH(QString, after);
        FormDriver driver;
        TForm1& form = driver.form;
        if (after != QLatin1String("start")) {
            driver.newDiv();
            driver.done();
            driver.newDiv();
            driver.done();
            driver.openSavePanel();
            driver.script.confirmFile(path("nothing asked.css"));
            driver.save();
        }
        if (after == QLatin1String("open") || after == QLatin1String("ok")) {
            driver.script.confirmFile(path("nothing asked.css"));
            form.Megynits1->trigger();
        }
        if (after == QLatin1String("ok")) {
            driver.openSavePanel();
            driver.pick(form.ComboBox3, 1);
            driver.pick(form.ComboBox4, 0);
            driver.ok();
            QCOMPARE(form.divs[1]->getParent(), 0);
        }
        form.Kilps1->trigger();
        QVERIFY(driver.script.questions.empty());
        QVERIFY(!form.isVisible());
    }

    // The title, which controls act and the one notice of what changed, step by step along
    // one road that runs every command.
    void theTitleAndTheControlsFollowTheCommands()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        HeardChanges changes;
        form.addFollower(&changes);
        const std::string opened = path("oldal.css");
        const struct {
            const char* step;
            std::function<void()> act;
            const char* title;
            const char* controls;
            const char* notice;   // nothing: no command ran
        } road[] = {
            {"start", [] {}, "Prizmo", "---", nullptr},
            {"Body beállítása", [&] { driver.bodySettings(); }, "Prizmo*", "be-", "whole saved @body"},
            {"its KÉSZ", [&] { driver.done(); }, "Prizmo*", "---", "@body"},
            {"Új Div", [&] { driver.newDiv(); }, "Prizmo*", "bem", "+1 @div0"},
            {"Return in Szélesség", [&] { QTest::keyClick(form.Edit1, Qt::Key_Return); }, "Prizmo*", "b-m", "@div0"},
            {"Ctrl+S", [&] { QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier); }, "Prizmo*", "--m", "@"},
            {"Mentés", [&] { driver.script.confirmFile(opened); driver.save(); }, "Prizmo", "--m", "whole saved @"},
            {"Megnyitás", [&] { driver.script.confirmFile(opened); form.Megynits1->trigger(); },
             "oldal.css – Prizmo", "--m", "whole file @"},
            {"Új Div", [&] { driver.newDiv(); }, "oldal.css* – Prizmo", "bem", "+1 saved @div1"},
            {"a width, its KÉSZ", [&] { driver.type(form.Edit1, QStringLiteral("300")); driver.done(); },
             "oldal.css* – Prizmo", "b-m", "div1 @div1"},
            {"font colour", [&] { driver.script.confirmColor(0x0000FF); driver.pickFontColor(); },
             "oldal.css* – Prizmo", "b-m", "div1 @div1"},
            {"body opened again", [&] { form.runCommand("megnyitás", [&] { form.reopenRule({Rule::Kind::Body, -1}); }); },
             "oldal.css* – Prizmo", "bem", "@body"},
            {"a font size, its KÉSZ", [&] { driver.type(form.Edit3, QStringLiteral("20")); driver.done(); },
             "oldal.css* – Prizmo", "--m", "body @body"},
            {"Fájl → Mentés", [&] { driver.openSavePanel(); }, "oldal.css* – Prizmo", "--m", "@"},
            {"Ok: div1 in div0", [&] { driver.pick(form.ComboBox3, 1); driver.pick(form.ComboBox4, 0); driver.ok(); },
             "oldal.css* – Prizmo", "--m", "nest div1 @"},
            {"Visszavonás", [&] { form.Visszavons1->trigger(); }, "oldal.css* – Prizmo", "--m", "nest div1 @"},
            {"Mégis", [&] { form.Mgis1->trigger(); }, "oldal.css* – Prizmo", "--m", "nest div1 @"},
            {"div0 opened again", [&] { form.runCommand("megnyitás", [&] { form.reopenRule({Rule::Kind::Div, 0}); }); },
             "oldal.css* – Prizmo", "bem", "@div0"},
            {"its KÉSZ", [&] { driver.done(); }, "oldal.css* – Prizmo", "b-m", "@div0"},
            {"Weboldal", [&] { driver.script.confirmFile(path("oldal.html")); driver.click(form.Button6); },
             "oldal.css* – Prizmo", "b-m", "@div0"},
            {"Div törlése", [&] { form.Divtrlse1->trigger(); }, "oldal.css* – Prizmo", "--m", "whole @"},
            {"Visszavonás", [&] { form.Visszavons1->trigger(); }, "oldal.css* – Prizmo", "b-m", "whole @div0"},
        };
        for (const auto& step : road) {
            changes.heard.clear();
            step.act();
            const QString heard = changes.heard.empty() ? QStringLiteral("none")
                : changes.heard.size() == 1 ? changes.heard[0] : QStringLiteral("%1 notices").arg(changes.heard.size());
            const QString expected = step.notice ? QString::fromUtf8(step.notice) : QStringLiteral("none");
            QVERIFY2(title(form) == QString::fromUtf8(step.title) && enabled(form) == QLatin1String(step.controls)
                         && heard == expected,
                     qPrintable(QStringLiteral("after %1: title '%2', controls %3, notice '%4'")
                                    .arg(QString::fromUtf8(step.step), title(form), enabled(form), heard)));
        }
        QVERIFY(driver.script.messages.empty());
        form.removeFollower(&changes);
    }

    // The "..." buttons show what they stored for the record Panel1 stands for.
    void theButtonsShowWhatTheyStored()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.script.confirmColor(0x0000FF);   // red
        driver.pickFontColor();
        QCOMPARE(shownText(form.Button1->toolTip()), QStringLiteral("#FF0000"));
        QCOMPARE(form.Button1->icon().pixmap(form.Button1->iconSize()).toImage().pixelColor(4, 4), QColor(Qt::red));
        QVERIFY(form.Button2->icon().isNull());
        driver.done();   // the body's values stay in view after its KÉSZ
        QCOMPARE(shownText(form.Button1->toolTip()), QStringLiteral("#FF0000"));

        driver.newDiv();   // the div's own: none yet
        QVERIFY(form.Button1->icon().isNull());
        QVERIFY(form.Button1->toolTip().isEmpty());
        driver.click(form.RadioButton2);
        // A name that looks like markup is shown as it is, and fetches nothing.
        const QString picture = QStringLiteral("/home/éva/<img src=\"/dev/zero\"> <b>kép</b>.png");
        driver.script.confirmFile(picture.toStdString());
        driver.pickBackground();
        QCOMPARE(shownText(form.Button2->toolTip()), picture);
        QVERIFY(!form.Button2->icon().isNull());   // a picture icon: the file is no picture
        driver.script.cancel();
        driver.pickBackground();
        QCOMPARE(shownText(form.Button2->toolTip()), picture);

        driver.done();
        driver.openSavePanel();   // Panel1 hidden with its div: shows the body again, once back
        QCOMPARE(shownText(form.Button1->toolTip()), QStringLiteral("#FF0000"));
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"

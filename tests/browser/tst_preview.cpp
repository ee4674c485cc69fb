// The preview in the real engine: what the window holds shows there as "Weboldal" would
// write it, live while typing, with the rule being edited marked; a click opens what it hits;
// and a preview that ends leaves the editor as it was.

#include "Files.h"
#include "FormDriver.h"
#include "StyleSheetModel.h"

#include "ui/BoxDiagram.h"
#include "ui/PreviewFeed.h"
#include "ui/PropertiesDock.h"
#include "ui/PreviewLink.h"
#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <QApplication>
#include <QImage>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace {

constexpr int patienceMs = 60'000;   // a browser engine starting on a busy machine

// The link with the tests' questions: "probe" and "click" go to the tests' build of the
// preview, and what it answers comes back as `answered`.
class ProbingPreviewLink : public PreviewLink
{
    Q_OBJECT

public:
    using PreviewLink::PreviewLink;
    void ask(const QJsonObject& question) { send(question); }

signals:
    void answered(const QJsonObject& answer);

protected:
    void heardOther(const QJsonObject& message) override
    {
        answerArrived();
        if (!message.contains(QLatin1String("dragged")))   // the benchmarks' word after a drag's frame
            emit answered(message);
    }
};

class ProbedForm : public TForm1
{
protected:
    PreviewLink* createPreviewLink(const QRect& place, PreviewHandlers handlers) override
    {
        return new ProbingPreviewLink(QString::fromStdString(previewProgram), place, std::move(handlers), this);
    }
};
using ProbedFormDriver = BasicFormDriver<ProbedForm>;

ProbingPreviewLink* probing(TForm1& form)
{
    return static_cast<ProbingPreviewLink*>(form.Preview);
}

void turnOn(TForm1& form)
{
    form.Elnzet1->trigger();
}

bool waitUntilShown(TForm1& form)
{
    return QTest::qWaitFor([&form] { return !form.Preview || form.Preview->upToDate(); }, patienceMs)
        && form.Preview;
}

QJsonObject probe(TForm1& form)
{
    QSignalSpy answers(probing(form), &ProbingPreviewLink::answered);
    probing(form)->ask({{QStringLiteral("do"), QStringLiteral("probe")}});
    if (!answers.wait(patienceMs))
        return {};
    return answers.takeFirst().at(0).toJsonObject().value(QLatin1String("probe")).toObject();
}

QString computed(const QJsonObject& rules, const char* rule, const char* property)
{
    return rules.value(QLatin1String(rule)).toObject().value(QLatin1String(property)).toString();
}

// The widget receives the engine's frame a little after the engine has drawn it.
QJsonObject probeUntilDrawn(TForm1& form, const char* rule, const QString& pixel)
{
    QJsonObject rules;
    static_cast<void>(QTest::qWaitFor([&] { return computed(rules = probe(form), rule, "pixel") == pixel; }, patienceMs));   // the caller compares
    return rules;
}

// The parts of the marked box the preview shades, each "left top width height".
QJsonObject shading(TForm1& form)
{
    QJsonObject parts = probe(form).value(QLatin1String("prizmo-shade")).toObject();
    parts.remove(QStringLiteral("pixel"));
    return parts;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testApplication(); }

    void thePreviewShowsTheWindowLive()
    {
        QTemporaryDir folder;
        const QString picture = folder.filePath(QStringLiteral("csík.png"));
        QImage stripe(8, 8, QImage::Format_RGB32);
        stripe.fill(QColor(0x20, 0xA0, 0x40));
        QVERIFY(stripe.save(picture));

        ProbedFormDriver driver;
        TForm1& form = driver.form;
        form.previewProgram = PRIZMO_PREVIEW_PROGRAM;
        turnOn(form);
        QVERIFY(form.Elnzet1->isChecked());

        driver.bodySettings();
        driver.script.confirmColor(0xE7F8FF);   // #FFF8E7
        driver.pickBackground();
        driver.type(form.Edit3, "18");
        driver.done();
        driver.newDiv();
        driver.type(form.Edit1, "500");
        driver.type(form.Edit2, "300");
        driver.script.confirmColor(0xC08040);   // #4080C0
        driver.pickBackground();
        driver.done();
        driver.newDiv();
        driver.type(form.Edit1, "120");
        driver.click(form.RadioButton2);
        driver.script.confirmFile(picture.toStdString());
        driver.pickBackground();
        driver.pick(form.ComboBox1, 2);   // balra
        driver.done();
        driver.openSavePanel();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();
        // Div 0 opened again, and a width typed that "KÉSZ" has not stored.
        form.runCommand("div0 megnyitása", [&form] { form.reopenRule({Rule::Kind::Div, 0}); });
        driver.type(form.Edit1, "640");
        QCOMPARE(form.divs[0]->getWidth(), 500);
        QVERIFY(waitUntilShown(form));

        probeUntilDrawn(form, "div0", QStringLiteral("#4080c0"));
        const QJsonObject rules = probeUntilDrawn(form, "div1", QStringLiteral("#20a040"));
        const QString pictureUrl = QStringLiteral("url(\"%1\")").arg(QString::fromUtf8(QUrl::fromLocalFile(picture).toEncoded()));
        const std::vector<std::tuple<const char*, const char*, QString>> expected{
            {"body", "background-color", "rgb(255, 248, 231)"}, {"body", "font-size", "18px"},
            {"div0", "width", "640px"}, {"div0", "height", "300px"},
            {"div0", "background-color", "rgb(64, 128, 192)"}, {"div0", "parent", "body"},
            {"div0", "outline-style", "solid"}, {"div0", "pixel", "#4080c0"},
            {"div1", "width", "120px"}, {"div1", "height", "200px"}, {"div1", "float", "left"},
            {"div1", "background-image", pictureUrl}, {"div1", "parent", "div0"},
            {"div1", "outline-style", "none"}, {"div1", "pixel", "#20a040"},
            {"body", "outline-style", "none"},
        };
        for (const auto& [rule, property, value] : expected)
            QCOMPARE(computed(rules, rule, property) + " (" + rule + " " + property + ")",
                     value + " (" + rule + " " + property + ")");

        // A text that is no number shows the stored value; "KÉSZ" then keeps the page.
        driver.type(form.Edit1, "6x");
        QVERIFY(waitUntilShown(form));
        QCOMPARE(computed(probe(form), "div0", "width"), QStringLiteral("500px"));
        driver.type(form.Edit1, "640");
        driver.done();

        // A click at the centre of div 1's box opens div 1, the window up to be typed into.
        probing(form)->ask({{QStringLiteral("do"), QStringLiteral("click")}, {QStringLiteral("rule"), QStringLiteral("div1")}});
        QTRY_VERIFY_WITH_TIMEOUT(form.panelsRule() == (Rule{Rule::Kind::Div, 1}), patienceMs);
        QVERIFY(form.editOpen());
        QCOMPARE(QApplication::focusWidget(), form.Edit3);
        QVERIFY(waitUntilShown(form));
        const QJsonObject reopened = probe(form);
        QCOMPARE(computed(reopened, "div1", "outline-style"), QStringLiteral("solid"));
        QCOMPARE(computed(reopened, "div0", "outline-style"), QStringLiteral("none"));
        QCOMPARE(computed(reopened, "div0", "width"), QStringLiteral("640px"));

        // Undo puts the width back, in the preview as well.
        driver.done();
        while (form.divs[0]->getWidth() != 500 && form.Visszavons1->isEnabled())
            form.Visszavons1->trigger();
        QCOMPARE(form.divs[0]->getWidth(), 500);
        QVERIFY(waitUntilShown(form));
        QCOMPARE(computed(probe(form), "div0", "width"), QStringLiteral("500px"));

        // "Körvonalak": every div outlined and named, the panels' rule's outline as it was.
        for (const bool shown : {true, false}) {
            form.Krvonalak1->trigger();
            QCOMPARE(form.Krvonalak1->isChecked(), shown);
            QVERIFY(waitUntilShown(form));
            const QJsonObject outlined = probe(form);
            QCOMPARE(form.panelsRule(), (Rule{Rule::Kind::Div, 0}));
            QCOMPARE(computed(outlined, "div0", "outline-style"), QStringLiteral("solid"));
            QCOMPARE(computed(outlined, "div1", "outline-style"), shown ? QStringLiteral("dashed") : QStringLiteral("none"));
            QCOMPARE(computed(outlined, "prizmo-labels", "names"), shown ? QStringLiteral("div0 div1") : QString());
            // At the same corner, with no room above it: inside, the second beside the first.
            QCOMPARE(computed(outlined, "prizmo-labels", "tops"), shown ? QStringLiteral("8 8") : QString());
            QCOMPARE(computed(outlined, "prizmo-labels", "overlapping"), QStringLiteral("0"));
        }

        // The pointer on div 1's row frames its box in the preview; on div 0's box there, it
        // marks div 0's row.
        form.Szablyok1->trigger();
        QTreeView* tree = form.Rules->tree();
        const QModelIndex row = form.Rules->rules()->indexOf({Rule::Kind::Div, 1});
        QTest::mouseMove(tree->viewport(), tree->visualRect(row).center());
        QVERIFY(waitUntilShown(form));
        QCOMPARE(computed(probe(form), "prizmo-hovered", "rule"), QStringLiteral("div1"));
        probing(form)->ask({{QStringLiteral("do"), QStringLiteral("point")}, {QStringLiteral("rule"), QStringLiteral("div0")}});
        const QModelIndex div0 = form.Rules->rules()->indexOf({Rule::Kind::Div, 0});
        QTRY_VERIFY_WITH_TIMEOUT(div0.data(Qt::BackgroundRole).isValid(), patienceMs);
        QVERIFY(!row.data(Qt::BackgroundRole).isValid());
        form.Szablyok1->trigger();

        // Div 0's right edge dragged to 125 px: it snaps to div 1's 120 with its guide, not with
        // Shift; Escape puts the size back; a release with no edit open is a step of its own.
        if (form.editOpen())
            driver.done();
        QCOMPARE(form.panelsRule(), (Rule{Rule::Kind::Div, 0}));
        const auto drag = [&form](bool shift, const char* then, const char* edge = "right", QJsonArray by = {-375, 0}) {
            QJsonObject message{{QStringLiteral("do"), QStringLiteral("drag")}, {QStringLiteral("edge"), QString::fromLatin1(edge)},
                                {QStringLiteral("by"), by}, {QStringLiteral("shift"), shift}};
            if (*then)
                message.insert(QString::fromLatin1(then), true);
            probing(form)->ask(message);
        };
        const auto resizing = [&form](const char* property) { return computed(probe(form), "prizmo-drag", property); };
        drag(false, "hold");
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QStringLiteral("120 × 300"), patienceMs);
        QCOMPARE(resizing("guides"), QStringLiteral("1"));
        drag(true, "hold");
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QStringLiteral("125 × 300"), patienceMs);
        QCOMPARE(resizing("guides"), QStringLiteral("0"));
        drag(true, "escape");
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QString(), patienceMs);
        QCOMPARE(computed(probe(form), "div0", "width"), QStringLiteral("500px"));
        QCOMPARE(form.divs[0]->getWidth(), 500);
        drag(false, "");
        QTRY_COMPARE_WITH_TIMEOUT(form.divs[0]->getWidth(), 120, patienceMs);
        QCOMPARE(form.divs[0]->getHeight(), 300);
        QCOMPARE(form.Edit1->Text(), "120");   // the greyed panels show what is stored
        QCOMPARE(form.Visszavons1->text(), QStringLiteral("&Visszavonás: Átméretezés"));
        form.Visszavons1->trigger();
        QCOMPARE(form.divs[0]->getWidth(), 500);
        QCOMPARE(form.Edit1->Text(), "500");
        // The bottom edge changes the height alone, also of a div whose stored width the page
        // leaves out.
        probing(form)->ask({{QStringLiteral("do"), QStringLiteral("click")}, {QStringLiteral("rule"), QStringLiteral("div0")}});
        QTRY_VERIFY_WITH_TIMEOUT(form.editOpen(), patienceMs);
        driver.type(form.Edit1, "-50");
        driver.type(form.Edit2, "100");
        driver.done();
        QVERIFY(waitUntilShown(form));
        drag(true, "", "bottom", {0, 10});
        QTRY_COMPARE_WITH_TIMEOUT(form.divs[0]->getHeight(), 110, patienceMs);
        QCOMPARE(form.divs[0]->getWidth(), -50);

        // Div 0, a relative box, dragged from inside: 4 px right snaps its left edge back to
        // the body's and div 1's, with a guide, not with Shift; Escape puts it back; a release
        // is a step of its own.
        const Property& left = propertyNamed("left");
        const Property& top = propertyNamed("top");
        const auto offsets = [&] {
            return std::pair(std::get<std::int32_t>(valueOf(left, *form.divs[0])),
                             std::get<std::int32_t>(valueOf(top, *form.divs[0])));
        };
        QVERIFY(waitUntilShown(form));
        drag(false, "hold", "move", {4, 30});
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QStringLiteral("balra 0 · fent 30"), patienceMs);
        QCOMPARE(resizing("guides"), QStringLiteral("1"));
        QCOMPARE(shading(form).size(), 4);   // shaded while moving
        drag(true, "hold", "move", {4, 30});
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QStringLiteral("balra 4 · fent 30"), patienceMs);
        QCOMPARE(resizing("guides"), QStringLiteral("0"));
        drag(true, "escape", "move", {4, 30});
        QTRY_COMPARE_WITH_TIMEOUT(resizing("readout"), QString(), patienceMs);
        QCOMPARE(computed(probe(form), "div0", "left"), QStringLiteral("0px"));
        QCOMPARE(offsets(), std::pair(unsetOffset, unsetOffset));
        drag(true, "", "move", {50, 30});
        QTRY_COMPARE_WITH_TIMEOUT(offsets(), std::pair(50, 30), patienceMs);
        QCOMPARE(form.Visszavons1->text(), QStringLiteral("&Visszavonás: Áthelyezés"));
        QCOMPARE(form.editOpen(), false);
        // Two arrow presses in the preview are one step, which one Visszavonás undoes.
        const int stepsBefore = form.UndoStack->count();
        for (int press = 0; press < 2; ++press) {
            probing(form)->ask({{QStringLiteral("do"), QStringLiteral("key")}, {QStringLiteral("key"), QStringLiteral("right")}});
            QTRY_COMPARE_WITH_TIMEOUT(offsets(), std::pair(51 + press, 30), patienceMs);
        }
        QCOMPARE(form.UndoStack->count(), stepsBefore + 1);
        form.Visszavons1->trigger();
        QCOMPARE(offsets(), std::pair(50, 30));

        // The pointer over the box-model diagram's rings shades that part of div 0 alone; off
        // it, nothing.
        form.Tulajdonsgok1->trigger();
        form.runCommand("div0 megnyitása", [&form] { form.reopenRule({Rule::Kind::Div, 0}); });
        form.Properties->showValue(propertyNamed("margin"), Sides::all(10));
        form.Properties->showValue(propertyNamed("border"), Border{3, 1, "#000000"});
        form.Properties->showValue(propertyNamed("padding"), Sides::all(5));
        driver.done();
        BoxDiagram* diagram = form.Properties->diagram();
        QVERIFY(waitUntilShown(form));
        const QStringList box = computed(probe(form), "div0", "box").split(QLatin1Char(' '));
        const auto grown = [&box](int by) {
            return QStringLiteral("%1 %2 %3 %4").arg(box[0].toInt() - by).arg(box[1].toInt() - by)
                .arg(box[2].toInt() + 2 * by).arg(box[3].toInt() + 2 * by);
        };
        const std::vector<std::pair<QPoint, QJsonObject>> shades{
            {{3, diagram->height() / 2}, {{QStringLiteral("margin"), grown(10)}}},
            {diagram->borderWidth()->geometry().center(), {{QStringLiteral("border"), grown(0)}}},
            {diagram->padding()[0]->geometry().center(), {{QStringLiteral("padding"), grown(-3)}}},
            {diagram->rect().center(), {{QStringLiteral("content"), grown(-8)}}},
        };
        for (const auto& [at, shaded] : shades) {
            QTest::mouseMove(diagram, at);
            QTRY_COMPARE_WITH_TIMEOUT(shading(form), shaded, patienceMs);
        }
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(diagram, &leave);
        QTRY_COMPARE_WITH_TIMEOUT(shading(form), QJsonObject(), patienceMs);
        form.Tulajdonsgok1->trigger();

        // At a phone's width the page is 375 px wide, and a drag moves the box there too.
        form.N375px1->trigger();
        QVERIFY(form.N375px1->isChecked() && !form.Teljes1->isChecked());
        QVERIFY(waitUntilShown(form));
        const QJsonObject narrow = probe(form);
        QCOMPARE(computed(narrow, "prizmo-column", "width"), QStringLiteral("375"));
        QCOMPARE(computed(narrow, "body", "width"), QStringLiteral("359px"));
        drag(true, "", "move", {-20, 5});
        QTRY_COMPARE_WITH_TIMEOUT(offsets(), std::pair(30, 35), patienceMs);
        form.Teljes1->trigger();
        QVERIFY(waitUntilShown(form));
        QVERIFY(computed(probe(form), "prizmo-column", "width").toInt() > 375);

        // A stylesheet of more divs than a frame takes is shown in part, and the foot says so.
        const std::string many = folder.filePath(QStringLiteral("sok.css")).toStdString();
        QVERIFY(writeBytes(many, styleSheet({}, std::vector<ModelDiv>(PreviewFeed::shownDivs + 1))));
        driver.script.answer(SaveAnswer::Discard);
        driver.script.confirmFile(many);
        form.Megynits1->trigger();
        QVERIFY(waitUntilShown(form));
        const QJsonObject shownPart = probe(form);
        QVERIFY(shownPart.contains(QStringLiteral("div%1").arg(PreviewFeed::shownDivs - 1)));
        QVERIFY(!shownPart.contains(QStringLiteral("div%1").arg(PreviewFeed::shownDivs)));
        QCOMPARE(form.StatusText(), "Az előnézet csak az első " + std::to_string(PreviewFeed::shownDivs) + " divet mutatja");
        // Divs one below another: each name above its box, where the page has room.
        form.Krvonalak1->trigger();
        QVERIFY(waitUntilShown(form));
        const QStringList labelTops = computed(probe(form), "prizmo-labels", "tops").split(QLatin1Char(' '));
        QCOMPARE(labelTops.size(), PreviewFeed::shownDivs);
        QCOMPARE(labelTops[0], QStringLiteral("8"));
        QVERIFY2(labelTops[1].toInt() < 208 && labelTops[1].toInt() > 190, qPrintable(labelTops[1]));
        form.Krvonalak1->trigger();

        form.Elnzet1->trigger();   // off, and remembered off for the windows that follow
        QCOMPARE(form.StatusText(), std::string());
        QVERIFY(!form.Preview && !form.Elnzet1->isChecked());
    }

    // However the preview ends, the editor goes on; the item is off, the line says why, and
    // turning it on again starts a new one.
    void anEndedPreviewLeavesTheEditor_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("line");
        QTest::addRow("killed") << "kill" << "Az előnézet leállt";
        QTest::addRow("no such program") << "missing" << "Az előnézet nem indult el";
        if (geteuid() == 0)
            QTest::addRow("root, sandbox on") << "sandbox" << "Az előnézet nem indult el";
    }
    void anEndedPreviewLeavesTheEditor()
    {
        QFETCH(QString, how);
        QFETCH(QString, line);
        ProbedFormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        const QSize designed = form.ClientArea()->size();
        form.previewProgram = how == QLatin1String("missing") ? "/nonexistent/prizmo-preview" : PRIZMO_PREVIEW_PROGRAM;
        const QByteArray sandbox = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        if (how == QLatin1String("sandbox"))
            qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        turnOn(form);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandbox);
        if (how == QLatin1String("kill")) {
            QVERIFY(waitUntilShown(form));
            ::kill(static_cast<pid_t>(form.Preview->processId()), SIGKILL);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!form.Preview, patienceMs);
        QVERIFY(!form.Elnzet1->isChecked());
        QCOMPARE(form.StatusText(), line.toStdString());
        QTRY_COMPARE(form.ClientArea()->size(), designed);   // the window grew by the line
        QVERIFY(driver.script.messages.empty());
        driver.type(form.Edit1, "77");
        driver.done();
        QCOMPARE(form.divs[0]->getWidth(), 77);

        form.previewProgram = PRIZMO_PREVIEW_PROGRAM;
        turnOn(form);
        QCOMPARE(form.StatusText(), std::string());
        QTRY_COMPARE(form.ClientArea()->size(), designed);   // and gave the room back
        QVERIFY(waitUntilShown(form));
        form.Elnzet1->trigger();   // off, and remembered off for the next row
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"

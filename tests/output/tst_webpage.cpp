#include "Files.h"
#include "FormDriver.h"
#include "StdStringOutput.h"
#include "StyleSheetModel.h"

#include "output/WebPageWriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Texts = std::vector<std::string>;

namespace {

std::vector<std::unique_ptr<DivStyle>> records(const std::vector<ModelDiv>& divs)
{
    std::vector<std::unique_ptr<DivStyle>> made;
    for (const ModelDiv& div : divs)
        made.push_back(recordOf(div));
    return made;
}

std::string page(const std::optional<ModelBody>& body, const std::vector<ModelDiv>& divs,
                 const std::string& folder = "/home/éva/lapok", const std::string& title = "oldal")
{
    const std::optional<BodyStyle> bodyRecord = body ? std::optional(recordOf(*body)) : std::nullopt;
    const auto divRecords = records(divs);
    return webPage(title, bodyRecord ? &*bodyRecord : nullptr, divRecords, folder);
}

// The text between two markers of the page.
std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    const auto start = text.find(from);
    if (start == std::string::npos)
        return "<no " + from + ">";
    const auto end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end == std::string::npos ? std::string::npos : end - start - from.size());
}

const std::string defaultDivRule = "  width: 100px;\n  height: 200px;\n  font-size: 14px;\n"
                                   "  float: none;\n  position: relative;\n";

} // namespace

class TestWebPage : public QObject
{
    Q_OBJECT

private slots:
    // Each of the records' values as standard CSS, in the records' order.
    void eachValueInCss_data()
    {
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("fontColor");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("floatValue");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("rule");
        const auto rule = [](const char* middle) { return QString::fromUtf8(middle); };
        QTest::addRow("defaults") << "" << "" << 100 << "none" << "relative" << QString::fromStdString(defaultDivRule);
        QTest::addRow("colours") << "#12AB03" << "#0000FF" << 100 << "none" << "relative"
            << rule("  width: 100px;\n  height: 200px;\n  background-color: #12AB03;\n  font-size: 14px;\n"
                    "  color: #0000FF;\n  float: none;\n  position: relative;\n");
        QTest::addRow("picture inside the page's folder") << "/home/éva/lapok/képek/nyári kép.png" << "" << 100 << "left" << "absolute"
            << rule("  width: 100px;\n  height: 200px;\n  background-image: url(\"./k%C3%A9pek/ny%C3%A1ri%20k%C3%A9p.png\");\n"
                    "  font-size: 14px;\n  float: left;\n  position: absolute;\n");
        QTest::addRow("picture outside it") << "/srv/közös/csík \"1\".png" << "" << 100 << "right" << "inherit"
            << rule("  width: 100px;\n  height: 200px;\n  background-image: url(\"file:///srv/k%C3%B6z%C3%B6s/cs%C3%ADk%20%221%22.png\");\n"
                    "  font-size: 14px;\n  float: right;\n  position: inherit;\n");
        QTest::addRow("negative width") << "" << "" << -10 << "inherit" << "relative"
            << rule("  /* width: -10px kimaradt: a CSS nem enged negatív méretet */\n  height: 200px;\n"
                    "  font-size: 14px;\n  float: inherit;\n  position: relative;\n");
        QTest::addRow("a font colour that is no colour") << "" << "red;}</style>" << 0 << "none" << "relative"
            << rule("  width: 0px;\n  height: 200px;\n  font-size: 14px;\n  /* color kimaradt: nem színkód */\n"
                    "  float: none;\n  position: relative;\n");
    }
    void eachValueInCss()
    {
        QFETCH(QString, background);
        QFETCH(QString, fontColor);
        QFETCH(int, width);
        QFETCH(QString, floatValue);
        QFETCH(QString, position);
        QFETCH(QString, rule);
        const std::string html = page({}, {{.width = width, .background = background.toStdString(),
                                            .fontColor = fontColor.toStdString(),
                                            .floatValue = floatValue.toStdString(),
                                            .position = position.toStdString()}});
        QCOMPARE(between(html, "#div0 {\n", "}"), rule.toStdString());
    }

    void theBodyRule()
    {
        const std::string html = page(ModelBody{-3, "#FFF8E7", "#333333"}, {});
        QCOMPARE(between(html, "body {\n", "}"),
                 std::string("  background-color: #FFF8E7;\n  /* font-size: -3px kimaradt: a CSS nem enged "
                             "negatív méretet */\n  color: #333333;\n"));
        QCOMPARE(between(html, "<body>\n", "</body>"), std::string());
    }

    // Divs nest as "Ok" recorded them; a loop of parents or a parent that is no live div
    // leaves a div at the top level.
    void theNesting_data()
    {
        QTest::addColumn<std::vector<int>>("parents");
        QTest::addColumn<QString>("elements");
        QTest::addRow("none") << std::vector<int>{-1, -1} << "<div id=\"div0\">div0</div>\n<div id=\"div1\">div1</div>\n";
        QTest::addRow("chain") << std::vector<int>{-1, 0, 1}
            << "<div id=\"div0\">div0\n<div id=\"div1\">div1\n<div id=\"div2\">div2</div>\n</div>\n</div>\n";
        QTest::addRow("siblings in number order") << std::vector<int>{2, -1, -1, 2}
            << "<div id=\"div1\">div1</div>\n<div id=\"div2\">div2\n<div id=\"div0\">div0</div>\n"
               "<div id=\"div3\">div3</div>\n</div>\n";
        QTest::addRow("loop, and a div hanging from it") << std::vector<int>{1, 0, 0}
            << "<div id=\"div0\">div0\n<div id=\"div2\">div2</div>\n</div>\n<div id=\"div1\">div1</div>\n";
        QTest::addRow("its own parent") << std::vector<int>{0} << "<div id=\"div0\">div0</div>\n";
        QTest::addRow("stale parent") << std::vector<int>{-1, 7} << "<div id=\"div0\">div0</div>\n<div id=\"div1\">div1</div>\n";
    }
    void theNesting()
    {
        QFETCH(std::vector<int>, parents);
        QFETCH(QString, elements);
        std::vector<ModelDiv> divs;
        for (const int parent : parents)
            divs.push_back({.parent = parent});
        QCOMPARE(between(page({}, divs), "<body>\n", "</body>"), elements.toStdString());
    }

    // A real validator finds nothing to say about a page with every kind of value.
    void thePageIsValidHtml()
    {
        const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
        if (tidy.isEmpty())
            QSKIP("tidy is not installed (the test command installs it)");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("oldal.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(page(ModelBody{16, "/home/éva/lapok/háttér.png", "#333333"},
                                                  {{.width = -1, .fontColor = "kék"}, {.parent = 0, .background = "#FFFFFF"},
                                                   {.parent = 2}})));
        file.close();
        QFile empty(folder.filePath(QStringLiteral("üres.html")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write(QByteArray::fromStdString(page({}, {})));
        empty.close();
        QProcess check;
        check.start(tidy, {QStringLiteral("-e"), QStringLiteral("-q"), path, empty.fileName()});
        QVERIFY(check.waitForFinished());
        QCOMPARE(QString::fromUtf8(check.readAllStandardError() + check.readAllStandardOutput()), QString());
        QCOMPARE(check.exitCode(), 0);
    }

    // "Weboldal" writes the page and changes nothing: it is no save.
    void weboldalWritesThePageAndChangesNothing()
    {
        QTemporaryDir folder;
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        driver.newDiv();
        driver.openSavePanel();
        driver.click(form.Button6);   // refused: the edit is open
        driver.done();
        driver.pick(form.ComboBox3, 1);
        driver.pick(form.ComboBox4, 0);
        driver.ok();

        const std::string name = folder.filePath(QStringLiteral("lap.html")).toStdString();
        driver.script.confirmFile(name);
        driver.click(form.Button6);
        driver.script.confirmFile("/dev/full");
        driver.click(form.Button6);

        QCOMPARE(readBytes(QString::fromStdString(name)).value_or(""),
                 page({}, {{}, {.parent = 0}}, folder.path().toStdString(), "lap"));
        QCOMPARE(driver.script.messages, (Texts{"Előbb nyomd meg a KÉSZ gombot!", "A weboldalt nem sikerült menteni"}));
        QCOMPARE(driver.script.dialogRuns, (Texts{"save .html", "save .html"}));
        QCOMPARE(form.lastDiv, 1);
        QVERIFY(form.stylesheetUnsaved());
        QCOMPARE(driver.entries(form.ComboBox3), (Texts{"div0", "div1"}));
        QVERIFY(form.Panel3->isVisible());
    }
};

QTEST_MAIN(TestWebPage)
#include "tst_webpage.moc"

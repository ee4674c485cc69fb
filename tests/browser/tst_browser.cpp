// The README walk's stylesheet, with div 1 nested in div 0, as a web page in headless
// Chromium: every value the person chose must be applied, and div 1 must lie inside div 0.

#include "StyleSheetModel.h"

#include "output/WebPageWriter.h"

#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Writes what the browser computed into the page, where --dump-dom shows it.
const char* const computedStyles = R"(<script>
const names = ['background-color', 'background-image', 'font-size', 'color', 'width', 'height',
               'float', 'position', 'margin-top', 'margin-left', 'padding-right', 'border-top-width',
               'border-top-style', 'border-top-color', 'border-top-left-radius', 'top', 'left', 'text-align',
               'font-family', 'font-weight', 'opacity'];
const read = element => {
  const style = getComputedStyle(element);
  return Object.fromEntries(names.map(name => [name, style.getPropertyValue(name)]));
};
const result = {
  body: read(document.body),
  div0: read(document.getElementById('div0')),
  div1: read(document.getElementById('div1')),
  div1Parent: document.getElementById('div1').parentElement.id,
  declared: Object.fromEntries([...document.styleSheets[0].cssRules].map(rule => [rule.selectorText, rule.style.cssText])),
};
const out = document.createElement('pre');
out.id = 'computed';
out.textContent = JSON.stringify(result);
document.body.appendChild(out);
</script>
)";

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void theBrowserAppliesEveryChoice()
    {
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            QSKIP("Chromium is not installed (the test command installs it)");
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("képek")));
        const QString picture = folder.filePath(QStringLiteral("képek/csík.png"));
        QImage stripe(20, 20, QImage::Format_RGB32);
        stripe.fill(Qt::darkYellow);
        QVERIFY(stripe.save(picture));

        const BodyStyle body = recordOf(ModelBody{16, "#FFF8E7", "#333333", "\n\rmargin:0px 0px 0px 0px;\n\rtext-align:center;"});
        std::vector<std::unique_ptr<DivStyle>> divs;
        divs.push_back(recordOf({.width = 600, .height = 400, .background = "#FFFFFF",
                                 .fontColor = "#0000FF", .floatValue = "left",
                                 .box = "\n\rmargin:4px 8px 4px 8px;\n\rpadding:2px 3px 2px 3px;\n\rborder:1px solid #FF0000;"
                                        "\n\rborder-radius:6px;\n\rfont-weight:bold;"}));
        divs.push_back(recordOf({.width = 200, .height = 100, .fontSize = 12, .parent = 0,
                                 .background = picture.toStdString(), .floatValue = "right",
                                 .position = "absolute",
                                 .box = "\n\rtop:10px;\n\rleft:-5px;\n\rtext-align:right;\n\rfont-family:monospace;"
                                        "\n\ropacity:0.5;"}));
        std::string html = webPage("oldal", &body, divs, folder.path().toStdString());
        html.insert(html.find("</body>"), computedStyles);
        const QString page = folder.filePath(QStringLiteral("oldal.html"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(html));
        file.close();

        QProcess browser;
        browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                 QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                                 QStringLiteral("--disable-background-networking"),
                                 QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                                 QStringLiteral("--user-data-dir=") + folder.filePath(QStringLiteral("profile")),
                                 QStringLiteral("--dump-dom"), QUrl::fromLocalFile(page).toString()});
        QVERIFY(browser.waitForFinished(90'000));
        const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
        const qsizetype start = dom.indexOf(QLatin1String("<pre id=\"computed\">"));
        QVERIFY2(start >= 0, qPrintable(QString::fromUtf8(browser.readAllStandardError())));
        const qsizetype from = start + qsizetype(sizeof "<pre id=\"computed\">" - 1);
        const QJsonObject computed =
            QJsonDocument::fromJson(dom.mid(from, dom.indexOf(QLatin1String("</pre>"), from) - from).toUtf8()).object();

        // What the person chose, as the browser computes it; float on an absolutely
        // positioned div is computed as none by CSS itself, so its declared value counts.
        const struct { const char* element; const char* property; QString expected; } chosen[] = {
            {"body", "background-color", QStringLiteral("rgb(255, 248, 231)")},
            {"body", "font-size", QStringLiteral("16px")},
            {"body", "color", QStringLiteral("rgb(51, 51, 51)")},
            {"body", "margin-top", QStringLiteral("0px")},
            {"body", "text-align", QStringLiteral("center")},
            {"div0", "width", QStringLiteral("600px")},
            {"div0", "height", QStringLiteral("400px")},
            {"div0", "background-color", QStringLiteral("rgb(255, 255, 255)")},
            {"div0", "font-size", QStringLiteral("14px")},
            {"div0", "color", QStringLiteral("rgb(0, 0, 255)")},
            {"div0", "float", QStringLiteral("left")},
            {"div0", "position", QStringLiteral("relative")},
            {"div0", "margin-top", QStringLiteral("4px")},
            {"div0", "margin-left", QStringLiteral("8px")},
            {"div0", "padding-right", QStringLiteral("3px")},
            {"div0", "border-top-width", QStringLiteral("1px")},
            {"div0", "border-top-style", QStringLiteral("solid")},
            {"div0", "border-top-color", QStringLiteral("rgb(255, 0, 0)")},
            {"div0", "border-top-left-radius", QStringLiteral("6px")},
            {"div0", "font-weight", QStringLiteral("700")},
            {"div1", "width", QStringLiteral("200px")},
            {"div1", "height", QStringLiteral("100px")},
            {"div1", "background-image", QStringLiteral("url(\"%1\")").arg(QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded))},
            {"div1", "font-size", QStringLiteral("12px")},
            {"div1", "declared float", QStringLiteral("right")},
            {"div1", "position", QStringLiteral("absolute")},
            {"div1", "top", QStringLiteral("10px")},
            {"div1", "left", QStringLiteral("-5px")},
            {"div1", "text-align", QStringLiteral("right")},
            {"div1", "font-family", QStringLiteral("monospace")},
            {"div1", "opacity", QStringLiteral("0.5")},
        };
        int applied = 0;
        QStringList missed;
        for (const auto& choice : chosen) {
            const QString property = QString::fromLatin1(choice.property);
            QString value = computed[QLatin1String(choice.element)][property].toString();
            if (property.startsWith(QLatin1String("declared "))) {
                const QString declared = computed[QLatin1String("declared")][QLatin1String("#div1")].toString();
                const QString name = property.mid(9) + QLatin1String(": ");
                const qsizetype at = declared.indexOf(name);
                value = at < 0 ? QString() : declared.mid(at + name.size()).section(QLatin1Char(';'), 0, 0);
            }
            if (value == choice.expected)
                ++applied;
            else
                missed << QStringLiteral("%1 %2: %3, not %4").arg(QLatin1String(choice.element), property, value, choice.expected);
        }
        qInfo("%d of %d declarations chosen are applied", applied, int(std::size(chosen)));
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1String("; "))));
        QCOMPARE(computed[QLatin1String("div1Parent")].toString(), QStringLiteral("div0"));
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"

#include "StdStringOutput.h"
#include "StyleSheetModel.h"

#include "Files.h"
#include "input/CssRulesAside.h"
#include "input/InputFile.h"
#include "input/ParseArena.h"
#include "input/StyleSheetReader.h"
#include "input/WebPageReader.h"
#include "model/Nesting.h"
#include "model/Properties.h"
#include "output/WebPageWriter.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <random>
#include <stdexcept>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using Divs = std::vector<ModelDiv>;

namespace {

// The bytes between lines in each accepted form.
enum class LineForm { Prizmo, PrizmoAfterMark, Windows, EditorLf, EditorCrLf, EditorLfNoFinalBreak, WebPage };

std::string inForm(const std::string& prizmoBytes, LineForm form)
{
    std::string text = form == LineForm::PrizmoAfterMark ? "\xEF\xBB\xBF" : "";
    const auto breakBefore = [form] {
        switch (form) {
        case LineForm::Prizmo: return "\n\r";
        case LineForm::Windows: return "\r\n\r";
        case LineForm::EditorCrLf: return "\r\n";
        default: return "\n";
        }
    }();
    const bool introduced = form == LineForm::Prizmo || form == LineForm::PrizmoAfterMark || form == LineForm::Windows;
    for (std::size_t at = 0; at < prizmoBytes.size(); ++at) {
        if (prizmoBytes.compare(at, 2, "\n\r") == 0) {
            if (introduced || at > 0)
                text += breakBefore;
            ++at;
        } else {
            text += prizmoBytes[at];
        }
    }
    if ((form == LineForm::EditorLf || form == LineForm::EditorCrLf) && !text.empty())
        text += breakBefore;
    return text;
}

struct Read {
    std::optional<ModelBody> body;
    Divs divs;
    int badLine = 0;
    bool operator==(const Read&) const = default;
};

Read readRecords(const std::optional<StyleSheetRecords>& records, int badLine)
{
    Read result{std::nullopt, {}, badLine};
    if (records) {
        const StyleSheetRecords* const read = &*records;
        if (read->body)
            result.body = modelOf(*read->body);
        for (const auto& div : read->divs)
            result.divs.push_back(modelOf(*div));
    }
    return result;
}

Read read(const std::string& bytes)
{
    const StyleSheetReading reading = readStyleSheet(bytes);
    return readRecords(reading.records, reading.badLine);
}

const std::string pageFolder = "/srv/lap";

std::vector<std::unique_ptr<DivStyle>> records(const Divs& divs)
{
    std::vector<std::unique_ptr<DivStyle>> made;
    for (const ModelDiv& div : divs)
        made.push_back(recordOf(div));
    return made;
}

std::string page(const Read& sheet)
{
    const std::optional<BodyStyle> body = sheet.body ? std::optional(recordOf(*sheet.body)) : std::nullopt;
    return webPage("lap", body ? &*body : nullptr, records(sheet.divs), pageFolder);
}

// Stylesheets with every kind of value the records can hold.
class RandomStyleSheets
{
public:
    // A web page's: the values a page carries, and nesting.
    RandomStyleSheets(std::uint32_t seed, bool forPage) : random(seed), forPage(forPage) {}

    Read next()
    {
        Read sheet;
        if (pick(0, 1))
            sheet.body = ModelBody{number(), background(), fontColor(), box(true)};
        const int count = pick(0, 5);
        for (int n = count; n > 0; --n)
            sheet.divs.push_back({number(), number(), number(), forPage ? pick(-1, count) : -1, background(), fontColor(),
                                  std::string(propertyNamed("float").keywords[pick(0, 3)]),
                                  std::string(propertyNamed("position").keywords[pick(0, 2)]), box(false)});
        return sheet;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    std::int32_t number()
    {
        static const std::int32_t edges[] = {0, -1, 14, INT32_MIN, INT32_MAX, 100000};
        return pick(0, 1) ? edges[pick(0, 5)] : std::uniform_int_distribution<std::int32_t>()(random);
    }
    std::string text()
    {
        static const char* const texts[] = {"", "#FF0000", "/home/éva/nyári kép (1).png",
                                            "C:\\Képek\\ő ű.bmp", "a;b;", "  ", "{}", "#div0"};
        return texts[pick(0, 7)];
    }
    // Pictures inside the page's folder and outside it, by the full paths the dialog gives.
    std::string background()
    {
        static const char* const pictures[] = {"", "#FF0000", "#a0b1c2", "/srv/lap/kép (1).png",
                                               "/srv/lap/al mappa/x;y}#1?.png", "/home/éva/nyári kép (1).png",
                                               "/srv/lapok/50% \"a\".png"};
        return forPage ? pictures[pick(0, 6)] : text();
    }
    // Some of the box's lines, each away from its default, in their order and form.
    std::string box(bool forBody)
    {
        std::string lines;
        const auto sides = [this](int least) {
            std::string text = std::to_string(pick(1, 40));
            for (int side = 0; side < 3; ++side)
                text += "px " + std::to_string(least < 0 && pick(0, 1) ? (pick(0, 3) ? -pick(1, 9) : INT32_MIN) : pick(0, 99));
            return text + "px";
        };
        const auto line = [&](bool bodyHasIt, const std::string& text) {
            if ((bodyHasIt || !forBody) && pick(0, 2) == 0)
                lines += "\n\r" + text + ";";
        };
        line(true, "margin:" + sides(-1));
        line(true, "padding:" + sides(0));
        line(false, "border:" + std::to_string(pick(0, 1) ? 0 : pick(1, INT32_MAX)) + "px "
                        + std::string(propertyNamed("border").keywords[pick(1, 4)]) + (pick(0, 1) ? " #1A2B3C" : ""));
        line(false, "border-radius:" + std::to_string(pick(1, 99)) + "px");
        line(false, "top:" + std::to_string(pick(INT32_MIN + 1, INT32_MAX)) + "px");
        line(false, "left:" + std::to_string(pick(-20, 20)) + "px");
        line(true, "text-align:" + std::string(propertyNamed("text-align").keywords[pick(1, 3)]));
        static const char* const families[] = {"monospace", "\"DejaVu Sans\", sans-serif", "\"Ő Serif\", serif"};
        line(true, std::string("font-family:") + families[pick(0, 2)]);
        line(true, "font-weight:bold");
        const int percent = pick(0, 99);
        line(false, "opacity:" + std::string(percent == 0 ? "0" : percent % 10 ? "0." + std::to_string(100 + percent).substr(1)
                                                                                  : "0." + std::to_string(percent / 10)));
        return lines;
    }
    std::string fontColor() { return forPage ? std::string(pick(0, 1) ? "#00ff7F" : "") : text(); }
    std::mt19937 random;
    bool forPage = false;
};

} // namespace

Q_DECLARE_METATYPE(LineForm)

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    // What the writer wrote reads back as the same records, in every form of line break.
    void roundTrip_data()
    {
        QTest::addColumn<LineForm>("form");
        QTest::addRow("Prizmo: LF CR before each line") << LineForm::Prizmo;
        QTest::addRow("Prizmo's, after an editor's byte-order mark") << LineForm::PrizmoAfterMark;
        QTest::addRow("Windows: CR LF CR before each line") << LineForm::Windows;
        QTest::addRow("editor: LF after each line") << LineForm::EditorLf;
        QTest::addRow("editor: CR LF after each line") << LineForm::EditorCrLf;
        QTest::addRow("editor: LF, no final break") << LineForm::EditorLfNoFinalBreak;
        QTest::addRow("the web page, with its nesting") << LineForm::WebPage;
    }
    void roundTrip()
    {
        QFETCH(LineForm, form);
        if (form == LineForm::WebPage)
            return webPageRoundTrip();
        RandomStyleSheets sheets(20261209, false);
        for (int i = 0; i < 2000; ++i) {
            const Read sheet = sheets.next();
            const std::string bytes = inForm(styleSheet(sheet.body, sheet.divs), form);
            if (read(bytes) != sheet)
                QFAIL(qPrintable(QStringLiteral("stylesheet %1 reads back otherwise:\n%2").arg(i).arg(QString::fromStdString(bytes))));
        }
        // A long one, whose second half is read on a thread of its own.
        Read longSheet = sheets.next();
        while (longSheet.divs.size() < 15000) {
            const Read more = sheets.next();
            longSheet.divs.insert(longSheet.divs.end(), more.divs.begin(), more.divs.end());
        }
        const std::string bytes = inForm(styleSheet(longSheet.body, longSheet.divs), form);
        QVERIFY(bytes.size() > 1024 * 1024);
        const StyleSheetReading reading = readStyleSheet(bytes);
        QVERIFY(readRecords(reading.records, 0) == longSheet);
        // A div at the box's defaults shares the box of the record all others copy, on
        // whichever thread it was read.
        for (std::size_t n = 0; n < longSheet.divs.size(); ++n)
            QCOMPARE(reading.records->divs[n]->sharesBoxWith(recordAtDefaults<DivStyle>()), longSheet.divs[n].box.empty());
    }

    // A page Prizmo wrote opens as the records it was written from, each div nested as the
    // page shows it, and gives the same page again.
    void webPageRoundTrip()
    {
        RandomStyleSheets sheets(20261210, true);
        for (int i = 0; i < 2000; ++i) {
            Read sheet = sheets.next();
            const std::string bytes = page(sheet);
            const std::vector<std::int32_t> shown = shownParents(records(sheet.divs));
            for (std::size_t n = 0; n < sheet.divs.size(); ++n)
                sheet.divs[n].parent = shown[n];
            const WebPageReading reading = readWebPage(bytes, pageFolder);
            const Read again = readRecords(reading.records, 0);
            if (again != sheet || !reading.leftOut.empty() || page(again) != bytes)
                QFAIL(qPrintable(QStringLiteral("page %1 reads back otherwise (%2):\n%3")
                                     .arg(i).arg(QString::fromStdString(reading.leftOut), QString::fromStdString(bytes))));
        }
    }

    // Pages from elsewhere: what maps, what is left out and said, how the divs are numbered.
    void webPages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("records");   // one line a record; empty: refused
        QTest::addColumn<QString>("said");      // what was left out, or the refusal
        const auto records = [](const std::optional<ModelBody>& body, const Divs& divs) {
            std::string lines = body ? "body: " + describe(*body) + "\n" : "";
            for (const ModelDiv& div : divs)
                lines += describe(div) + "\n";
            return QString::fromStdString(lines);
        };
        QTest::addRow("every kind of declaration")
            << QByteArray("\xEF\xBB\xBF\n<!doctype HTML><html><head><style>\n"
                          "body { background: white; font-size: 16px; margin: 0 }\n"
                          "#div0 { width: 300px; height: 10em; background-color: rgb(255 0 0); color: hsl(120, 100%, 25%);"
                          " float: LEFT; padding: 4px; border: 1px solid }\n"
                          "#div1, .box { background-image: url('file:///home/anna/k%C3%A9p.png'); position: absolute; margin: 2px }\n"
                          "p { color: red }\n@media print { #div0 { width: 1px } }\n"
                          "</style></head><body><div id=\"div0\"><section><div id=\"div1\" style=\"color: blue\">x</div>"
                          "</section></div></body></html>")
            << records(ModelBody{16, "#FFFFFF", "", "\n\rmargin:0px 0px 0px 0px;"},
                       {{.width = 300, .background = "#FF0000", .fontColor = "#008000", .floatValue = "left",
                         .box = "\n\rpadding:4px 4px 4px 4px;\n\rborder:1px solid;"},
                        {.parent = 0, .background = "/home/anna/kép.png", .position = "absolute",
                         .box = "\n\rmargin:2px 2px 2px 2px;"}})
            << "1 deklarációt kihagytam: height (1). 2 szabályt kihagytam: p, @media print. 1 style attribútumot kihagytam.";
        QTest::addRow("the box: shorthands, longhands, other units, sides that disagree")
            << QByteArray("<html><style>#div0 { margin: 4px 8px; margin-left: 2px; padding: 1px 2px 3px; border-width: 2px;"
                          " border-style: dashed; border-color: red; border-radius: 6px 6px; top: -5px; left: auto;"
                          " text-align: CENTER; font-family: 'Noto Sans', Arial, serif; font-weight: 700; opacity: 50% }\n"
                          "#div1 { border-top: 1px solid red; border-right: thin solid red; border-bottom: 1px solid #f00;"
                          " border-left: 1px red solid; margin: 1em; padding-top: 2px }\n"
                          "#div2 { border-top: 1px solid; border-bottom: 2px solid; border-radius: 1px 2px; opacity: 0.333;"
                          " font-weight: 300; font-family: serif }</style></html>")
            << records({}, {{.box = "\n\rmargin:4px 8px 4px 2px;\n\rpadding:1px 2px 3px 2px;\n\rborder:2px dashed #FF0000;"
                                    "\n\rborder-radius:6px;\n\rtop:-5px;\n\rtext-align:center;"
                                    "\n\rfont-family:\"Noto Sans\", serif;\n\rfont-weight:bold;\n\ropacity:0.5;"},
                            {.box = "\n\rpadding:2px 0px 0px 0px;\n\rborder:1px solid #FF0000;"},
                            {.box = "\n\rfont-family:serif;"}})
            << "6 deklarációt kihagytam: border-bottom (1), border-radius (1), border-top (1), font-weight (1), margin (1), "
               "opacity (1).";
        QTest::addRow("colour forms, sizes")
            << QByteArray("<html><style>#div0{color:#abc;width:0 !important;height:12.0px} #div1{color:#AbCdEf}"
                          "#div2{color:rgba(10%, 20%, 30%, 1)} #div3{color:rgba(0,0,255,.5);width:-5px}"
                          "#div4{color:transparent;background:url(kep.png)} #div5{color:RebeccaPurple}</style></html>")
            << records({}, {{.width = 0, .height = 12, .fontColor = "#AABBCC"}, {.fontColor = "#AbCdEf"}, {.fontColor = "#1A334D"},
                            {}, {.background = "/srv/lap/kep.png"}, {.fontColor = "#663399"}})
            << "3 deklarációt kihagytam: color (2), width (1).";
        QTest::addRow("escapes, comments, a property without a value, a block left open")
            << QByteArray("<html><style>/* x */ #\\64 iv0 { color: \\72 ed; width; height: 5px } "
                          "#div1 { background-image: url( \"a b.png\" ) ; font-size: 1\\32 px } #div2{float:left</style>")
            << records({}, {{.height = 5, .fontColor = "#FF0000"}, {.background = "/srv/lap/a b.png"}, {.floatValue = "left"}})
            << "2 deklarációt kihagytam: font-size (1), width (1).";
        QTest::addRow("names in capitals, comments and spaces before a value")
            << QByteArray("<html><style>#div0 { WIDTH: /* x */ 5px; Height :\n 7px; FONT-size:/**/ 9px }</style></html>")
            << records({}, {{.width = 5, .height = 7, .fontSize = 9}}) << "";
        QTest::addRow("numbered in the page's order")
            << QByteArray("<html><style>#div3{width:5px} #div7{}</style><div id=\"div7\"></div><div id=\"div07\"></div></html>")
            << records({}, {{}, {.width = 5}})
            << "A divek nem 0-tól, hézag nélkül számozódtak, ezért a lap sorrendjében új számot kaptak.";
        QTest::addRow("numbers past a million, found again by their names")
            << QByteArray("<html><style>#div1048576{width:5px} #div1{} #div1048576{height:6px}</style>"
                          "<div id=\"div1048576\"><div id=\"div1\"></div></div></html>")
            << records({}, {{.width = 5, .height = 6}, {.parent = 0}})
            << "A divek nem 0-tól, hézag nélkül számozódtak, ezért a lap sorrendjében új számot kaptak.";
        QTest::addRow("Prizmo's page with a font colour that is no colour")
            << QByteArray::fromStdString(page({std::nullopt, {{.fontColor = "piros"}, {.parent = 0}}}))
            << records({}, {{}, {.parent = 0}})
            << "Ezek betűszínét a weboldal nem őrizte meg, mert nem színkód volt: div0.";
        QTest::addRow("Windows-1250, declared by <meta charset>")
            << QByteArray("<!DOCTYPE html><html><head><!-- <meta charset=\"koi8-r\"> --><meta charset=\"windows-1250\">"
                          "<style>#div0 { background-image: url(k\xe9p.png) }</style></head></html>")
            << records({}, {{.background = "/srv/lap/kép.png"}}) << "";
        QTest::addRow("ISO-8859-2, declared by http-equiv")
            << QByteArray("<html><head><meta http-equiv=Content-Type content='text/html; charset=\"ISO-8859-2\"'>"
                          "<style>#div0 { background-image: url(\xf5sz.png) }</style></head></html>")
            << records({}, {{.background = "/srv/lap/ősz.png"}}) << "";
        QTest::addRow("UTF-16 by its byte-order mark")
            << QByteArray::fromRawData(reinterpret_cast<const char*>(u"\uFEFF<html><style>#div0{background-image:url(é.png)}</style>"),
                                       2 * 56)
            << records({}, {{.background = "/srv/lap/é.png"}}) << "";
        QTest::addRow("a charset Prizmo does not know")
            << QByteArray("<html><meta charset=\"x-klingon\"><style>#div0{width:5px}</style></html>")
            << records({}, {{.width = 5}}) << "A lap karakterkészletét (x-klingon) nem ismerem, UTF-8-ként olvastam.";
        std::string deep = "<html><body>";
        Divs deepDivs(514);
        for (std::size_t n = 0; n < deepDivs.size(); ++n) {
            deep += "<div id=\"div" + std::to_string(n) + "\">";
            deepDivs[n].parent = n == 0 ? -1 : std::min<int>(static_cast<int>(n) - 1, 510);
        }
        QTest::addRow("nested deeper than a browser shows")
            << QByteArray::fromStdString(deep) << records({}, deepDivs)
            << "2 div 512 szintnél mélyebben volt: a böngészőkhöz hasonlóan az 512. szintre tettem őket.";
        std::string longStyle = "<html><style>#div0 { width: 1px }\n";
        for (int n = 0; n < 30000; ++n)
            longStyle += "#div1 { height: 2px; foo: 1 }\n";
        QTest::addRow("a style element long enough to be read aside, later rules over earlier")
            << QByteArray::fromStdString(longStyle + "#div0 { width: 3px }</style></html>")
            << records({}, {{.width = 3}, {.height = 2}}) << "30000 deklarációt kihagytam: foo (30000).";
        QTest::addRow("nothing maps") << QByteArray("<!DOCTYPE html><p id=\"div0\" style=\"width:1px\">#div0</p>") << ""
                                      << "Nincs benne body vagy #divN szabály, sem divN azonosítójú div.";
    }
    void webPages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, records);
        QFETCH(QString, said);
        QVERIFY(isWebPage(bytes.toStdString()));
        QTemporaryDir folder;
        const std::string file = QFile::encodeName(folder.filePath(QStringLiteral("lap.html"))).toStdString();
        QVERIFY(writeBytes(file, bytes.toStdString()) && isWebPageFile(file));
        const WebPageReading reading = readWebPage(bytes.toStdString(), pageFolder);
        QString lines;
        if (reading.records) {
            const Read found = readRecords(reading.records, 0);
            lines = found.body ? QString::fromStdString("body: " + describe(*found.body) + "\n") : QString();
            for (const ModelDiv& div : found.divs)
                lines += QString::fromStdString(describe(div) + "\n");
        }
        QCOMPARE(lines, records);
        QCOMPARE(QString::fromStdString(reading.records ? reading.leftOut : reading.refusal), said);
        // A stylesheet is none.
        QVERIFY(!isWebPage(styleSheet({}, {{}})) && !isWebPage("<!DOCTYPE htm") && !isWebPage(" p { }"));
    }

    // libgumbo cannot be stopped on its own: the reading tells how far it is, and stops.
    void aPageReadingTellsItsProgressAndStops()
    {
        std::string bytes = "<!DOCTYPE html><html><body>";
        for (int n = 0; n < 4000; ++n)
            bytes += "<div id=\"div" + std::to_string(n) + "\">x</div>\n";
        std::vector<double> told;
        const WebPageReading whole = readWebPage(bytes, pageFolder, [&told](double done) {
            told.push_back(done);
            return true;
        });
        QVERIFY(whole.records && whole.records->divs.size() == 4000);
        QVERIFY(told.size() > 10 && std::is_sorted(told.begin(), told.end()) && told.front() > 0 && told.back() < 1);
        QVERIFY(told.back() > 0.5);

        int asked = 0;
        const WebPageReading stopped = readWebPage(bytes, pageFolder, [&asked](double) { return ++asked < 3; });
        QCOMPARE(asked, 3);
        QVERIFY(!stopped.records && stopped.refusal.empty());
    }

    void theWindowsFormWithItsCodePage()
    {
        // Part of a file saved on Windows: CR LF CR before each line, Windows-1250 text.
        const std::string bytes =
            "\r\n\rbody\r\n\r{\r\n\rbackground:#FF0000;\r\n\rfont-size:16;\r\n\rfont-color:#000000;\r\n\r}"
            "\r\n\r#div0\r\n\r{\r\n\rwidth:100px;\r\n\rheight:200px;"
            "\r\n\rbackground:C:\\K\xe9pek\\ny\xe1ri \xf5sz.png;"   // é, á and ő in Windows-1250
            "\r\n\rfont-size:14px;\r\n\rfont-color:;\r\n\rfloat:none;\r\n\rposition:relative;\r\n\r}";
        QCOMPARE(read(bytes), (Read{ModelBody{16, "#FF0000", "#000000"},
                                    {{.background = "C:\\Képek\\nyári ősz.png"}}}));

        // A character's first byte alone is no UTF-8 either: Ă in Windows-1250; a font's
        // name is text too.
        QCOMPARE(read("\n\rbody\n\r{\n\rbackground:;\n\rfont-size:14;\n\rfont-color:\xc3;"
                      "\n\rfont-family:\"\xd5 Serif\", serif;\n\r}"),
                 (Read{ModelBody{14, "", "Ă", "\n\rfont-family:\"Ő Serif\", serif;"}, {}}));
    }

    // Anything but the writer's form is refused at the first line that does not fit.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("badLine");
        const std::string div = divText(0, {});
        const auto with = [&div](const char* from, const char* to) {
            std::string text = div;
            text.replace(text.find(from), std::strlen(from), to);
            return QByteArray::fromStdString(text);
        };
        QTest::addRow("another stylesheet") << QByteArray("p { color: red; }") << 1;
        QTest::addRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << 1;
        QTest::addRow("a NUL in a value") << with("background:;", QByteArray("background:\0;", 13).constData()) << 5;
        QTest::addRow("div out of order") << QByteArray::fromStdString(divText(1, {})) << 1;
        QTest::addRow("div 1 twice")
            << QByteArray::fromStdString(divText(0, {}) + divText(1, {}) + divText(1, {})) << 21;
        QTest::addRow("body after a div") << QByteArray::fromStdString(div + bodyText({})) << 11;
        QTest::addRow("missing line") << with("\n\rheight:200px;", "") << 4;
        QTest::addRow("missing closing brace") << QByteArray::fromStdString(div.substr(0, div.size() - 3)) << 10;
        QTest::addRow("number past 32 bits") << with("width:100px;", "width:2147483648px;") << 3;
        QTest::addRow("number with a plus") << with("width:100px;", "width:+100px;") << 3;
        QTest::addRow("leading zero") << with("width:100px;", "width:0100px;") << 3;
        QTest::addRow("no unit") << with("width:100px;", "width:100;") << 3;
        QTest::addRow("unknown float") << with("float:none;", "float:center;") << 8;
        QTest::addRow("unknown position") << with("position:relative;", "position:fixed;") << 9;
        QTest::addRow("space after the colon") << with("float:none;", "float: none;") << 8;
        QTest::addRow("body with a unit") << QByteArray::fromStdString(bodyText({}).replace(
                                                 bodyText({}).find("14;"), 3, "14px;")) << 4;
        QTest::addRow("empty line") << QByteArray("\n\rbody\n\r\n\r{") << 2;
        // Long files, whose second half is read on a thread of its own; a div has ten lines.
        const auto divs = [](std::size_t from, std::size_t to, std::size_t faulty = SIZE_MAX) {
            std::string text;
            for (std::size_t n = from; n < to; ++n)
                text += n == faulty ? divText(n, {}).replace(divText(n, {}).find("width:"), 6, "width:+") : divText(n, {});
            return text;
        };
        QTest::addRow("a long file, a fault in its first half") << QByteArray::fromStdString(divs(0, 12000, 100)) << 1003;
        QTest::addRow("a long file, a fault in its second half") << QByteArray::fromStdString(divs(0, 12000, 9000)) << 90003;
        // The line half way is the second of a div given twice.
        std::string halfWay = divs(0, 6000);
        const std::size_t middle = halfWay.size();
        halfWay += divText(5999, {});
        std::size_t next = 6000;
        while (halfWay.size() + 2 * divText(next, {}).size() < 2 * middle)
            halfWay += divText(next++, {});
        halfWay += divText(next, {.background = std::string(2 * middle - halfWay.size() - divText(next, {}).size(), 'a')});
        QTest::addRow("a long file, half way a div given twice") << QByteArray::fromStdString(halfWay) << 60001;
        const auto box = [&div](const char* lines) {
            std::string text = div;
            return QByteArray::fromStdString(text.insert(text.size() - 3, lines));
        };
        QTest::addRow("the box's lines out of order") << box("\n\rpadding:1px 1px 1px 1px;\n\rmargin:1px 1px 1px 1px;") << 11;
        QTest::addRow("three sides") << box("\n\rmargin:1px 2px 3px;") << 10;
        QTest::addRow("a negative padding") << box("\n\rpadding:1px -2px 3px 4px;") << 10;
        QTest::addRow("a border of no style") << box("\n\rborder:1px none;") << 10;
        QTest::addRow("a border's colour that is none") << box("\n\rborder:1px solid red;") << 10;
        QTest::addRow("an offset that is the unset one") << box("\n\rtop:-2147483648px;") << 10;
        QTest::addRow("a family without its fallback") << box("\n\rfont-family:\"DejaVu Sans\";") << 10;
        QTest::addRow("an opacity with a trailing zero") << box("\n\ropacity:0.50;") << 10;
        QTest::addRow("an opacity past 1") << box("\n\ropacity:1.5;") << 10;
        QTest::addRow("the default weight, written") << box("\n\rfont-weight:normal;\n\rcolor:red;") << 11;
        // UTF-8 with a byte that is none: no Windows-1250 file, whose accents are never UTF-8.
        const std::string picture = "/home/anna/képek/csík.png";
        QTest::addRow("UTF-8 text and a stray byte")
            << QByteArray::fromStdString(divText(0, {.background = picture, .fontColor = "\xFF"})) << 7;
        QTest::addRow("UTF-8 text and an overlong slash")
            << QByteArray::fromStdString(divText(0, {.background = picture, .fontColor = "\xC0\xAF"})) << 7;
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, badLine);
        const StyleSheetReading reading = readStyleSheet(bytes.toStdString());
        QVERIFY(!reading.records);
        QCOMPARE(reading.badLine, badLine);
    }

    // Qt's Windows-1250 decoder gives nothing for 2^29 bytes or more; a video is no empty
    // stylesheet. Read in a child, whose peak memory is its own: at most twice the file.
    void aHugeFileThatIsNoStylesheetIsRefusedInLittleMemory()
    {
        constexpr std::size_t size = std::size_t{1} << 29;
        const pid_t child = ::fork();
        if (child == 0) {
            // What the child holds from the start is the test's so far (under AddressSanitizer,
            // its quarantine too), none of the reading's.
            rusage start {};
            ::getrusage(RUSAGE_SELF, &start);
            const std::string bytes(size, '\xE9');   // é in Windows-1250, no UTF-8
            const StyleSheetReading reading = readStyleSheet(bytes);
            rusage usage {};
            ::getrusage(RUSAGE_SELF, &usage);
            const bool small = static_cast<std::size_t>(usage.ru_maxrss - start.ru_maxrss) * 1024 <= 2 * size;
            ::_exit(reading.records ? 1 : !small ? 2 : reading.badLine == 1 ? 0 : 3);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);   // 1: read as a stylesheet, 2: too much memory
    }

    // Another program cuts the file short while it is read: refused, never a crash.
    void aFileCutShortWhileReadIsRefused()
    {
        QTemporaryDir folder;
        const std::string path = QFile::encodeName(folder.filePath(QStringLiteral("cut.css"))).toStdString();
        const std::string sheet = styleSheet({}, {{.background = std::string(12 * 1024 * 1024, 'a')}});
        QVERIFY(writeBytes(path, sheet));
        int told = 0;
        const StyleSheetFileReading read = readStyleSheetFile(path, [&](double) {
            if (told++ == 0)
                QFile::resize(QString::fromStdString(path), 100);
            return true;
        });
        QCOMPARE(read.error, EIO);
        QVERIFY(!read.reading.records);
        // And whole, it opens, with its progress told on the way.
        QVERIFY(writeBytes(path, sheet));
        double last = 0;
        const StyleSheetFileReading whole = readStyleSheetFile(path, [&last](double done) { return (last = done) >= 0; });
        QVERIFY(whole.reading.records && whole.reading.records->divs.size() == 1);
        QVERIFY(last > 0.5 && last <= 1.0);
    }

    // A reading tells how far it has come, never back and never past the whole, and stops
    // when told to: on one thread, in two halves, and read again after the encoding's pass.
    void aReadingTellsItsProgressAndStops_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        std::string divs;
        for (std::size_t n = 0; n < 100000; ++n)
            divs += divText(n, {});
        QTest::addRow("one long value") << QByteArray::fromStdString(styleSheet({}, {{.background = std::string(12 << 20, 'a')}}));
        QTest::addRow("in two halves") << QByteArray::fromStdString(divs);
        QTest::addRow("Windows-1250, seen last") << QByteArray::fromStdString(divs + divText(100000, {.background = "k\xe9p.png"}));
    }
    void aReadingTellsItsProgressAndStops()
    {
        QFETCH(QByteArray, bytes);
        const std::string text = bytes.toStdString();
        std::vector<std::uint64_t> told;
        const StyleSheetReading whole = readStyleSheet(text, [&told](const char*, std::uint64_t done) {
            told.push_back(done);
            return true;
        });
        QVERIFY(whole.records);
        QVERIFY(!told.empty() && std::is_sorted(told.begin(), told.end()));
        QVERIFY(told.back() > text.size() && told.back() <= 2 * text.size());

        int asked = 0;
        const StyleSheetReading stopped = readStyleSheet(text, [&asked](const char*, std::uint64_t) { return ++asked > 1; });
        QVERIFY(!stopped.records && stopped.stopped);
        QCOMPARE(asked, 1);
        QCOMPARE(stopped.badLine, 0);
    }

    void anEmptyFileIsAnEmptyStylesheet()
    {
        QCOMPARE(read(""), Read{});
        QCOMPARE(read("\n"), Read{});
    }

    // Bytes made from real stylesheets by random changes: every one is read or refused,
    // never read past its end (the sanitizer build watches) and never hangs.
    void mutatedStylesheetsNeverBreakTheReader()
    {
        const std::string seeds[] = {
            styleSheet(ModelBody{16, "#FF0000", "#000000"}, {{}, {.width = -5, .floatValue = "left"}}),
            inForm(styleSheet(ModelBody{}, {{.background = "C:\\x.png"}}), LineForm::Windows),
            inForm(styleSheet({}, {{}, {}, {}}), LineForm::EditorCrLf),
        };
        std::mt19937 random(4242);
        const auto pick = [&random](std::size_t high) {
            return std::uniform_int_distribution<std::size_t>(0, high)(random);
        };
        int read = 0;
        for (int i = 0; i < 100000; ++i) {
            std::string bytes = seeds[pick(2)];
            for (std::size_t changes = pick(4) + 1; changes > 0 && !bytes.empty(); --changes) {
                const std::size_t at = pick(bytes.size() - 1);
                switch (pick(3)) {
                case 0: bytes[at] = static_cast<char>(pick(255)); break;
                case 1: bytes.erase(at, pick(8)); break;
                case 2: bytes.insert(at, 1, "\n\r\0;:-9\xc3\xe9{}"[pick(11)]); break;
                default: bytes.resize(at); break;
                }
            }
            const StyleSheetReading reading = readStyleSheet(bytes);
            QVERIFY(reading.records.has_value() != (reading.badLine > 0));
            read += reading.records.has_value();
        }
        QVERIFY(read > 0);
    }

    // A long style sheet read on a thread of its own gives the rules read in place, in their
    // order; an exception while handling them ends the reading and comes out.
    void aLongStyleSheetReadAside()
    {
        std::string css;
        for (int n = 0; css.size() < 1024 * 1024; ++n)
            css += "#div" + std::to_string(n) + " { width: " + std::to_string(n) + "px; /* " + std::to_string(n)
                + " */ }\n@media x { p {} }\n";
        const auto describing = [](std::vector<std::string>& into) {
            return [&into](CssRule& rule) {
                std::string text = rule.prelude;
                for (const CssDeclaration& declaration : rule.declarations)
                    for (const CssToken& token : declaration.value)
                        text += " " + declaration.name + ":" + std::to_string(token.number) + token.text;
                for (const std::string& comment : rule.comments)
                    text += " /*" + comment + "*/";
                into.push_back(std::move(text));
            };
        };
        std::vector<std::string> inPlace, aside;
        forEachCssRule(css, describing(inPlace));
        forEachCssRuleReadAside(css, describing(aside));
        QCOMPARE(aside, inPlace);
        int taken = 0;
        QVERIFY_THROWS_EXCEPTION(std::length_error, forEachCssRuleReadAside(css, [&taken](CssRule&) {
            if (++taken == 5000)
                throw std::length_error("x");
        }));
        QCOMPARE(taken, 5000);
    }

    // The parse's arena: blocks aligned, apart, kept whole while others come and go, a freed
    // one given again for its size, and the arena usable again once released.
    void arenaBlocks_data()
    {
        QTest::addColumn<std::vector<std::size_t>>("sizes");
        QTest::addRow("small, of one size and of several") << std::vector<std::size_t>{0, 1, 8, 8, 24, 100, 8};
        QTest::addRow("at the largest small size and just past it") << std::vector<std::size_t>{4088, 4096, 4097, 4096};
        QTest::addRow("large among small") << std::vector<std::size_t>{16, 1 << 20, 10, 5000, 1 << 16, 16};
    }
    void arenaBlocks()
    {
        QFETCH(std::vector<std::size_t>, sizes);
        ParseArena arena;
        std::vector<unsigned char*> blocks;
        const auto fill = [&](std::size_t at) { std::fill_n(blocks[at], sizes[at], static_cast<unsigned char>(at + 1)); };
        const auto whole = [&](std::size_t at) {
            return std::all_of(blocks[at], blocks[at] + sizes[at], [at](unsigned char c) { return c == at + 1; });
        };
        for (std::size_t at = 0; at < sizes.size(); ++at) {
            blocks.push_back(static_cast<unsigned char*>(arena.allocate(sizes[at])));
            QVERIFY(blocks[at] && reinterpret_cast<std::uintptr_t>(blocks[at]) % 16 == 0);
            fill(at);
        }
        for (std::size_t at = 1; at < sizes.size(); at += 2) {   // every other one, given again
            unsigned char* freed = blocks[at];
            arena.deallocate(freed);
            blocks[at] = static_cast<unsigned char*>(arena.allocate(sizes[at]));
            if (sizes[at] <= 4096)
                QCOMPARE(blocks[at], freed);
            fill(at);
        }
        for (std::size_t at = 0; at < sizes.size(); ++at)
            QVERIFY2(whole(at), qPrintable(QString("block %1 was written over").arg(at)));
        for (unsigned char* block : blocks)   // in the order made: a large one from its list's middle too
            arena.deallocate(block);
        arena.release();
        QVERIFY(arena.allocate(sizes.back()) != nullptr);
    }
};

QTEST_APPLESS_MAIN(TestReader)
#include "tst_reader.moc"

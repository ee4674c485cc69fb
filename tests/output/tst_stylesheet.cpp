#include "Files.h"
#include "StdStringOutput.h"

#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestStyleSheet : public QObject
{
    Q_OBJECT

private slots:
    void bodyBlockLines()
    {
        QCOMPARE(bodyBlock("#FF0000", 12, "#000000"),
                 std::string("\n\rbody\n\r{\n\rbackground:#FF0000;\n\rfont-size:12;"
                             "\n\rfont-color:#000000;\n\r}"));
        QCOMPARE(bodyBlock("", -3, ""),
                 std::string("\n\rbody\n\r{\n\rbackground:;\n\rfont-size:-3;\n\rfont-color:;\n\r}"));
    }

    void divBlockLines()
    {
        QCOMPARE(divBlock(0, 100, 200, "", 14, "", "none", "relative"),
                 std::string("\n\r#div0\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;"
                             "\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"));
        QCOMPARE(divBlock(12, -10, 0, "/home/éva/hát tér.png", -2147483647 - 1, "#0000FF",
                          "right", "inherit"),
                 std::string("\n\r#div12\n\r{\n\rwidth:-10px;\n\rheight:0px;"
                             "\n\rbackground:/home/éva/hát tér.png;\n\rfont-size:-2147483648px;"
                             "\n\rfont-color:#0000FF;\n\rfloat:right;\n\rposition:inherit;\n\r}"));
    }

    void blocksAreWrittenBackToBack()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("stílus lap.css"));
        OutputFile file(path.toStdString());
        QVERIFY(file.isOpen());
        writeBodyBlock(file, "#FF0000", 16, "#000000");
        writeDivBlock(file, 0, 1000, 2000, "/srv/képek/egy nagyon hosszú nevű háttérkép.png", 140,
                      "#00FF00", "inherit", "absolute");
        writeDivBlock(file, 1, 1, 2, "", 3, "", "none", "relative");
        QVERIFY(file.close());
        QCOMPARE(readBytes(path).value(),
                 std::string("\n\rbody\n\r{\n\rbackground:#FF0000;\n\rfont-size:16;"
                             "\n\rfont-color:#000000;\n\r}"
                             "\n\r#div0\n\r{\n\rwidth:1000px;\n\rheight:2000px;"
                             "\n\rbackground:/srv/képek/egy nagyon hosszú nevű háttérkép.png;"
                             "\n\rfont-size:140px;\n\rfont-color:#00FF00;\n\rfloat:inherit;"
                             "\n\rposition:absolute;\n\r}"
                             "\n\r#div1\n\r{\n\rwidth:1px;\n\rheight:2px;\n\rbackground:;"
                             "\n\rfont-size:3px;\n\rfont-color:;\n\rfloat:none;"
                             "\n\rposition:relative;\n\r}"));
    }

    // Far more than the stream holds at once, so the file is written in many pieces.
    void aLargeStyleSheetIsWrittenWhole()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("nagy.css"));
        OutputFile file(path.toStdString());
        std::string expected;
        for (std::int32_t number = 0; number < 20000; ++number) {
            const std::string background(static_cast<std::size_t>(number % 300), 'a' + number % 26);
            writeDivBlock(file, number, number, -number, background, 14, "#0000FF", "left", "inherit");
            expected += divBlock(number, number, -number, background, 14, "#0000FF", "left", "inherit");
        }
        QVERIFY(file.close());
        QVERIFY(expected.size() > 3'000'000);
        QVERIFY(readBytes(path).value() == expected);
    }

    void openingEmptiesAnExistingFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("old.css"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("régi tartalom");
        }
        OutputFile file(path.toStdString());
        QVERIFY(file.close());
        QCOMPARE(readBytes(path).value(), std::string());
    }

    void failuresAreReportedByClose()
    {
        OutputFile missingFolder("/nonexistent-prizmo-folder/a.css");
        QVERIFY(!missingFolder.isOpen());
        writeBodyBlock(missingFolder, "", 14, "");   // writes nothing, fails quietly
        QVERIFY(!missingFolder.close());

        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this machine");
        OutputFile full("/dev/full");
        QVERIFY(full.isOpen());
        writeBodyBlock(full, "", 14, "");   // buffered: only the flush meets the full disk
        QVERIFY(!full.close());
    }

    void anUnfinishedSaveLeavesTheFileAsItWas()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("kept.css"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("régi");
        }
        {
            OutputFile file(path.toStdString());
            writeBodyBlock(file, "", 14, "");
        }
        QCOMPARE(readBytes(path).value(), std::string("régi"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"kept.css"});
    }
};

QTEST_APPLESS_MAIN(TestStyleSheet)
#include "tst_stylesheet.moc"

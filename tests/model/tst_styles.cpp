#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include "StdStringOutput.h"

#include <QTest>

class TestStyles : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        const BodyStyle body;
        QCOMPARE(body.getFontSize(), 14);
        QCOMPARE(body.getBackground(), std::string());
        QCOMPARE(body.getFontColor(), std::string());

        const DivStyle div;
        QCOMPARE(div.getWidth(), 100);
        QCOMPARE(div.getHeight(), 200);
        QCOMPARE(div.getFontSize(), 14);
        QCOMPARE(div.getBackground(), std::string());
        QCOMPARE(div.getFontColor(), std::string());
        QCOMPARE(div.getFloat(), std::string("none"));
        QCOMPARE(div.getPosition(), std::string("relative"));
        QCOMPARE(div.getParent(), -1);
    }

    void floatKeywordByListPosition_data()
    {
        QTest::addColumn<int>("listPosition");
        QTest::addColumn<QString>("keyword");
        // Each row starts from "left", so "kept" rows show the previous keyword staying.
        QTest::addRow("semmilyen") << 0 << "none";
        QTest::addRow("örökölt") << 1 << "inherit";
        QTest::addRow("balra") << 2 << "left";
        QTest::addRow("jobbra") << 3 << "right";
        QTest::addRow("nothing selected keeps") << -1 << "left";
        QTest::addRow("past the list keeps") << 4 << "left";
    }
    void floatKeywordByListPosition()
    {
        QFETCH(int, listPosition);
        QFETCH(QString, keyword);
        DivStyle div;
        div.setFloat(2);
        div.setFloat(listPosition);
        QCOMPARE(QString::fromStdString(div.getFloat()), keyword);
    }

    void positionKeywordByListPosition_data()
    {
        QTest::addColumn<int>("listPosition");
        QTest::addColumn<QString>("keyword");
        // Each row starts from "absolute".
        QTest::addRow("relatív") << 0 << "relative";
        QTest::addRow("abszolult") << 1 << "absolute";
        QTest::addRow("örökölt") << 2 << "inherit";
        QTest::addRow("nothing selected keeps") << -1 << "absolute";
        QTest::addRow("past the list keeps") << 3 << "absolute";
    }
    void positionKeywordByListPosition()
    {
        QFETCH(int, listPosition);
        QFETCH(QString, keyword);
        DivStyle div;
        div.setPosition(1);
        div.setPosition(listPosition);
        QCOMPARE(QString::fromStdString(div.getPosition()), keyword);
    }

    void valuesAreStoredUnchecked()
    {
        DivStyle div;
        div.setWidth(-5);
        div.setHeight(0);
        div.setFontSize(INT32_MIN);
        div.setBackground("C:\\Képek\\háttér 1.png");
        div.setFontColor("");
        div.setParent(7);
        QCOMPARE(div.getWidth(), -5);
        QCOMPARE(div.getHeight(), 0);
        QCOMPARE(div.getFontSize(), INT32_MIN);
        QCOMPARE(div.getBackground(), std::string("C:\\Képek\\háttér 1.png"));
        QCOMPARE(div.getFontColor(), std::string());
        QCOMPARE(div.getParent(), 7);

        BodyStyle body;
        body.setFontSize(-1);
        body.setBackground("#FF0000");
        body.setFontColor("#000000");
        QCOMPARE(body.getFontSize(), -1);
        QCOMPARE(body.getBackground(), std::string("#FF0000"));
        QCOMPARE(body.getFontColor(), std::string("#000000"));
    }
};

QTEST_APPLESS_MAIN(TestStyles)
#include "tst_styles.moc"

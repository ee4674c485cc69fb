#include "StdStringOutput.h"

#include "platform/Conversions.h"
#include "platform/Exception.h"

#include <QTest>

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void strToIntAcceptsIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addRow("plain") << "12" << 12;
        QTest::addRow("negative") << "-7" << -7;
        QTest::addRow("plus sign") << "+3" << 3;
        QTest::addRow("zero") << "0" << 0;
        QTest::addRow("leading zeros") << "007" << 7;
        QTest::addRow("surrounding blanks") << " 20 " << 20;
        QTest::addRow("largest") << "2147483647" << 2147483647;
        QTest::addRow("smallest") << "-2147483648" << INT32_MIN;
    }
    void strToIntAcceptsIntegers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(StrToInt(text.toStdString()), value);
    }

    void strToIntRefusesEverythingElse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("letters") << "abc";
        QTest::addRow("empty") << "";
        QTest::addRow("blank") << "  ";
        QTest::addRow("one past the largest") << "2147483648";
        QTest::addRow("one past the smallest") << "-2147483649";
        QTest::addRow("far too large") << "99999999999999999999";
        QTest::addRow("trailing letters") << "12px";
        QTest::addRow("decimal point") << "1.5";
        QTest::addRow("inner blank") << "1 000";
        QTest::addRow("hexadecimal") << "0x10";
        QTest::addRow("sign alone") << "-";
        QTest::addRow("accented") << "tizenkettő";
    }
    void strToIntRefusesEverythingElse()
    {
        QFETCH(QString, text);
        try {
            StrToInt(text.toStdString());
            QFAIL("no conversion error");
        } catch (const EConvertError& error) {
            // The report names the offending text.
            QVERIFY2(error.Message().find("'" + text.toStdString() + "'") != std::string::npos,
                     error.what());
        }
    }

    void intToStrIsPlainDecimal()
    {
        QCOMPARE(IntToStr(0), std::string("0"));
        QCOMPARE(IntToStr(1234567), std::string("1234567"));
        QCOMPARE(IntToStr(-10), std::string("-10"));
        QCOMPARE(IntToStr(INT32_MIN), std::string("-2147483648"));
    }

    void intToHexIsUpperCaseAndZeroFilled_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        QTest::addRow("zero") << 0 << 2 << "00";
        QTest::addRow("one digit filled") << 10 << 2 << "0A";
        QTest::addRow("full byte") << 255 << 2 << "FF";
        QTest::addRow("wider than asked") << 0x1AB << 2 << "1AB";
        QTest::addRow("width 6") << 0xABC << 6 << "000ABC";
        QTest::addRow("negative is two's complement") << -1 << 2 << "FFFFFFFF";
    }
    void intToHexIsUpperCaseAndZeroFilled()
    {
        QFETCH(int, value);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(IntToHex(value, digits)), text);
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "tst_conversions.moc"

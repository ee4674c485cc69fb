#pragma once

#include <QTest>

#include <string>

// Lets QCOMPARE print the program's UTF-8 texts when they differ.
template <>
inline char* QTest::toString(const std::string& text)
{
    return QTest::toString(QString::fromStdString(text));
}

#pragma once

#include <QtTest>

// Data rows of folder names a connection text could take for its own syntax.
inline void addOddFolderRows()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("semicolon") << "a;b";
    QTest::newRow("equals and semicolons") << "x=y;Data Source=z;";
    QTest::newRow("quotes") << "it's \"quoted\"";
    QTest::newRow("blanks") << " two  blanks ";
    QTest::newRow("chinese") << "订阅 目录";
    QTest::newRow("keys of the text")
        << "a;Persist Security Info=True;Jet OLEDB:Database Password=x;";
    QTest::newRow("ends in a semicolon") << "end;";
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Cell texts, headers, addresses and the entry rule of the data EEPROM windows.

#include "core/formats/eepromtext.h"

#include <QTest>

using namespace eepromtext;

class TestEepromText : public QObject {
    Q_OBJECT
private slots:
    void cellTexts()
    {
        QCOMPARE(cellText(0), QStringLiteral("00"));
        QCOMPARE(cellText(10), QStringLiteral("0A"));
        QCOMPARE(cellText(15), QStringLiteral("0F"));
        QCOMPARE(cellText(16), QStringLiteral("10"));
        QCOMPARE(cellText(0xAB), QStringLiteral("AB"));
        QCOMPARE(cellText(255), QStringLiteral("FF"));
    }

    void pairs()
    {
        QCOMPARE(pairValue(0x81, 0xFF), 255);
        QCOMPARE(pairValue(0x80, 0x80), 0);
        QCOMPARE(pairValue(0x83, 0x81), 0x81);  // bits 1 to 6 of the first byte do not count
        QCOMPARE(pairValue(0xFE, 0x8A), 10);
        QCOMPARE(pairValue(0x80, 0xFF), 127);
    }

    void headersAndAddresses()
    {
        QCOMPARE(columnHeader(1), QStringLiteral("+0h"));
        QCOMPARE(columnHeader(10), QStringLiteral("+9h"));
        QCOMPARE(columnHeader(11), QStringLiteral("+Ah"));
        QCOMPARE(columnHeader(16), QStringLiteral("+Fh"));
        QCOMPARE(rowHeader(1), QStringLiteral(" 00h"));
        QCOMPARE(rowHeader(4), QStringLiteral(" 30h"));
        QCOMPARE(cellAddress(1, 1), 0);
        QCOMPARE(cellAddress(2, 3), 0x12);
        QCOMPARE(cellAddress(4, 16), 63);
        for (int a = 0; a < kBytes; ++a) QCOMPARE(cellAddress(cellRow(a), cellColumn(a)), a);
        QVERIFY(isDataCell(1, 1) && isDataCell(4, 16));
        QVERIFY(!isDataCell(0, 5) && !isDataCell(2, 0) && !isDataCell(5, 1) && !isDataCell(1, 17));
        QCOMPARE(addressLabel(0), QStringLiteral("Add 0"));
        QCOMPARE(addressLabel(10), QStringLiteral("Add A"));
        QCOMPARE(addressLabel(63), QStringLiteral("Add 3F"));
    }

    void hexValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("ff") << "ff" << 255;
        QTest::newRow("7F") << "7F" << 127;
        QTest::newRow("blanks around") << " A " << 10;
        QTest::newRow("blank inside") << "1 F" << 0x1F;
        QTest::newRow("stops at G") << "1G" << 1;
        QTest::newRow("G") << "G" << 0;
        QTest::newRow("0G") << "0G" << 0;
        QTest::newRow("star") << "*" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("minus") << "-1" << 0;
        QTest::newRow("full-width") << QStringLiteral("ＦＦ") << 0;
        QTest::newRow("three digits") << "123" << 0x123;
        QTest::newRow("very long") << "FFFFFFFFFFFFFFFFFFFF" << std::numeric_limits<int>::max();
    }
    void hexValues()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(hexValue(text), value);
    }

    void entries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("value");
        const int none = int(EntryProblem::None);
        const int notOne = int(EntryProblem::NotOneByte);
        const int notValue = int(EntryProblem::NotAValue);
        QTest::newRow("ff") << "ff" << none << 255;
        QTest::newRow("7F") << "7F" << none << 127;
        QTest::newRow("0") << "0" << none << 0;
        QTest::newRow("00") << "00" << none << 0;
        QTest::newRow(" A ") << " A " << none << 10;
        QTest::newRow("1G") << "1G" << none << 1;
        QTest::newRow("G") << "G" << notValue << 0;
        QTest::newRow("0G") << "0G" << notValue << 0;
        QTest::newRow("*") << "*" << notValue << 0;
        QTest::newRow("-1") << "-1" << notValue << 0;
        QTest::newRow(" 0 ") << "  0  " << none << 0;
        QTest::newRow("empty") << "" << notOne << 0;
        QTest::newRow("blanks only") << "   " << notOne << 0;
        QTest::newRow("123") << "123" << notOne << 0;
        QTest::newRow("blank inside") << "1 F" << notOne << 0;
    }
    void entries()
    {
        QFETCH(QString, text);
        QFETCH(int, problem);
        QFETCH(int, value);
        const Entry e = checkEntry(text);
        QCOMPARE(int(e.problem), problem);
        QCOMPARE(e.value, value);
    }

    void problemTexts()
    {
        QCOMPARE(problemText(EntryProblem::NotOneByte), QStringLiteral("１バイトのデータを入力してください"));
        QCOMPARE(problemText(EntryProblem::NotAValue), QStringLiteral("データの値が正しくありません"));
        QCOMPARE(problemText(EntryProblem::OutOfRange), QStringLiteral("データの値が有効範囲を超えています"));
        QCOMPARE(problemText(EntryProblem::None), QString());
    }
};

QTEST_MAIN(TestEepromText)
#include "tst_eeprom_text.moc"

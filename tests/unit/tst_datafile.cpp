// SPDX-License-Identifier: GPL-3.0-or-later
// The data file of the "/F" start: values, groups, short and odd files, and bounded reading.

#include "core/formats/datafile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/types.h>

using namespace datafile;

namespace {
QString writeTemp(QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString p = dir.filePath(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(p));
    f.write(data);
    return p;
}
}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void valueToByte_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("byte");
        QTest::newRow("0") << QByteArray("0") << 0;
        QTest::newRow("255") << QByteArray("255") << 255;
        QTest::newRow("127") << QByteArray("127") << 127;
        QTest::newRow("blanks") << QByteArray("  42\t") << 42;
        QTest::newRow("plus") << QByteArray("+7") << 7;
        QTest::newRow("leading zeros") << QByteArray("007") << 7;
        QTest::newRow("256 low bits") << QByteArray("256") << 0;
        QTest::newRow("300 low bits") << QByteArray("300") << 44;
        QTest::newRow("-1 low bits") << QByteArray("-1") << 255;
        QTest::newRow("-300 low bits") << QByteArray("-300") << 212;
        QTest::newRow("40000 (past 16 bits)") << QByteArray("40000") << (40000 & 0xFF);
        QTest::newRow("huge") << QByteArray("123456789012345678901234567890") << int(0xD2);  // ...890 mod 256
        QTest::newRow("word") << QByteArray("abc") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("fraction") << QByteArray("1.5") << 0;
        QTest::newRow("hex") << QByteArray("0x10") << 0;
        QTest::newRow("inner blank") << QByteArray("1 2") << 0;
        QTest::newRow("trailing text") << QByteArray("12abc") << 0;
    }
    void valueToByte()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, byte);
        QCOMPARE(int(byteFromValue(text)), byte);
    }

    void hugeNumberTakesItsLowEightBits()
    {
        // 10^30 = 2^30 * 5^30: its low eight bits are 0; one more gives 1.
        QCOMPARE(int(byteFromValue("1" + QByteArray(30, '0'))), 0);
        QCOMPARE(int(byteFromValue(QByteArray(29, '0') + "1")), 1);
        QCOMPARE(int(byteFromValue("123456789012345678901234567890")), int(0xD2));
    }

    void valuesAreSplitByCommasAndLines()
    {
        QCOMPARE(splitValues("1,2\n3 , 4\r\n 5\r6\n"), (QList<QByteArray>{"1", "2", "3", "4", "5", "6"}));
        // Blank lines hold no value; an empty field between commas is a value.
        QCOMPARE(splitValues("\n\n1,,3\n   \n\t\n4,\n"), (QList<QByteArray>{"1", "", "3", "4", ""}));
        QCOMPARE(splitValues("\xEF\xBB\xBF" "9,8"), (QList<QByteArray>{"9", "8"}));
        QCOMPARE(splitValues(""), QList<QByteArray>{});
        QCOMPARE(splitValues("1,2,3,4,5", 3), (QList<QByteArray>{"1", "2", "3"}));
        // The line structure does not matter.
        QCOMPARE(splitValues("1\n2\n3\n4"), splitValues("1,2,3,4"));
    }

    void sixtyFourLinesGiveTheBytesInAddressOrder()
    {
        QByteArray text;
        std::array<uint8_t, kBytes> expected{};
        for (int n = 0; n < 64; ++n) {
            const int v = (n * 37 + 5) % 256;
            expected[size_t(n)] = uint8_t(v);
            text += QByteArray::number(n) + "," + QByteArray::number(v) + "\r\n";
        }
        QCOMPARE(bytesFromValues(splitValues(text)), expected);
    }

    void valuesPastTheHundredTwentyEighthAreNeverRead()
    {
        QByteArray text;
        for (int n = 0; n < 64; ++n) text += QByteArray::number(n) + "," + QByteArray::number(n + 1) + "\n";
        text += "64,abc\n65,200\n" + QByteArray(100, ',') + "x\n";
        const QList<QByteArray> values = splitValues(text);
        QCOMPARE(values.size(), kValuesUsed);
        const auto bytes = bytesFromValues(values);
        for (int n = 0; n < 64; ++n) QCOMPARE(int(bytes[size_t(n)]), n + 1);
        // Even a longer list handed over is cut at 128 values.
        QList<QByteArray> many = values;
        for (int i = 0; i < 40; ++i) many << "99";
        QCOMPARE(bytesFromValues(many), bytes);
    }

    void shortFileKeepsTheLastValuesOfEachPosition()
    {
        // Ends at a group boundary: the last complete pair is written again and again.
        auto bytes = bytesFromValues(splitValues("0,10\n1,11\n2,12\n3,13\n"));
        QCOMPARE(int(bytes[0]), 10);
        QCOMPARE(int(bytes[1]), 11);
        QCOMPARE(int(bytes[2]), 12);
        QCOMPARE(int(bytes[3]), 13);
        for (int a = 4; a < 64; a += 2) {
            QCOMPARE(int(bytes[size_t(a)]), 12);
            QCOMPARE(int(bytes[size_t(a + 1)]), 13);
        }
        // Ends inside a group: only the positions read again change.
        bytes = bytesFromValues(splitValues("0,10,1,11,2,12"));
        QCOMPARE(int(bytes[0]), 10);
        QCOMPARE(int(bytes[1]), 11);
        QCOMPARE(int(bytes[2]), 12);  // position 2 got "12"
        QCOMPARE(int(bytes[3]), 11);  // position 4 kept "11"
        // Positions never filled count as 0.
        bytes = bytesFromValues(splitValues("7,9"));
        QCOMPARE(int(bytes[0]), 9);
        QCOMPARE(int(bytes[1]), 0);
        QCOMPARE(int(bytes[63]), 0);
        QCOMPARE(int(bytes[62]), 9);
    }

    void emptyFileWritesZeros()
    {
        QTemporaryDir dir;
        const ReadResult r = readDataFile(writeTemp(dir, "empty.txt", ""));
        QVERIFY(r.ok);
        for (uint8_t b : r.bytes) QCOMPARE(int(b), 0);
    }

    void fileIsReadThroughTheSameRules()
    {
        QTemporaryDir dir;
        const ReadResult r = readDataFile(writeTemp(dir, "d.csv", "0, 255\r\n1, 128\r\n2,127\r\n3,0\r\n4,300\r\n5,-1\r\n6,abc\r\n"));
        QVERIFY(r.ok);
        QCOMPARE(int(r.bytes[0]), 255);
        QCOMPARE(int(r.bytes[1]), 128);
        QCOMPARE(int(r.bytes[2]), 127);
        QCOMPARE(int(r.bytes[3]), 0);
        QCOMPARE(int(r.bytes[4]), 44);
        QCOMPARE(int(r.bytes[5]), 255);
        QCOMPARE(int(r.bytes[6]), 0);
    }

    void filesThatCannotBeReadSayWhy()
    {
        QTemporaryDir dir;
        ReadResult r = readDataFile(dir.filePath("missing.txt"));
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(QStringLiteral("missing.txt")));
        r = readDataFile(dir.path());
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
    }

    void devicesAndPipesAreRefusedWithoutBlocking()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer t;
        t.start();
        ReadResult r = readDataFile(fifo);  // a pipe with no writer would block an open
        QVERIFY(!r.ok);
        r = readDataFile(QStringLiteral("/dev/zero"));  // would never end
        QVERIFY(!r.ok);
        QVERIFY(t.elapsed() < 1000);
    }

    void hugeFilesAreReadOnlyAsFarAsNeeded()
    {
        QTemporaryDir dir;
        // A 1 GiB file (sparse, so the test costs no disk) whose first values are data.
        const QString big = dir.filePath("big.txt");
        {
            QFile f(big);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("0,1\n1,2\n");
            QVERIFY(f.resize(qint64(1) << 30));
        }
        QElapsedTimer t;
        t.start();
        ReadResult r = readDataFile(big);
        QVERIFY(r.ok);
        QCOMPARE(int(r.bytes[0]), 1);
        QCOMPARE(int(r.bytes[1]), 2);
        // One line of 8 MiB digits with no separator: one value, its low bits from what was read.
        const QString line = writeTemp(dir, "line.txt", QByteArray(8 << 20, '1'));
        r = readDataFile(line);
        QVERIFY(r.ok);
        QCOMPARE(int(r.bytes[0]), 0);  // value 1 of group 0 is ignored; value 2 never came
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_MAIN(TestDataFile)
#include "tst_datafile.moc"

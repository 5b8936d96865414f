// SPDX-License-Identifier: GPL-3.0-or-later
// The disassembler against gputils' gpdasm, word for word over all 16384 words, and the
// program memory listing built on it.

#include "core/formats/disasm.h"
#include "core/formats/programlisting.h"
#include "support/hexfiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestDisasm : public QObject {
    Q_OBJECT
private slots:
    // gpdasm reads words 2000h and up of a PIC16F84A as ID, configuration and EEPROM data, so
    // the 16384 words go in two halves, each at word addresses 0000h..1FFFh (the decoding does
    // not depend on the address: a call past 3FFh is data wherever it stands).
    void everyWordAsGpdasm()
    {
        const QString gpdasm = QStandardPaths::findExecutable(QStringLiteral("gpdasm"));
        if (gpdasm.isEmpty()) QFAIL("gpdasm (Debian's gputils) is not installed");
        QTemporaryDir dir;
        int compared = 0;
        for (int half = 0; half < 2; ++half) {
            QByteArray hex;
            for (int a = 0; a < 0x2000; a += 8) {
                QVector<int> ws;
                for (int i = 0; i < 8; ++i) ws << half * 0x2000 + a + i;
                hex += hexfiles::rec(a * 2, hexfiles::words(ws));
            }
            hex += hexfiles::kEnd;
            const QString path = dir.filePath(QStringLiteral("half%1.hex").arg(half));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(hex);
            f.close();
            QProcess p;
            p.start(gpdasm, {QStringLiteral("-p"), QStringLiteral("p16f84a"), path});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            const QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 0x2000);
            for (int a = 0; a < 0x2000; ++a, ++compared) {
                const QString ours = disasm::line(a, half * 0x2000 + a);
                if (ours != lines[a]) QFAIL(qPrintable(QStringLiteral("gpdasm: \"%1\", ours: \"%2\"").arg(lines[a], ours)));
            }
        }
        QCOMPARE(compared, 16384);
    }

    void upperCaseForTheWindow()
    {
        QCOMPARE(disasm::instruction(0x30FE, true), QStringLiteral("movlw   0xFE"));
        QCOMPARE(disasm::instruction(0x2C00, true), QStringLiteral("dw      0x2C00"));
        QCOMPARE(disasm::line(0x2007, 0x3FF1), QStringLiteral("2007:  3ff1  dw      0x3ff1"));
    }

    // The rows of a listing: what folds, what differs, where an address is.
    void listingRows_data()
    {
        QTest::addColumn<QString>("fileWords");  // "address=word ..." in hexadecimal; empty: no file
        QTest::addColumn<QString>("picWords");   // the same over an erased PIC; "-": no PIC
        QTest::addColumn<QStringList>("rows");   // listing::addressText of each, "*" when it differs
        QTest::addColumn<int>("differences");
        const QString id = QStringLiteral("2000h 2001h 2002h 2003h 2004h 2005h 2006h 2007h");
        QTest::newRow("file: a lone 3FFF stays, what it leaves out folds")
            << "0=2805 1=3FFF 2=0186 2007=3FF1" << "-"
            << QStringList{"0000h", "0001h", "0002h", "0003h–03FFh 未使用 (3FFF)", "2007h"} << 0;
        QStringList pic{"0000h", "0001h–0010h 未使用 (3FFF)", "0011h"};
        for (int a = 0x12; a <= 0x21; ++a) pic << QStringLiteral("%1").arg(a, 4, 16, QLatin1Char('0')).toUpper() + 'h';
        QTest::newRow("PIC: 16 erased words fold, 15 do not")
            << "" << "0=2805 11=0186 21=0000 3FF=0000" << (pic + QStringList{"0022h–03FEh 未使用 (3FFF)", "03FFh"} + id.split(' ')) << 0;
        QTest::newRow("both: differences stay unfolded and counted, words the file lacks are not")
            << "0=2805 28=0186 2007=3FF1" << "0=2805 28=0187 1F4=0000 2007=3FF2"
            << (QStringList{"0000h", "0001h–0027h 未使用 (3FFF)", "*0028h", "0029h–01F3h 未使用 (3FFF)", "01F4h",
                            "01F5h–03FFh 未使用 (3FFF)", "2000h", "2001h", "2002h", "2003h", "2004h", "2005h", "2006h", "*2007h"})
            << 2;
        QTest::newRow("both, code protection on: nothing compared")
            << "0=2805 2007=3FE1" << "0=0000 2007=3FE1"
            << (QStringList{"0000h", "0001h–03FFh 未使用 (3FFF)"} + id.split(' ')) << 0;
    }
    void listingRows()
    {
        QFETCH(QString, fileWords);
        QFETCH(QString, picWords);
        QFETCH(QStringList, rows);
        QFETCH(int, differences);
        auto put = [](listing::Image &img, const QString &words) {
            for (const QString &pair : words.split(' ', Qt::SkipEmptyParts)) {
                const int a = pair.section('=', 0, 0).toInt(nullptr, 16);
                const int w = pair.section('=', 1).toInt(nullptr, 16);
                if (a >= listing::kIdAddress) img.id[size_t(a - listing::kIdAddress)] = w;
                else img.program[size_t(a)] = w;
            }
        };
        listing::Image file, pic;
        file.present = !fileWords.isEmpty();
        put(file, fileWords);
        if (picWords != QLatin1String("-")) {
            pic.present = true;
            pic.program.fill(listing::kErased);
            pic.id.fill(listing::kErased);
            put(pic, picWords);
        }
        const listing::Listing l = listing::build(file, pic);
        QStringList got;
        for (const listing::Row &r : l.rows) got << QLatin1String(r.differs ? "*" : "") + listing::addressText(r);
        QCOMPARE(got, rows);
        QCOMPARE(l.differences, differences);
        // Any address of a folded run finds its row.
        if (rows.size() > 1 && rows[1].contains(QStringLiteral("未使用"))) QCOMPARE(l.rowOf(3), 1);
        QCOMPARE(l.unverifiable, QTest::currentDataTag() == QByteArray("both, code protection on: nothing compared"));
    }

    void decodedIdAndConfigurationWords()
    {
        listing::Row config;
        config.kind = listing::Row::Config;
        config.address = listing::kConfigAddress;
        QCOMPARE(listing::describe(config, 0x3FF1),
                 QStringLiteral("オシレータ XT、ウォッチドッグタイマ OFF、パワーアップタイマ ON、コードプロテクト OFF"));
        listing::Row id;
        id.kind = listing::Row::Id;
        id.address = 0x2001;
        QCOMPARE(listing::describe(id, 0x3FFA), QStringLiteral("IDワード 1（下位4ビット Ah）"));
        id.address = 0x2006;
        QCOMPARE(listing::describe(id, 0x0563), QStringLiteral("デバイスID: PIC16F84A リビジョン 3"));
        QCOMPARE(listing::describe(id, 0x3FFF), QStringLiteral("デバイスID: なし"));
    }
};

QTEST_GUILESS_MAIN(TestDisasm)
#include "tst_disasm.moc"

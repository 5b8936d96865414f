// SPDX-License-Identifier: GPL-3.0-or-later
// The disassembler against gputils' gpdasm, word for word over all 16384 words, and the
// program memory listing built on it.

#include "core/formats/disasm.h"
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
        QCOMPARE(disasm::dataLine(0x2007, 0x3FF1), QStringLiteral("2007:  3ff1  dw      0x3ff1"));
        QCOMPARE(disasm::byteLine(0x2100, 0x0E), QStringLiteral("2100:  0e    db      0x0e"));
    }
};

QTEST_GUILESS_MAIN(TestDisasm)
#include "tst_disasm.moc"

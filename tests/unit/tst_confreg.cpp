// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration byte as the register window's four lines.

#include "core/formats/confregtext.h"

#include <QTest>

class TestConfRegText : public QObject {
    Q_OBJECT
private slots:
    void namedBytes_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        QTest::newRow("1Ah") << 0x1A << QStringLiteral("FOSC    HS\r\nWDT     OFF\r\nPWRTE   OFF\r\nCP      OFF");
        QTest::newRow("00h") << 0x00 << QStringLiteral("FOSC    LP\r\nWDT     OFF\r\nPWRTE   ON\r\nCP      ON");
        QTest::newRow("FFh") << 0xFF << QStringLiteral("FOSC    RC\r\nWDT     ON\r\nPWRTE   OFF\r\nCP      OFF");
        QTest::newRow("05h") << 0x05 << QStringLiteral("FOSC    XT\r\nWDT     ON\r\nPWRTE   ON\r\nCP      ON");
    }
    void namedBytes()
    {
        QFETCH(int, byte);
        QFETCH(QString, text);
        QCOMPARE(confreg::decodeConfigByte(uint8_t(byte)), text);
    }

    void everyBitHasItsOwnLineAndTheHighBitsNone()
    {
        const char *osc[] = {"LP", "XT", "HS", "RC"};
        for (int b = 0; b < 256; ++b) {
            const QStringList lines = confreg::decodeConfigByte(uint8_t(b)).split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 4);
            for (const QString &l : lines) QVERIFY(!l.contains(QLatin1Char('\n')) && !l.contains(QLatin1Char('\r')));
            QCOMPARE(lines[0], QStringLiteral("FOSC    ") + QLatin1String(osc[b & 3]));
            QCOMPARE(lines[1], QStringLiteral("WDT     ") + QLatin1String(b & 4 ? "ON" : "OFF"));
            QCOMPARE(lines[2], QStringLiteral("PWRTE   ") + QLatin1String(b & 8 ? "OFF" : "ON"));
            QCOMPARE(lines[3], QStringLiteral("CP      ") + QLatin1String(b & 16 ? "OFF" : "ON"));
            QCOMPARE(confreg::decodeConfigByte(uint8_t(b)), confreg::decodeConfigByte(uint8_t(b & 0x1F)));
        }
    }
};

QTEST_MAIN(TestConfRegText)
#include "tst_confreg.moc"

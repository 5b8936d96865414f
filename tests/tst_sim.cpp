// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated writer, exchange by exchange, without any port in between.

#include "simwriter.h"
#include "ptyserver.h"

#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using sim::Fault;
using sim::SimWriter;

namespace {
// Feeds bytes and returns everything the writer answered.
QByteArray talk(SimWriter &w, const QByteArray &in)
{
    QByteArray out;
    for (char c : in)
        for (const auto &u : w.feed(uint8_t(c))) out.append(char(u.byte));
    return out;
}
QByteArray word(uint16_t v)
{
    QByteArray b;
    b.append(char(0x80 | ((v >> 7) & 0x7F)));
    b.append(char(0x80 | (v & 0x7F)));
    return b;
}
}  // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void probeAndClose()
    {
        SimWriter w;
        QCOMPARE(talk(w, "S"), QByteArray("s"));
        QCOMPARE(talk(w, "C"), QByteArray("c"));
        QCOMPARE(talk(w, "E"), QByteArray());
        QCOMPARE(talk(w, "Z"), QByteArray());
    }

    void programWriteWithSkipsAndConfig()
    {
        SimWriter w;
        QCOMPARE(talk(w, "W"), QByteArray("w"));
        QCOMPARE(talk(w, "I"), QByteArray("i"));
        QCOMPARE(talk(w, QByteArray(1, char(0x90))), QByteArray("w"));  // skip 16 words
        QCOMPARE(talk(w, "D"), QByteArray("w"));
        QCOMPARE(talk(w, word(0x2805)), QByteArray("w"));
        QCOMPARE(talk(w, "D" + word(0x3FFF)), QByteArray("ww"));
        QCOMPARE(w.program[16], uint16_t(0x2805));
        QCOMPARE(w.program[17], uint16_t(0x3FFF));
        QCOMPARE(w.program[15], uint16_t(0x3FFF));
        QCOMPARE(w.writeAddress(), 18);
        QCOMPARE(talk(w, "G"), QByteArray("g"));
        QCOMPARE(talk(w, QByteArray("\x80") + char(0x80 | 0x11)), QByteArray("w"));
        QCOMPARE(w.configWord(), uint16_t(0x11));
        QCOMPARE(talk(w, "E"), QByteArray());
        QCOMPARE(w.state(), SimWriter::State::Idle);
        // Without the "W" handshake the write commands are ignored.
        QCOMPARE(talk(w, "D"), QByteArray());
    }

    void readEraseAndUnpoweredBoard()
    {
        SimWriter w;
        w.program[0] = 0x1234;
        const QByteArray r = talk(w, "R");
        QCOMPARE(r.size(), 1 + 1032 * 2);
        QCOMPARE(r.left(3), QByteArray("r") + word(0x1234));
        QCOMPARE(talk(w, "L"), QByteArray("a"));
        QCOMPARE(w.program[0], uint16_t(0x3FFF));
        w.boardPowered = false;
        QCOMPARE(talk(w, "W"), QByteArray("??"));
        QCOMPARE(talk(w, "L"), QByteArray("??"));
        for (char c : QByteArray("RXFVMY")) QCOMPARE(talk(w, QByteArray(1, c)), QByteArray("?"));
        QCOMPARE(talk(w, "S"), QByteArray("s"));  // the writer itself still answers
    }

    void eepromReadWriteEraseAndBulk()
    {
        SimWriter w;
        QCOMPARE(talk(w, "V"), QByteArray("v"));
        QCOMPARE(talk(w, QByteArray(1, char(0x80 | 0x3F))), QByteArray("v"));
        QCOMPARE(talk(w, "\x81\xFF"), QByteArray("a"));
        QCOMPARE(w.eeprom[0x3F], uint8_t(0xFF));
        QCOMPARE(talk(w, "V\x85\x80\x8A"), QByteArray("vva"));
        QCOMPARE(w.eeprom[5], uint8_t(0x0A));
        const QByteArray x = talk(w, "X");
        QCOMPARE(x.size(), 1 + 128);
        QCOMPARE(x.mid(1 + 10, 2), QByteArray("\x80\x8A"));
        QCOMPARE(talk(w, "F"), QByteArray("a"));
        QCOMPARE(w.eeprom[5], uint8_t(0xFF));
        QByteArray bulk = "M";
        for (int i = 0; i < 64; ++i) bulk += word(uint16_t(i * 3 & 0xFF));
        const QByteArray acks = talk(w, bulk);
        QCOMPARE(acks, QByteArray("m") + QByteArray(63, 'm') + "a");
        for (int i = 0; i < 64; ++i) QCOMPARE(int(w.eeprom[size_t(i)]), i * 3 & 0xFF);
    }

    void configRegisterAndFirmware()
    {
        SimWriter w;
        w.idConfig[7] = 0x3F9A;
        QCOMPARE(talk(w, "Y"), QByteArray("y") + word(0x3F9A));
        w.firmwareVersion = "12";
        QCOMPARE(talk(w, "@"), QByteArray("12a"));
    }

    void faults()
    {
        SimWriter w;
        w.setFault({Fault::Silence, 1, {}, 0});
        QCOMPARE(talk(w, "S"), QByteArray("s"));
        QCOMPARE(talk(w, "S"), QByteArray());
        w.setFault({Fault::WrongReply, 0, "x", 0});
        QCOMPARE(talk(w, "SS"), QByteArray("xs"));
        w.setFault({Fault::ClearBit7, 2, {}, 0});
        QCOMPARE(talk(w, "X").left(4), QByteArray("x\x81\x7F\x81"));
        w.setFault({Fault::Noise, 0, "\x01\x02", 0});
        QCOMPARE(talk(w, "S"), QByteArray("\x01\x02s"));
        w.setFault({Fault::HangUp, 1, {}, 0});
        QCOMPARE(talk(w, "@"), QByteArray("1"));
        QVERIFY(w.hungUp());
        QCOMPARE(talk(w, "S"), QByteArray());
        w.setFault({Fault::SlowReplies, 0, {}, 700});
        const auto units = w.feed('S');
        QCOMPARE(units.size(), 1);
        QCOMPARE(units[0].holdMs, 700);
    }

    void hexImageRoundTrip()
    {
        SimWriter a;
        a.program[1] = 0x0123;
        a.idConfig[7] = 0x001A;
        a.eeprom[63] = 0x42;
        SimWriter b;
        QString error;
        QVERIFY(b.loadHex(a.dumpHex(), &error));
        QCOMPARE(b.program, a.program);
        QCOMPARE(b.idConfig, a.idConfig);
        QCOMPARE(b.eeprom, a.eeprom);
        QVERIFY(!b.loadHex(":10000000FF\n", &error));
        QVERIFY(error.contains("shorter"));
    }

    void servedOnAPseudoTerminal()
    {
        sim::PtyServer server;
        QVERIFY(server.start());
        const int fd = ::open(QFile::encodeName(server.slavePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t;
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        QCOMPARE(::write(fd, "S@", 2), ssize_t(2));
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] {
            char buf[16];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) got.append(buf, int(n));
            return got.size() >= 5;
        }, 3000));
        QCOMPARE(got, QByteArray("s105a"));
        QCOMPARE(server.hostBytes(), QByteArray("S@"));
        QCOMPARE(server.writerBytes(), QByteArray("s105a"));
        ::close(fd);
    }

    void timedModelSpacesBytesByTheLineRate()
    {
        sim::PtyServer server;
        server.setTimed(true);
        QVERIFY(server.start());
        const int fd = ::open(QFile::encodeName(server.slavePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t;
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        QCOMPARE(::write(fd, "X", 1), ssize_t(1));
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] {
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) got.append(buf, int(n));
            return got.size() >= 129;
        }, 5000));
        // 1 byte in and 129 out at 2.083 ms each: at least 268 ms between "X" and the last byte.
        const auto &rec = server.record();
        QVERIFY(rec.last().ms - rec.first().ms >= 265);
        ::close(fd);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"

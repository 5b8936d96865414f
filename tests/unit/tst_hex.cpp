// SPDX-License-Identifier: GPL-3.0-or-later
// HEX record rules, the bounded line reader, the configuration word lookup and the HEX export.

#include "core/formats/hexexport.h"
#include "core/formats/hexrecord.h"
#include "core/protocol/programexchange.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/hexfiles.h"

#include <csignal>
#include <sys/resource.h>

using hexrecord::LineReader;

namespace {
using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;
const QString kHexError = QStringLiteral("Hexファイルにエラーがありました");
}  // namespace

// Keeps the messages the lookup shows.
class Recorder : public ExchangeHost {
public:
    messages::Button show(const messages::Message &m) override
    {
        shown.append(m);
        return messages::Ok;
    }
    QVector<messages::Message> shown;
};

class TestHex : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    Recorder host;
    QVector<messages::Message> &shown = host.shown;

    QString file(const QString &name, const QByteArray &contents)
    {
        const QString p = dir.filePath(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(p));
        f.write(contents);
        return p;
    }
    QList<QByteArray> readAll(const QString &path, LineReader::Status *last)
    {
        LineReader r;
        QList<QByteArray> lines;
        if (!r.open(path)) {
            *last = LineReader::Status::ReadError;
            return lines;
        }
        QByteArray line;
        for (;;) {
            *last = r.next(&line);
            if (*last != LineReader::Status::Line) break;
            lines << line;
        }
        return lines;
    }
    qint16 lookup(const QByteArray &contents, qint16 before = 26)
    {
        return program::configWordFromHex(file(QStringLiteral("look.hex"), contents), host).value_or(before);
    }

private slots:
    void init() { shown.clear(); }

    // ---- record rules -----------------------------------------------------------------------

    void fieldsConvertUpToTheFirstNonHexCharacter()
    {
        using hexrecord::fieldValue;
        QCOMPARE(fieldValue("x1F", 2, 2), 0x1F);
        QCOMPARE(fieldValue("x1f", 2, 2), 0x1F);
        QCOMPARE(fieldValue("xaB", 2, 2), 0xAB);
        QCOMPARE(fieldValue("x1G", 2, 2), 1);
        QCOMPARE(fieldValue("xG1", 2, 2), 0);
        QCOMPARE(fieldValue("x 1", 2, 2), 0);  // a blank is no hex digit
        QCOMPARE(fieldValue("x1", 2, 2), 1);   // the line ends inside the field
        QCOMPARE(fieldValue("x", 2, 2), 0);
        QCOMPARE(fieldValue("", 1, 4), 0);
        QCOMPARE(fieldValue("FFFFF", 1, 4), 0xFFFF);
    }

    void recordFields()
    {
        auto r = hexrecord::parse(":10ABCD00");
        QVERIFY(r.colon);
        QCOMPARE(r.count, 16);
        QCOMPARE(r.address, qint16(qint16(0xABCD - 0x10000)));
        QVERIFY(r.isData() && !r.isEnd());
        QCOMPARE(hexrecord::parse(":00FFFF0001").address, qint16(-1));  // 16-bit signed
        QCOMPARE(hexrecord::parse(":00800001").address, qint16(-32768));
        QCOMPARE(hexrecord::parse(":00400E0001").address, qint16(0x400E));
        QVERIFY(hexrecord::parse(":00000001FF").isEnd());
        QVERIFY(!hexrecord::parse(":02000004FFFFFC").isData());
        QVERIFY(!hexrecord::parse(":02000004FFFFFC").isEnd());
        QVERIFY(!hexrecord::parse("10000000").colon);
        QVERIFY(!hexrecord::parse("").colon);
        QVERIFY(!hexrecord::parse(":").isData());  // empty type: passed over
        // Word i of a record: low byte at 10 + 4i, high byte at 12 + 4i.
        const QByteArray line = ":0400000034121A2B00";
        QCOMPARE(hexrecord::lowByte(line, 0), 0x34);
        QCOMPARE(hexrecord::highByte(line, 0), 0x12);
        QCOMPARE(hexrecord::lowByte(line, 1), 0x1A);
        QCOMPARE(hexrecord::highByte(line, 1), 0x2B);
    }

    void writeWordAddressRoundsHalvesToEven()
    {
        using hexrecord::writeWordAddress;
        QCOMPARE(writeWordAddress(0), 0);
        QCOMPARE(writeWordAddress(1), 0);  // 0.5
        QCOMPARE(writeWordAddress(3), 2);  // 1.5
        QCOMPARE(writeWordAddress(5), 2);  // 2.5
        QCOMPARE(writeWordAddress(0x20), 0x10);
        QCOMPARE(writeWordAddress(0x800), 1024);
        QCOMPARE(writeWordAddress(0x802), 1025);
        QCOMPARE(writeWordAddress(-2), -1);
    }

    void configWordOfARecord()
    {
        qint16 w = 0;
        QByteArray l = rec(0x400E, words({0x3FF1})).trimmed();
        QVERIFY(hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        QCOMPARE(w, qint16(0x3FF1));
        // 16 bytes at 4000h: the last word is 2007h.
        l = rec(0x4000, words({1, 2, 3, 4, 5, 6, 7, 0x1234})).trimmed();
        QVERIFY(hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        QCOMPARE(w, qint16(0x1234));
        // 14 bytes at 4002h: words 2001h..2007h.
        l = rec(0x4002, words({1, 2, 3, 4, 5, 6, 0x0ABC})).trimmed();
        QVERIFY(hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        QCOMPARE(w, qint16(0x0ABC));
        // 14 bytes at 4000h stop at 2006h; a record at 4010h starts after 2007h.
        l = rec(0x4000, words({1, 2, 3, 4, 5, 6, 7})).trimmed();
        QVERIFY(!hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        l = rec(0x4010, words({9})).trimmed();
        QVERIFY(!hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        // An odd start: byte 400Dh, so data bytes 1 and 2 are the word at 400Eh.
        l = rec(0x400D, QByteArray("\x11\x22\x33", 3)).trimmed();
        QVERIFY(hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        QCOMPARE(w, qint16(0x3322));
        // A high byte of 80h or more gives a negative 16-bit word.
        l = rec(0x400E, words({0x8001})).trimmed();
        QVERIFY(hexrecord::configWordOf(hexrecord::parse(l), l, &w));
        QCOMPARE(w, qint16(-32767));
        // Not data: passed over.
        l = rec(0x400E, words({0x11}), 4).trimmed();
        QVERIFY(!hexrecord::configWordOf(hexrecord::parse(l), l, &w));
    }

    // ---- line reader --------------------------------------------------------------------------

    void lineEndsOfEveryKind()
    {
        LineReader::Status last;
        QCOMPARE(readAll(file("a", "one\r\ntwo\nthree\rfour"), &last), (QList<QByteArray>{"one", "two", "three", "four"}));
        QCOMPARE(last, LineReader::Status::End);
        QCOMPARE(readAll(file("b", "one\r\n\r\ntwo\r\n"), &last), (QList<QByteArray>{"one", "", "two"}));
        QCOMPARE(readAll(file("c", ""), &last), QList<QByteArray>{});
        QCOMPARE(last, LineReader::Status::End);
        QCOMPARE(readAll(file("d", "\r\r\n"), &last), (QList<QByteArray>{"", ""}));
    }

    void crLfSplitAcrossReadChunks()
    {
        // The reader takes the file in chunks; a CR LF falling on a chunk edge is one line end.
        for (int pad = 0; pad < 14; ++pad) {
            QByteArray contents = QByteArray(pad, 'A') + "\r\n";
            for (int i = 0; i < 2000; ++i) contents += QByteArray::number(i).rightJustified(10, 'B') + "\r\n";
            LineReader::Status last;
            const auto lines = readAll(file("chunks", contents), &last);
            QCOMPARE(last, LineReader::Status::End);
            QCOMPARE(lines.size(), 2001);
            QCOMPARE(lines[0], QByteArray(pad, 'A'));
            QCOMPARE(lines[1999], QByteArray::number(1998).rightJustified(10, 'B'));
            for (const auto &l : lines.mid(1)) QCOMPARE(l.size(), 10);
        }
    }

    void overlongLinesAndBinaryFilesAreRefused()
    {
        LineReader::Status last;
        const int max = LineReader::kMaxLineLength;
        QCOMPARE(readAll(file("max", QByteArray(max, ':') + "\r\nx"), &last).size(), 2);
        QCOMPARE(last, LineReader::Status::End);
        QCOMPARE(readAll(file("over", "ok\n" + QByteArray(max + 1, ':') + "\n"), &last), QList<QByteArray>{"ok"});
        QCOMPARE(last, LineReader::Status::TooLong);
        QCOMPARE(readAll(file("overend", QByteArray(max + 1, ':')), &last).size(), 0);
        QCOMPARE(last, LineReader::Status::TooLong);
        // 8 MB without a line end: refused after the first kilobyte's worth, not collected.
        QByteArray binary(8 * 1024 * 1024, '\0');
        for (int i = 0; i < binary.size(); ++i) binary[i] = char((i * 7 + 1) % 251 + 14);  // never CR or LF
        QElapsedTimer t;
        t.start();
        QCOMPARE(readAll(file("bin", binary), &last).size(), 0);
        QCOMPARE(last, LineReader::Status::TooLong);
        QVERIFY(t.elapsed() < 1000);
    }

    void onlyRegularFilesOpen()
    {
        LineReader r;
        QVERIFY(!r.open(dir.filePath("missing")));
        QVERIFY(!r.open(dir.path()));
        QVERIFY(!r.open(QStringLiteral("/dev/zero")));
        QVERIFY(!r.open(QString()));
        QVERIFY(r.open(file("plain", ":00000001FF")));
    }

    // ---- configuration word lookup --------------------------------------------------------

    void lookupFindsTheConfigurationWord()
    {
        // The usual assembler output: the word in a record of its own at 400Eh.
        QCOMPARE(lookup(rec(0, words({0x2805, 0x0000})) + rec(0x400E, words({0x3FF1})) + kEnd), qint16(0x3FF1));
        // As the program read writes it: 16 bytes at 4000h.
        QCOMPARE(lookup(rec(0x4000, words({0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FF2})) + kEnd),
                 qint16(0x3FF2));
        // Lower-case digits, a type 04 record and a wrong checksum are all fine.
        QCOMPARE(lookup(":020000040000FA\r\n" + rec(0x400E, words({0x3FA5})).toLower() + kEnd), qint16(0x3FA5));
        QCOMPARE(lookup(":02400E00F13F00\r\n" + kEnd), qint16(0x3FF1));
        // Only the first record covering 2007h counts.
        QCOMPARE(lookup(rec(0x400E, words({0x11})) + rec(0x400E, words({0x12})) + kEnd), qint16(0x11));
        QVERIFY(shown.isEmpty());
    }

    void lookupLeavesTheWordWhenTheFileHasNone()
    {
        // The end record comes first.
        QCOMPARE(lookup(rec(0, words({1})) + kEnd + rec(0x400E, words({0x3FF1})), 17), qint16(17));
        // Addresses of 8000h and above read negative and are passed over.
        QCOMPARE(lookup(rec(0x800E, words({0x3FF1})) + kEnd, qint16(-5)), qint16(-5));
        QCOMPARE(lookup(rec(0, words({1})) + kEnd), qint16(26));
        QCOMPARE(lookup(QByteArray()), qint16(26));  // empty file: no line, no error
        QVERIFY(shown.isEmpty());
    }

    void lookupReportsABadLine()
    {
        QCOMPARE(lookup(rec(0, words({1})) + "10000000\r\n" + rec(0x400E, words({0x3FF1})), qint16(9)), qint16(9));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, kHexError);
        QCOMPARE(shown[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(shown[0].icon, messages::Icon::Critical);
        shown.clear();
        // A file that cannot be opened reads as one empty line.
        QCOMPARE(program::configWordFromHex(dir.filePath("gone.hex"), host), std::optional<qint16>());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, kHexError);
        shown.clear();
        // An absurdly long line, and a binary file.
        QCOMPARE(lookup(":" + QByteArray(100000, '0') + "\r\n", 3), qint16(3));
        QCOMPARE(lookup(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + QByteArray(50000, '\x90'), 3), qint16(3));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].text, kHexError);
    }

    // ---- export -------------------------------------------------------------------------------

    void erasedDeviceExportsTheKnownFile()
    {
        const QVector<quint16> erased(hexexport::kReadWords, 0x3FFF);
        const QByteArray out = hexexport::programImageToHex(erased);
        QVERIFY(out.endsWith("\r\n"));
        const QList<QByteArray> lines = out.chopped(2).split('\n');
        QCOMPARE(lines.size(), 130);
        const QByteArray data = QByteArray("FF3F").repeated(8);
        for (int i = 0; i < 128; ++i) {
            const QByteArray address = QByteArray::number(i * 16, 16).toUpper().rightJustified(4, '0');
            const int sum = 0x10 + ((i * 16) >> 8) + ((i * 16) & 0xFF) + 8 * (0xFF + 0x3F);
            const QByteArray check = QByteArray::number((256 - (sum & 0xFF)) & 0xFF, 16).toUpper().rightJustified(2, '0');
            QCOMPARE(lines[i], ":10" + address + "00" + data + check + "\r");
        }
        QCOMPARE(lines[0], ":10000000" + data + "00\r");
        QCOMPARE(lines[1], ":10001000" + data + "F0\r");
        QCOMPARE(lines[127], ":1007F000" + data + "09\r");
        QCOMPARE(lines[128], ":10400000" + data + "C0\r");
        QCOMPARE(lines[129], QByteArray(":00000001FF"));
    }

    void exportRecordsHoldEveryWordAndCorrectChecksums()
    {
        QVector<quint16> image(hexexport::kReadWords);
        for (int i = 0; i < image.size(); ++i) image[i] = quint16((i * 0x1F3 + 7) & 0x3FFF);
        const QByteArray out = hexexport::programImageToHex(image);
        QVector<int> seen(image.size(), 0);
        int records = 0;
        for (const QByteArray &raw : out.split('\n')) {
            if (raw.isEmpty()) continue;
            QVERIFY(raw.endsWith('\r'));
            const QByteArray line = raw.chopped(1);
            const QByteArray bytes = QByteArray::fromHex(line.mid(1));
            int sum = 0;
            for (char c : bytes) sum += uint8_t(c);
            QCOMPARE(sum & 0xFF, 0);  // the checksum completes the sum to zero
            QCOMPARE(line, line.toUpper());
            const auto r = hexrecord::parse(line);
            if (r.isEnd()) continue;
            ++records;
            QCOMPARE(r.count, 16);
            QCOMPARE(line.size(), 1 + 2 + 4 + 2 + 32 + 2);
            for (int i = 0; i < 8; ++i) {
                const int word = r.address / 2 + i;
                const int index = word < 1024 ? word : 1024 + (word - 0x2000);
                QVERIFY(index >= 0 && index < image.size());
                QCOMPARE(hexrecord::lowByte(line, i) + 256 * hexrecord::highByte(line, i), int(image[index]));
                ++seen[index];
            }
        }
        QCOMPARE(records, 129);
        QCOMPARE(seen, QVector<int>(image.size(), 1));
        // The lookup reads the configuration word of such a file.
        QCOMPARE(lookup(out), qint16(image.last()));
    }

    void incompleteImageGivesNoRecords()
    {
        QVERIFY(hexexport::programImageToHex(QVector<quint16>(1031, 0)).isEmpty());
        QVERIFY(hexexport::programImageToHex(QVector<quint16>()).isEmpty());
        QVERIFY(hexexport::programImageToHex(QVector<quint16>(1033, 0)).isEmpty());
    }

    void atomicSaveReplacesOnlyWhenComplete()
    {
        const QString target = dir.filePath("save.hex");
        QString why;
        QVERIFY(hexexport::saveAtomically(target, "new\r\n", &why));
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new\r\n"));
        f.close();
        QVERIFY(!hexexport::saveAtomically(dir.filePath("no/such/folder/x.hex"), "x", &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!hexexport::saveAtomically(dir.path(), "x", &why));  // a folder

        // A write that fails half-way (here the file size limit, as a full disk would) leaves
        // the old file as it was and no temporary file behind.
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        struct rlimit old {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = hexexport::saveAtomically(target, QByteArray(64 * 1024, 'x'), &why);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
    }
};

QTEST_MAIN(TestHex)
#include "tst_hex.moc"

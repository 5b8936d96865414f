// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file, number texts, the wire encoding, COM port naming and the language the
// core's texts come out in.

#include "core/settings/settingsfile.h"
#include "core/settings/storedsettings.h"
#include "core/formats/numbertext.h"
#include "core/link/portnaming.h"
#include "core/link/sevenbit.h"
#include "core/platform.h"
#include "support/translation.h"
#include "core/diagnosis/diagnosis.h"
#include "core/formats/memoryimage.h"
#include "core/messages.h"
#include "core/protocol/versionexchange.h"
#include "core/systemtext.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How a text breaks into lines: each break as "\r\n" or "\n", and whether it starts or ends with one.
QStringList lineBreaks(const QString &s)
{
    QStringList breaks;
    static const QRegularExpression re(QStringLiteral("\r?\n"));
    for (auto it = re.globalMatch(s); it.hasNext();) breaks << it.next().captured().toUtf8().toHex();
    breaks << QString::number(int(s.startsWith(QLatin1Char('\r')) || s.startsWith(QLatin1Char('\n'))))
           << QString::number(int(s.endsWith(QLatin1Char('\n'))));
    return breaks;
}

// The core's texts that the rows below produce, each in the language installed at the time.
const QVector<std::function<QString()>> &coreTexts()
{
    static const QVector<std::function<QString()>> texts = {
        [] { return QString(messages::kProgramTitle); },
        [] { return messages::linkBusy().text; },
        [] { return messages::writingAt(0x12); },
        [] { return messages::verifyMatched(24, true, 0); },
        [] { return messages::mismatchLine(1, 0x2007, 0x11, 0x10); },
        [] { return messages::mismatchLine(0, 0x0010, 0x2805, 0x3FFF); },
        [] { return memoryimage::problemText({memoryimage::Problem::BadRecord, 3, 0, 0x5A}); },
        [] { return systemtext::after(messages::saveFailed(QStringLiteral("/x/a.hex"), QString()), QStringLiteral("Permission denied")); },
        [] { return about::firmwareVersionText(QStringLiteral("105")); },
        [] {
            diagnosis::Check c{QStringLiteral("writer"), diagnosis::Status::Fail, QStringLiteral("d"), QStringLiteral("r"), 69};
            return diagnosis::report({c}, QString());
        },
    };
    return texts;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("veltraw.ini")); }
    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void put(const QByteArray &c)
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c);
    }

private slots:
    void init() { QFile::remove(path()); }

    void missingFileSectionOrKeyReadsAsSentinel()
    {
        QCOMPARE(ini::readValue(path(), "Com", "port"), QStringLiteral("???"));
        put("[Com]\nport= 3\n");
        QCOMPARE(ini::readValue(path(), "File", "name"), QStringLiteral("???"));
        QCOMPARE(ini::readValue(path(), "Com", "speed"), QStringLiteral("???"));
        put("[Com]\nport=???\n");
        QCOMPARE(ini::readValue(path(), "Com", "port"), QStringLiteral("???"));
    }

    // What each front end makes of a stored value, from the one place that reads it.
    void storedValuesAsBothFrontEndsTakeThem_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("port");  // 0: none, the port dialog comes up
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<int>("word");
        QTest::addColumn<bool>("wordStored");
        QTest::addColumn<QString>("device3");
        QTest::newRow("no file") << QByteArray() << 0 << 0 << 26 << false << QString();
        QTest::newRow("plain") << QByteArray("[Com]\nport= 3\n[Config]\nword= 27\n[Ports]\nCOM3=/dev/ttyUSB0\n")
                               << 3 << 2 << 27 << true << QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("halves to even") << QByteArray("[Com]\nport=2.5\n[Config]\nword=&H1F\n") << 2 << 2 << 31 << true << QString();
        QTest::newRow("16 has no list entry") << QByteArray("[Com]\nport=16\n") << 16 << 0 << 26 << false << QString();
        QTest::newRow("15.6 rounds to 16") << QByteArray("[Com]\nport=15.6\n") << 16 << 14 << 26 << false << QString();
        QTest::newRow("out of range") << QByteArray("[Com]\nport=17\n[Config]\nword=40000\n") << 0 << 0 << 26 << false << QString();
        QTest::newRow("not numbers") << QByteArray("[Com]\nport=x\n[Config]\nword=HS\n[Ports]\nCOM3=\n") << 0 << 0 << 26 << false << QString();
    }
    void storedValuesAsBothFrontEndsTakeThem()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, port);
        QFETCH(int, listIndex);
        QFETCH(int, word);
        QFETCH(bool, wordStored);
        QFETCH(QString, device3);
        if (!file.isEmpty()) put(file);
        settings::stored().IniFilePath = path();
        QCOMPARE(settings::loadPortNumber().value_or(0), port);
        QCOMPARE(settings::loadPortNumber(path()).value_or(0), port);
        QCOMPARE(settings::loadPortListIndex(), listIndex);
        QCOMPARE(int(settings::loadConfigWord().word), word);
        QCOMPARE(settings::loadConfigWord(path()).stored, wordStored);
        QCOMPARE(settings::loadPortDevice(3, path()), device3);
    }

    void typedSavesWriteTheKeysAsBefore()
    {
        settings::stored().IniFilePath = path();
        settings::savePortNumber(4);
        settings::saveHexFileName(QStringLiteral("/a b.hex"));
        settings::saveConfigWord(-5);
        settings::savePortDevice(4, QStringLiteral("/dev/ttyS9"));
        QCOMPARE(contents(), QByteArray("[Com]\nport= 4\n[File]\nname=/a b.hex\n[Config]\nword=-5\n[Ports]\nCOM4=/dev/ttyS9\n"));
        settings::forgetPortNumber();
        QCOMPARE(ini::readValue(path(), "Com", "port"), QStringLiteral("0"));
        QCOMPARE(settings::loadHexFileName(), std::optional<QString>(QStringLiteral("/a b.hex")));
    }

    void firstWriteCreatesFileWithLeadingBlankNumbers()
    {
        QVERIFY(ini::writeValue(path(), "Com", "port", ini::numberText(10)));
        QVERIFY(ini::writeValue(path(), "Config", "word", ini::numberText(-5)));
        QVERIFY(ini::writeValue(path(), "File", "name", QString()));
        QCOMPARE(contents(), QByteArray("[Com]\nport= 10\n[Config]\nword=-5\n[File]\nname=\n"));
        // Read back without the blank, and converted to the same number.
        QCOMPARE(ini::readValue(path(), "Com", "port"), QStringLiteral("10"));
        QCOMPARE(numbertext::toInt16(ini::readValue(path(), "Config", "word")), std::optional<qint16>(-5));
        QCOMPARE(ini::readValue(path(), "File", "name"), QString());
    }

    void sectionsAndKeysAnyCaseOtherLinesKept()
    {
        const QByteArray original = "; my comment\r\n[ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[COM]\r\nPort = 4 \r\nother=x\r\n[Tail]\r\nz=1";
        put(original);
        QCOMPARE(ini::readValue(path(), "Com", "port"), QStringLiteral("4"));
        QCOMPARE(ini::readValue(path(), "Ports", "com1"), QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(ini::writeValue(path(), "Com", "port", " 7"));
        QCOMPARE(contents(), QByteArray("; my comment\r\n[ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[COM]\r\nport= 7\r\nother=x\r\n[Tail]\r\nz=1\r\n"));
        QVERIFY(ini::writeValue(path(), "ports", "COM2", "/dev/x"));
        QVERIFY(contents().contains("COM1=/dev/ttyUSB0\r\nCOM2=/dev/x\r\n\r\n[COM]"));
        QVERIFY(ini::writeValue(path(), "New", "k", "v"));
        QVERIFY(contents().endsWith("z=1\r\n[New]\r\nk=v\r\n"));
    }

    void lineEndsFollowTheFileAndRewritingChangesNothing()
    {
        // An unterminated last line ending in CR must not turn an LF file into a CR LF one.
        const QByteArray lf = " 3i\r[\nFle]\r";
        const QByteArray once = ini::update(lf, "port", "name", "po");
        QCOMPARE(once, QByteArray(" 3i\r[\nFle]\r\n[port]\nname=po\n"));
        QCOMPARE(ini::update(once, "port", "name", "po"), once);
        const QByteArray single = ini::update("x=1\r", "Config", "word", "");
        QCOMPARE(single, QByteArray("x=1\r\n[Config]\r\nword=\r\n"));
        QCOMPARE(ini::update(single, "Config", "word", ""), single);
    }

    void longValueCutAt2599BytesOnACharacterBoundary()
    {
        put("[File]\nname=" + QByteArray(2700, 'a') + "\n");
        QCOMPARE(ini::readValue(path(), "File", "name").size(), 2599);
        put("[File]\nname=" + QByteArray(2599, 'b') + "\n");
        QCOMPARE(ini::readValue(path(), "File", "name").size(), 2599);
        // A three-byte character across the cut is dropped whole, never split.
        const QString jp = QString(QChar(0x3042)).repeated(900);  // 2 700 bytes in UTF-8
        QVERIFY(ini::writeValue(path(), "File", "name", jp));
        const QString back = ini::readValue(path(), "File", "name");
        QCOMPARE(back, jp.left(866));  // 866 * 3 = 2 598 bytes
    }

    void writeIsAtomicAndRefusesWhatItCannotWrite()
    {
        put("[Com]\nport= 2\n");
        // Root writes anywhere: the refusal is checked in a child without root's rights, beside a
        // folder it may write, so the refusal comes from the folder and from nothing else.
        const QString ro = dir.filePath(QStringLiteral("ro")), rw = dir.filePath(QStringLiteral("rw"));
        QVERIFY(QDir().mkpath(ro) && QDir().mkpath(rw));
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(ro).constData(), 0555) == 0);
        QVERIFY(::chmod(QFile::encodeName(rw).constData(), 0777) == 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
            if (ini::writeValue(ro + "/veltraw.ini", "Com", "port", " 1")) ::_exit(4);
            if (!ini::writeValue(rw + "/veltraw.ini", "Com", "port", " 1")) ::_exit(5);
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QDir(ro).isEmpty());
        QCOMPARE(ini::readValue(rw + "/veltraw.ini", "Com", "port"), QStringLiteral("1"));
        QVERIFY(::chmod(QFile::encodeName(ro).constData(), 0700) == 0);
        // A folder where the file should be: the write fails and nothing is lost.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("isdir/veltraw.ini"))));
        QVERIFY(!ini::writeValue(dir.filePath(QStringLiteral("isdir/veltraw.ini")), "Com", "port", " 1"));
        // No temporary file is left beside the settings file after a write.
        QVERIFY(ini::writeValue(path(), "Com", "port", " 3"));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("veltraw.ini*")}, QDir::Files), QStringList{QStringLiteral("veltraw.ini")});
    }

    void numbersInText()
    {
        QCOMPARE(numbertext::leadingNumber(" 16"), 16.0);
        QCOMPARE(numbertext::leadingNumber("3abc"), 3.0);
        QCOMPARE(numbertext::leadingNumber("abc"), 0.0);
        QCOMPARE(numbertext::leadingNumber("1 2"), 12.0);
        QCOMPARE(numbertext::leadingNumber("&H1f"), 31.0);
        QCOMPARE(numbertext::leadingNumber("-4"), -4.0);
        QCOMPARE(numbertext::roundHalfEven(2.5), 2.0);
        QCOMPARE(numbertext::roundHalfEven(3.5), 4.0);
        QCOMPARE(numbertext::toInt16(" 26"), std::optional<qint16>(26));
        QCOMPARE(numbertext::toInt16("-32768"), std::optional<qint16>(-32768));
        QCOMPARE(numbertext::toInt16("32768"), std::nullopt);
        QCOMPARE(numbertext::toInt16("abc"), std::nullopt);
        QCOMPARE(numbertext::toInt16("12x"), std::nullopt);
        QCOMPARE(numbertext::toInt16(""), std::nullopt);
        QCOMPARE(numbertext::toInt16("26.5"), std::optional<qint16>(26));
        QCOMPARE(numbertext::hexPadded(0x10, 4), QStringLiteral("  10"));
        QCOMPARE(numbertext::hexPadded(0x3ff, 4), QStringLiteral(" 3FF"));
        QCOMPARE(numbertext::hex(0x5a, 2), QStringLiteral("5A"));
        QCOMPARE(numbertext::hexWord(-15), QStringLiteral("FFF1"));
    }

    void sevenBitGroups()
    {
        QCOMPARE(SevenBitGroup::word14(0x3FFF), QByteArray("\xFF\xFF"));
        QCOMPARE(SevenBitGroup::word14(0), QByteArray("\x80\x80"));
        QCOMPARE(SevenBitGroup::word14(0x1234), QByteArray("\xA4\xB4"));
        QCOMPARE(SevenBitGroup::byte8(0xFF), QByteArray("\x81\xFF"));
        QCOMPARE(SevenBitGroup::byte8(0x7F), QByteArray("\x80\xFF"));
        QCOMPARE(SevenBitGroup::byte8(0x80), QByteArray("\x81\x80"));
        QCOMPARE(SevenBitGroup::single(0x10), uint8_t(0x90));
        QCOMPARE(SevenBitGroup::decode2(0xA4, 0xB4), uint16_t(0x1234));
        for (int w = 0; w < 0x4000; w += 37) {
            const QByteArray e = SevenBitGroup::word14(uint16_t(w));
            QVERIFY(SevenBitGroup::isData(uint8_t(e[0])) && SevenBitGroup::isData(uint8_t(e[1])));
            QCOMPARE(int(SevenBitGroup::decode2(uint8_t(e[0]), uint8_t(e[1]))), w);
        }
    }

    void comPortNaming()
    {
        const QString home = dir.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home + "/.wine/dosdevices"));
        put("[Ports]\nCOM2=/dev/ttyUSB7\n");
        QCOMPARE(portnaming::deviceFor(2, path(), home).device, QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(portnaming::deviceFor(2, path(), home).source, QStringLiteral("settings"));
        QVERIFY(QFile::link(QStringLiteral("/dev/ttyACM0"), home + "/.wine/dosdevices/com3"));
        QCOMPARE(portnaming::deviceFor(3, path(), home).device, QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(portnaming::deviceFor(1, path(), home).device, QStringLiteral("/dev/ttyS0"));
        QCOMPARE(portnaming::deviceFor(16, path(), home).device, QStringLiteral("/dev/ttyS15"));
        QVERIFY(portnaming::describe(4, path(), home).startsWith(QStringLiteral("→ /dev/ttyS3")));
        // The program never writes the Ports section.
        QCOMPARE(contents(), QByteArray("[Ports]\nCOM2=/dev/ttyUSB7\n"));
    }

    void fileExists()
    {
        QVERIFY(!platform::isRegularFile(QString()));
        QVERIFY(!platform::isRegularFile(dir.path()));
        QVERIFY(!platform::isRegularFile(dir.filePath("nope.hex")));
        put("x");
        QVERIFY(platform::isRegularFile(path()));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!platform::isRegularFile(fifo));  // and returns at once, no writer needed
    }

    // The first of the user's languages we speak decides; C and ja are Japanese, the rest English.
    void languageFromTheSystem_data()
    {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<bool>("english");
        QTest::newRow("C, C.UTF-8, POSIX") << "C" << false;
        QTest::newRow("ja_JP.UTF-8") << "ja-JP,ja-Jpan-JP,ja" << false;
        QTest::newRow("en_US.UTF-8") << "en-US,en-Latn-US,en" << true;
        QTest::newRow("de_DE.UTF-8") << "de-DE,de-Latn-DE,de" << true;
        QTest::newRow("LANG=ja_JP LANGUAGE=en") << "en,en-Latn-US,en-US" << true;
        QTest::newRow("LANGUAGE=de:ja") << "de,de-Latn-DE,de-DE,ja,ja-Jpan-JP,ja-JP" << false;
        QTest::newRow("jam is not ja") << "jam,en" << true;
        QTest::newRow("nothing") << "" << true;
    }
    void languageFromTheSystem()
    {
        QFETCH(QString, uiLanguages);
        QFETCH(bool, english);
        const auto language = i18n::choose(uiLanguages.split(QLatin1Char(','), Qt::SkipEmptyParts));
        QCOMPARE(language == i18n::Language::English, english);
    }

    // The core's texts under the English catalogue: English, broken into lines as the Japanese
    // is; the Japanese ones unchanged before and after.
    void coreTextsInEnglish_data()
    {
        QTest::addColumn<int>("text");
        QTest::addColumn<QString>("japanese");
        QTest::addColumn<QString>("english");
        QTest::newRow("a title, made before main") << 0 << "VELTRA2オンボードライタ" << "VELTRA2 On-board Writer";
        QTest::newRow("a box of two lines")
            << 1 << "ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。"
            << "Another window is talking to the writer.\r\nTry again when it has finished.";
        QTest::newRow("progress") << 2 << "アドレス   12 書込み中" << "Writing address   12";
        QTest::newRow("verify summary") << 3 << "照合しました。ファイルと一致しています（プログラムメモリ 24 ワード、コンフィグレーションワード）。"
                                        << "Verified. Matches the file (program memory, words: 24; configuration word).";
        QTest::newRow("verify list, configuration word")
            << 4 << "コンフィグ  2007h  ファイル   11  PIC   10  （ビット0〜4）" << "Config      2007h  file   11  PIC   10  (bits 0-4)";
        QTest::newRow("verify list, program word")
            << 5 << "プログラム  0010h  ファイル 2805  PIC 3FFF" << "Program     0010h  file 2805  PIC 3FFF";
        QTest::newRow("HEX reader") << 6 << "チェックサムが合いません（正しくは 5Ah）" << "Checksum mismatch (should be 5Ah)";
        QTest::newRow("system text after ours")
            << 7 << "/x/a.hex に保存できませんでした。\nシステムのメッセージ: Permission denied"
            << "Could not save to /x/a.hex.\nSystem message: Permission denied";
        QTest::newRow("firmware") << 8 << "ファームウェアバージョン 1.05" << "Firmware version 1.05";
        QTest::newRow("diagnosis report")
            << 9 << "接続診断: （ポート未指定）\nfail writer（ライタ）: d\n     対処: r"
            << "Connection diagnosis: (no port given)\nfail writer (writer): d\n     remedy: r";
    }
    void coreTextsInEnglish()
    {
        QFETCH(int, text);
        QFETCH(QString, japanese);
        QFETCH(QString, english);
        const auto &produce = coreTexts()[text];
        QCOMPARE(produce(), japanese);
        {
            LanguageScope en(i18n::Language::English);
            QCOMPARE(i18n::current(), i18n::Language::English);
            const QString got = produce();
            QCOMPARE(got, english);
            QVERIFY2(!hasJapanese(got), qPrintable(got));
            QCOMPARE(lineBreaks(got), lineBreaks(japanese));
        }
        QCOMPARE(produce(), japanese);
    }

    // Every entry of the core's catalogue, as the program has it built in: the translation
    // comes out for its context, in English, with the source's line breaks.
    void everyCoreTranslationComesOutWithItsLines()
    {
        QList<CatalogueEntry> entries;
        QString error;
        QVERIFY2(readCatalogue(QFINDTESTDATA("../../translations/veltraw_core_en.ts"), &entries, &error), qPrintable(error));
        LanguageScope en(i18n::Language::English);
        for (const CatalogueEntry &e : entries) {
            const QByteArray c = e.context.toUtf8(), s = e.source.toUtf8(), d = e.comment.toUtf8();
            const QString shown = QCoreApplication::translate(c.constData(), s.constData(), e.comment.isEmpty() ? nullptr : d.constData());
            const QByteArray where = (e.context + QStringLiteral(": ") + e.source).toUtf8();
            QVERIFY2(shown == e.translation, where.constData());
            QVERIFY2(!hasJapanese(e.translation), where.constData());
            QVERIFY2(lineBreaks(e.translation) == lineBreaks(e.source), where.constData());
        }
        QVERIFY(entries.size() > 200);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

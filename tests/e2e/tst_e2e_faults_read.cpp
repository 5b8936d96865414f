// SPDX-License-Identifier: GPL-3.0-or-later
// Fault matrix: the program read with its HEX export, the configuration register read-back and
// the firmware version query, against a simulated writer that misbehaves in every way it can.
// Every case checks the messages, what the window shows, the time taken, the link back in text
// mode and free, the windows usable again, and then that a normal run succeeds.

#include "gui/frmabout.h"
#include "core/formats/confregtext.h"
#include "gui/frmconfreg.h"
#include "core/formats/hexexport.h"
#include "support/faultmatrix.h"

#include <QAction>
#include <QPointer>
#include <QTest>

using namespace faults;

namespace {

const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源は投入されていますか？");
const QString kWriterError = QStringLiteral("ライタにエラーが発生しました。");
const QString kFileError = QStringLiteral("ファイルエラーです");
const QString kReadDone = QStringLiteral("読取り終了しました");
const QString kShortRead = QStringLiteral("PICのプログラムを最後まで受信できませんでした。\r\n"
                                          "ファイルは出力していません。もう一度操作してください。");
const QString kRegNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れてからもう一度クリックしてください。");
const QString kRegFailure = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてからもう一度クリックしてください。");
const QString kDefaultLine = QStringLiteral("このソフトはVELTRA2用PICライタです");

constexpr int kOpTimeout = 300;    // the operation dialog's 5000 ms, shortened
constexpr int kRegTimeout = 300;   // the register window's 3000 ms, shortened but for one case
constexpr int kAboutTimeout = 500; // the About box's own limit, kept

// Reply positions of the read: 0 "c", 1 "r", then the 2064 data bytes from 2 to 2065.
constexpr int kFirstData = 2;
constexpr int kMiddleData = 2 + 1032;
constexpr int kLastData = 2 + 2063;

// The register the simulated PIC holds, and the register window's text for some bytes.
constexpr uint16_t kConfigWord = 0x3FF5;  // the low 7-bit group on the wire: F5h
QString registerShown(uint8_t b) { return quoted(QStringLiteral("shows"), confreg::decodeConfigByte(b)); }
QString versionShown(const QString &text) { return quoted(QStringLiteral("version line"), text); }
QString versionOf(const QString &accumulated) { return about::firmwareVersionText(accumulated); }

}  // namespace

class TestFaultsRead : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    FormMain *f = nullptr;
    Table table;
    QString outPath;
    QByteArray expectedHex;
    QPointer<frmConfReg> regWindow;
    std::unique_ptr<HangUpWhen> hangUp;

    QString fileState() const
    {
        QFile out(outPath);
        if (!out.exists()) return QStringLiteral("no file");
        if (!out.open(QIODevice::ReadOnly) || out.readAll() != expectedHex) return QStringLiteral("file written wrong");
        return QStringLiteral("file written");
    }

    Exchange readExchange()
    {
        auto start = [this] {
            QFile::remove(outPath);
            h->modalActions.push_back(pressOk);
            h->fileAnswers.push_back(outPath);
            f->ReadCommand->click();
        };
        auto normal = [this, start](QStringList &p) {
            start();
            if (h->messageTexts() != QStringList{kReadDone}) p << QStringLiteral("normal read: %1").arg(h->messageTexts().join(" | "));
            if (fileState() != QLatin1String("file written")) p << QStringLiteral("normal read: %1").arg(fileState());
        };
        Exchange x = operation(*h, QStringLiteral("program read and export"), kOpTimeout, start, normal);
        auto inner = x.run;
        x.run = [this, inner] {
            inner();
            hangUp.reset();
            return fileState();
        };
        // The line hangs up once the program has received the words before the position.
        x.injectFault = [this](const Case &c) {
            if (c.kind != Kind::HangUp) return false;
            const int words = (c.at - kFirstData) / 2;
            // The progress line names the word the read waits for.
            hangUp = std::make_unique<HangUpWhen>(*h, [words] {
                const QString t = FrmReadWrite()->Label1->text();
                bool ok = false;
                const int waitingFor = t.endsWith(QStringLiteral("受信中")) ? t.mid(5, 4).trimmed().toInt(&ok, 16) : 0;
                return ok && waitingFor >= words;
            });
            return true;
        };
        return x;
    }

    Exchange registerExchange(int timerMs)
    {
        Exchange x;
        x.name = QStringLiteral("configuration register read");
        x.slowMs = timerMs + 200;
        x.run = [this, timerMs] {
            regWindow = FrmConfReg();
            regWindow->Timer1->setInterval(timerMs);
            f->ConfigCommand->click();
            h->waitFor([&] { return h->hostBytes().contains('Y') && (regWindow.isNull() || !regWindow->running()); },
                       timerMs + 5000);
            if (regWindow.isNull() || regWindow->unloaded()) {
                h->waitFor([&] { return regWindow.isNull(); }, 2000);
                return QStringLiteral("window closed");
            }
            return quoted(QStringLiteral("shows"), regWindow->Label3->text());
        };
        x.idle = [this](QStringList &p) {
            if (regWindow && regWindow->running()) p << QStringLiteral("register window still running");
            if (regWindow && regWindow->Timer1->isActive()) p << QStringLiteral("register window time-out still running");
            // The user closes a window that shows a result.
            if (regWindow) {
                regWindow->Command1->click();
                h->waitFor([&] { return regWindow.isNull(); }, 2000);
            }
        };
        x.normal = [this](QStringList &p) {
            regWindow = FrmConfReg();
            regWindow->Timer1->setInterval(kRegTimeout);
            f->ConfigCommand->click();
            h->waitFor([&] { return h->hostBytes().contains('Y') && regWindow && !regWindow->running(); }, 5000);
            if (!regWindow) {
                p << QStringLiteral("normal read-back closed the window");
                return;
            }
            if (regWindow->Label3->text() != confreg::decodeConfigByte(0x80 | (kConfigWord & 0x7F)))
                p << QStringLiteral("normal read-back shows %1").arg(visible(regWindow->Label3->text()));
            if (!h->messages.isEmpty()) p << QStringLiteral("normal read-back: %1").arg(h->messageTexts().join(" | "));
            regWindow->Command1->click();
            h->waitFor([&] { return regWindow.isNull(); }, 2000);
        };
        return x;
    }

    Exchange versionExchange()
    {
        Exchange x;
        x.name = QStringLiteral("firmware version query (About box)");
        x.slowMs = kAboutTimeout + 200;
        auto show = [this](bool *usable) {
            QString label;
            h->modalActions.push_back([&label, usable](QDialog *d) {
                auto *box = qobject_cast<frmAbout *>(d);
                if (!box) return;
                label = box->Label2->text();
                if (usable) *usable = box->Command1->isEnabled();
                box->Command1->click();
            });
            f->menu_help_about->trigger();
            return label;
        };
        x.run = [show, this] {
            aboutUsable = false;
            return versionShown(show(&aboutUsable));
        };
        x.idle = [this](QStringList &p) {
            if (!aboutUsable) p << QStringLiteral("the box's button was not usable");
        };
        x.normal = [show](QStringList &p) {
            const QString label = show(nullptr);
            if (label != versionOf(QStringLiteral("105"))) p << QStringLiteral("normal query shows %1").arg(label);
        };
        return x;
    }
    bool aboutUsable = false;

    void check(const QStringList &problems) { QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; ")))); }

private slots:
    void initTestCase()
    {
        h = std::make_unique<Harness>();
        f = startQuiet(*h);
        QVERIFY(f && f->MSComm1->isOpen());
        sim::SimWriter &pic = h->sim.writer();
        QVector<quint16> words;
        for (int i = 0; i < 1024; ++i) {
            pic.program[size_t(i)] = uint16_t((i * 0x1F3 + 0x2A) & 0x3FFF);
            words << pic.program[size_t(i)];
        }
        for (int i = 0; i < 8; ++i) {
            pic.idConfig[size_t(i)] = i == 7 ? kConfigWord : uint16_t(0x3F10 + i);
            words << pic.idConfig[size_t(i)];
        }
        expectedHex = hexexport::programImageToHex(words);
        QVERIFY(!expectedHex.isEmpty());
        outPath = h->path(QStringLiteral("read.hex"));
    }

    void cleanupTestCase()
    {
        table.publish(QStringLiteral("Program read, configuration register, firmware version"));
        h.reset();
    }

    void programRead_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString none = QStringLiteral("no file");
        const QString file = QStringLiteral("file written");
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}, none});
        addRow({Kind::Silence, 0}, {{kTimeout, kTimeout, kWriterError}, 2 * kOpTimeout, {}, none});
        addRow({Kind::Silence, 1}, {{kTimeout, kWriterError}, kOpTimeout, {}, none});
        for (int at : {kFirstData, kFirstData + 1, kMiddleData, kLastData})
            addRow({Kind::Silence, at}, {{kTimeout, kFileError}, kOpTimeout, {}, none});
        addRow({Kind::WrongReply, 0}, {{kReadDone}, 0, QStringLiteral("the opening reply is not checked"), file});
        addRow({Kind::WrongReply, 1}, {{kWriterError}, 0, {}, none});
        for (int at : {kFirstData, kLastData}) addRow({Kind::WrongReply, at}, {{kShortRead}, 0, {}, none});
        for (int at : {kFirstData, kFirstData + 1, kMiddleData, kLastData}) addRow({Kind::ClearBit7, at}, {{kShortRead}, 0, {}, none});
        addRow({Kind::Noise, 0}, {{kReadDone}, 0, QStringLiteral("the opening reply is not checked"), file});
        addRow({Kind::Noise, 1}, {{kWriterError}, 0, {}, none});
        for (int at : {kFirstData, kLastData}) addRow({Kind::Noise, at}, {{kShortRead}, 0, {}, none});
        addRow({Kind::HangUp, kMiddleData}, {{kFileError}, 0, {}, none});
        addRow({Kind::Slow, kLastData}, {{kTimeout, kFileError}, kOpTimeout, {}, none});
    }
    void programRead()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, readExchange(), c, e));
    }

    // Replies: 0 "y", 1 the byte that is not used, 2 the register byte.
    void registerRead_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString closed = QStringLiteral("window closed");
        const QString right = registerShown(0x80 | (kConfigWord & 0x7F));
        const QString silent = QStringLiteral("no message by design");
        const QString unchecked = QStringLiteral("the wire carries no check of the value");
        addRow({Kind::Unpowered, 0}, {{kRegNoPower}, 0, {}, closed});
        addRow({Kind::Silence, 0, 3000}, {{kRegFailure}, 3000, {}, closed});
        for (int at : {1, 2}) addRow({Kind::Silence, at}, {{}, kRegTimeout, silent, closed});
        addRow({Kind::WrongReply, 0}, {{kRegFailure}, 0, {}, closed});
        addRow({Kind::WrongReply, 1}, {{}, 0, QStringLiteral("that byte is not used"), right});
        addRow({Kind::WrongReply, 2}, {{}, 0, unchecked, registerShown(uint8_t(kWrongByte[0]))});
        addRow({Kind::ClearBit7, 1}, {{}, 0, QStringLiteral("that byte is not used"), right});
        addRow({Kind::ClearBit7, 2}, {{}, 0, QStringLiteral("bits 5-7 play no part"), right});
        addRow({Kind::Noise, 0}, {{kRegFailure}, 0, {}, closed});
        addRow({Kind::Noise, 1}, {{}, 0, unchecked, registerShown(uint8_t(kNoise[1]))});
        addRow({Kind::Noise, 2}, {{}, 0, unchecked, registerShown(uint8_t(kNoise[0]))});
        addRow({Kind::HangUp, 1}, {{kRegFailure}, 0, {}, closed});
        addRow({Kind::Slow, 2}, {{}, kRegTimeout, silent, closed});
    }
    void registerRead()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, registerExchange(c.timerMs ? c.timerMs : kRegTimeout), c, e));
    }

    // Replies: the characters of "105a", positions 0 to 3.
    void firmwareVersion_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString silent = QStringLiteral("no message by design");
        const QString fallback = versionShown(kDefaultLine);
        const QString noise = QString::fromLatin1(kNoise);
        addRow({Kind::Unpowered, 0}, {{}, 0, QStringLiteral("the query does not involve the board"), versionShown(versionOf("105"))});
        for (int at = 0; at <= 3; ++at) addRow({Kind::Silence, at}, {{}, kAboutTimeout, silent, fallback});
        addRow({Kind::WrongReply, 0}, {{}, 0, silent, versionShown(versionOf("#05"))});
        addRow({Kind::WrongReply, 1}, {{}, 0, silent, versionShown(versionOf("1#5"))});
        addRow({Kind::WrongReply, 2}, {{}, 0, silent, versionShown(versionOf("10#"))});
        addRow({Kind::WrongReply, 3}, {{}, kAboutTimeout, silent, fallback});
        addRow({Kind::Noise, 0}, {{}, 0, silent, versionShown(versionOf(noise + "105"))});
        addRow({Kind::Noise, 1}, {{}, 0, silent, versionShown(versionOf("1" + noise + "05"))});
        addRow({Kind::Noise, 3}, {{}, 0, silent, versionShown(versionOf("105" + noise))});
        addRow({Kind::HangUp, 1}, {{}, kAboutTimeout, silent, fallback});
        addRow({Kind::Slow, 0}, {{}, kAboutTimeout, silent, fallback});
    }
    void firmwareVersion()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, versionExchange(), c, e));
    }
};

QTEST_MAIN(TestFaultsRead)
#include "tst_e2e_faults_read.moc"

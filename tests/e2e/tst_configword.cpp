// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration word: its mapping to the dialog's selection and back, and the dialog.

#include "gui/dialogs.h"
#include "core/formats/configword.h"
#include "core/settings/storedsettings.h"
#include "gui/frmconfig.h"
#include "core/protocol/programexchange.h"

#include <QCloseEvent>
#include <QTest>

using configword::Selection;

namespace {
QString describe(const Selection &s)
{
    static const char *osc[4] = {"RC", "LP", "XT", "HS"};
    auto onOff = [](int i) { return i == 0 ? "ON" : i == 1 ? "OFF" : "?"; };
    return QStringLiteral("%1/%2/%3/%4")
        .arg(QLatin1String(s.oscillator >= 0 && s.oscillator < 4 ? osc[s.oscillator] : "?"),
             QLatin1String(onOff(s.watchdog)), QLatin1String(onOff(s.powerUp)), QLatin1String(onOff(s.codeProtect)));
}
}  // namespace

class TestConfigWord : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        settings::stored().ConfigWord = 26;
    }

    void wordToSelectionAndBack_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("shown");  // oscillator / watchdog / power-up timer / code protection
        QTest::addColumn<int>("stored");     // after OK without changes
        QTest::newRow("default 26") << 26 << "HS/OFF/OFF/OFF" << 26;
        QTest::newRow("3FF1h from a file") << 0x3FF1 << "XT/OFF/ON/OFF" << 17;
        QTest::newRow("3FFFh") << 0x3FFF << "RC/ON/OFF/OFF" << 31;
        QTest::newRow("0Fh") << 0x0F << "RC/ON/OFF/ON" << 15;
        QTest::newRow("bits 3 and 4 clear") << 0x07 << "RC/ON/ON/ON" << 7;
        QTest::newRow("0 LP") << 0 << "LP/OFF/ON/ON" << 0;
        QTest::newRow("negative") << -1 << "RC/ON/OFF/OFF" << 31;
        QTest::newRow("-32768") << -32768 << "LP/OFF/ON/ON" << 0;
        QTest::newRow("high bits only") << 0x7FE0 << "LP/OFF/ON/ON" << 0;
    }
    void wordToSelectionAndBack()
    {
        QFETCH(int, word);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        const Selection s = configword::selectionFromWord(qint16(word));
        QCOMPARE(describe(s), shown);
        QCOMPARE(int(configword::wordFromSelection(s)), stored);
    }

    void everySelectionGivesItsOwnWordBelow32()
    {
        QSet<int> words;
        for (int o = 0; o < 4; ++o)
            for (int w = 0; w < 2; ++w)
                for (int p = 0; p < 2; ++p)
                    for (int c = 0; c < 2; ++c) {
                        const Selection s{o, w, p, c};
                        const int word = configword::wordFromSelection(s);
                        QVERIFY(word >= 0 && word <= 31);
                        words.insert(word);
                        QCOMPARE(describe(configword::selectionFromWord(qint16(word))), describe(s));
                    }
        QCOMPARE(words.size(), 32);
        // Nothing selected in the oscillator frame counts as LP.
        QCOMPARE(int(configword::wordFromSelection(Selection{-1, 1, 1, 1})), 24);
    }

    void dialogLayout()
    {
        frmConfig d(26);
        QCOMPARE(d.windowTitle(), QStringLiteral("Configレジスタの設定"));
        QCOMPARE(d.size(), QSize(264, 163));
        QCOMPARE(d.Frame1->title(), QStringLiteral("オシレータ"));
        QCOMPARE(d.Frame2->title(), QStringLiteral("ウォッチドッグタイマ"));
        QCOMPARE(d.Frame3->title(), QStringLiteral("パワーアップタイマ"));
        QCOMPARE(d.Frame4->title(), QStringLiteral("コードプロテクト"));
        const QStringList osc{"RC", "LP", "XT", "HS"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(d.Option1[i]->text(), osc[i]);
            QCOMPARE(d.Option1[i]->parentWidget(), d.Frame1);
            if (i > 0) QVERIFY(d.Option1[i]->x() > d.Option1[i - 1]->x());  // left to right
        }
        for (auto *opts : {d.Option2, d.Option3, d.Option4}) {
            QCOMPARE(opts[0]->text(), QStringLiteral("ON"));
            QCOMPARE(opts[1]->text(), QStringLiteral("OFF"));
            QVERIFY(opts[0]->x() < opts[1]->x());
        }
        QVERIFY(d.Frame1->geometry().bottom() < d.Frame2->y());                  // across the top
        QVERIFY(d.Frame2->x() < d.Frame3->x() && d.Frame2->y() == d.Frame3->y()); // middle left, right
        QVERIFY(d.Frame4->y() > d.Frame2->geometry().bottom());                   // bottom left
        QVERIFY(d.Command1->x() > d.Frame4->geometry().right());                  // bottom right
        QCOMPARE(d.Command1->text(), QStringLiteral("&OK"));
        QVERIFY(d.Command1->isDefault());
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void dialogShowsTheWordAndOkStoresTheSelection()
    {
        frmConfig d(0x3FF1);
        QVERIFY(d.Option1[2]->isChecked());  // XT
        QVERIFY(d.Option2[1]->isChecked());  // watchdog OFF
        QVERIFY(d.Option3[0]->isChecked());  // power-up timer ON
        QVERIFY(d.Option4[1]->isChecked());  // code protection OFF
        // Exactly one button per frame.
        QCOMPARE(int(d.Option1[0]->isChecked() + d.Option1[1]->isChecked() + d.Option1[2]->isChecked()
                     + d.Option1[3]->isChecked()),
                 1);
        d.show();
        QTest::qWait(frmConfig::kDeafMs + 50);  // the dialog takes no input at first
        QTest::mouseClick(d.Option1[0], Qt::LeftButton);  // RC
        QTest::mouseClick(d.Option2[0], Qt::LeftButton);  // watchdog ON
        QVERIFY(!d.Option1[2]->isChecked() && !d.Option2[1]->isChecked());
        d.Command1->click();
        QCOMPARE(d.ConfigWord, qint16(3 + 4 + 16));
        QVERIFY(d.Confirmed);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.isVisible());
    }

    // The second click of a double click, or Enter pressed at once, lands in the dialog as it
    // opens: for half a second it takes neither; after that Enter presses OK.
    void noInputAtFirstThenEnterPressesOk()
    {
        frmConfig d(0x3FFF);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QTest::keyClick(&d, Qt::Key_Return);
        QTest::keyClick(&d, Qt::Key_O, Qt::AltModifier);
        QVERIFY(d.isVisible());
        QVERIFY(!d.Confirmed);
        QTest::qWait(frmConfig::kDeafMs + 50);
        QTest::keyClick(&d, Qt::Key_Return);
        QCOMPARE(d.ConfigWord, qint16(31));
        QVERIFY(d.Confirmed);
    }

    void closeBoxAndEscapeChangeNothing()
    {
        qint16 word = 0x3FF1;  // as taken from a HEX file
        gui::setModalHandler([](QDialog *d) {
            d->show();
            QTest::qWait(frmConfig::kDeafMs + 50);
            QTest::mouseClick(static_cast<frmConfig *>(d)->Option1[0], Qt::LeftButton);
            d->close();
        });
        QVERIFY(!ConfirmConfigWord(&word));
        QCOMPARE(word, qint16(0x3FF1));
        gui::setModalHandler([](QDialog *d) {
            d->show();
            QTest::qWait(frmConfig::kDeafMs + 50);
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(!ConfirmConfigWord(&word));
        QCOMPARE(word, qint16(0x3FF1));
        gui::setModalHandler(nullptr);
    }

    void showConfigDialogGoesThroughTheModalHook()
    {
        QStringList titles;
        gui::setModalHandler([&](QDialog *d) {
            titles << d->windowTitle();
            auto *c = qobject_cast<frmConfig *>(d);
            QVERIFY(c);
            c->Option3[1]->setChecked(true);
            c->Command1->click();
        });
        qint16 word = 0x07;
        QVERIFY(ConfirmConfigWord(&word));
        QCOMPARE(titles, QStringList{QStringLiteral("Configレジスタの設定")});
        QCOMPARE(word, qint16(0x07 | 8));

        gui::setModalHandler([&](QDialog *d) {
            d->show();
            d->close();  // the close box
        });
        QVERIFY(!ConfirmConfigWord(&word));
        QCOMPARE(word, qint16(0x07 | 8));
        gui::setModalHandler(nullptr);
    }
};

QTEST_MAIN(TestConfigWord)
#include "tst_configword.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The connection diagnosis window: from the help menu over the main window's own link, while
// another window holds that link, and from the port-error box of a normal start (and not from
// the unattended starts).

#include "core/link/programmerlink.h"
#include "gui/frmdiagnosis.h"
#include "core/diagnosis/udevrule.h"
#include "core/settings/storedsettings.h"
#include "support/harness.h"
#include "support/systemtree.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct Seen {
    QVector<diagnosis::Check> checks;
    int rows = 0;
    QString firstStatusCell;
    bool ruleEnabled = true;
    QString report;
    QString heading;
};

// Queues an action for the next diagnosis window: run the checks, note what it shows, copy.
void inspectNext(Harness &h, Seen *seen)
{
    h.modalActions.push_back([seen](QDialog *d) {
        auto *w = qobject_cast<FrmDiagnosis *>(d);
        if (!w) return;
        w->RunChecks();
        seen->checks = w->checks();
        seen->rows = w->List->rowCount();
        seen->firstStatusCell = w->List->item(0, 0) ? w->List->item(0, 0)->text() : QString();
        seen->ruleEnabled = w->RuleButton->isEnabled();
        w->CopyButton->click();
        seen->report = QGuiApplication::clipboard()->text();
        seen->heading = w->Heading->text();
    });
}

const diagnosis::Check *find(const Seen &s, const QString &name)
{
    for (const diagnosis::Check &c : s.checks)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

class TestE2eDiagnosis : public QObject {
    Q_OBJECT
private slots:
    void fromTheHelpMenuOverTheOpenLink()
    {
        Harness h;
        FormMain *f = h.startQuiet();
        QVERIFY(f->menu_help_diagnosis);
        QCOMPARE(f->menu_help_diagnosis->text(), QStringLiteral("接続診断(&D)…"));
        QMenu *help = nullptr;
        for (QAction *a : f->menuBar()->actions())
            if (a->text() == QStringLiteral("ヘルプ(&H)")) help = a->menu();
        QVERIFY(help && help->actions().contains(f->menu_help_diagnosis));

        ProgrammerLink *link = gui::Link();
        QVERIFY(link && link->isOpen());
        Seen seen;
        inspectNext(h, &seen);
        f->menu_help_diagnosis->trigger();
        QCOMPARE(h.modalTitles.value(0), QStringLiteral("接続診断"));
        QCOMPARE(seen.rows, 7);
        // The writer's turnaround may read slow on a loaded machine: a warning, never a failure.
        for (const diagnosis::Check &c : seen.checks)
            QVERIFY2(c.status == (c.name == QLatin1String("writer") ? c.status : diagnosis::Status::Ok) && c.status != diagnosis::Status::Fail,
                     qPrintable(c.name + ": " + c.detail));
        QCOMPARE(seen.firstStatusCell, QStringLiteral("正常"));
        QVERIFY(find(seen, QStringLiteral("busy"))->detail.contains(QStringLiteral("このプログラムが開いている")));
        QVERIFY(find(seen, QStringLiteral("writer"))->detail.contains(QStringLiteral("1.05")));
        QVERIFY(!seen.ruleEnabled);  // a pseudo-terminal has no adapter to write a rule for
        QVERIFY(seen.report.startsWith(QStringLiteral("接続診断: ")) && seen.report.contains(QStringLiteral("ok   target")));
        // The same link, still open and free for the next command.
        QCOMPARE(gui::Link(), link);
        QVERIFY(link->isOpen() && !link->busy());
        QVERIFY(h.hostBytes().endsWith("SSSSSSSS@Y"));  // pings, version, register: nothing that writes
    }

    void whileAnotherWindowHoldsTheLink()
    {
        Harness h;
        h.startQuiet();
        h.clearWire();
        LinkSession other(*gui::Link(), "frmEPROM");
        QVERIFY(other.held());
        Seen seen;
        inspectNext(h, &seen);
        h.form->menu_help_diagnosis_Click();
        const diagnosis::Check *busy = find(seen, QStringLiteral("busy"));
        QVERIFY(busy && busy->status == diagnosis::Status::Fail);
        QVERIFY(busy->detail.contains(QStringLiteral("このプログラム自身")));
        QCOMPARE(diagnosis::exitCode(seen.checks), 75);
        QVERIFY(h.hostBytes().isEmpty());  // nothing crossed the other window's exchange
    }

    // No port chosen yet (the port dialog was closed): after the run the window still asks for
    // one, not ": problems found" about no device.
    void withoutAPortChosen()
    {
        Harness h;
        h.writeIni("");
        h.start();  // the port dialog gets no action: its close box
        QCOMPARE(settings::stored().CommPortNumber, qint16(0));
        QVERIFY(!gui::Link()->isOpen());
        Seen seen;
        inspectNext(h, &seen);
        h.form->menu_help_diagnosis_Click();
        QCOMPARE(seen.heading, QStringLiteral("通信ポートが選ばれていません。通信設定でポートを選んでください。"));
        const diagnosis::Check *device = find(seen, QStringLiteral("device"));
        QVERIFY(device && device->status == diagnosis::Status::Fail);
    }

    // A normal start whose port cannot be opened offers the diagnosis beside OK.
    void fromThePortErrorOfANormalStart()
    {
        for (const bool asked : {false, true}) {
            Harness h;
            h.writeIni("[Ports]\nCOM1=" + h.path(QStringLiteral("unplugged")).toLocal8Bit() + "\n[Com]\nport= 1\n");
            if (asked) h.answers.push_back(QMessageBox::Help);
            Seen seen;
            inspectNext(h, &seen);
            h.start();
            QVERIFY(!h.messages.isEmpty());
            const gui::Message &box = h.messages.first();
            QCOMPARE(box.extraButton, QStringLiteral("接続診断(&D)…"));
            QVERIFY(box.buttons == QMessageBox::Ok);  // OK stays the box's default
            QCOMPARE(h.modalTitles.contains(QStringLiteral("接続診断")), asked);
            if (!asked) continue;
            const diagnosis::Check *device = find(seen, QStringLiteral("device"));
            QVERIFY(device && device->status == diagnosis::Status::Fail);
            QVERIFY(device->detail.contains(QStringLiteral("unplugged")));
        }
    }

    // An FTDI adapter (a made-up system whose /dev/ttyUSB0 leads to the simulated writer): its
    // rule is one button away.
    void udevRuleOfTheAdapter()
    {
        Harness h;
        SystemTree t;
        SystemTree::Usb ftdi;
        ftdi.latency = 1;
        t.usb(ftdi);
        t.linkOut(QStringLiteral("/dev/ttyUSB0"), h.sim.slavePath());
        FrmDiagnosis::setSystemRoot(t.root());
        h.writeIni("[Ports]\nCOM1=/dev/ttyUSB0\n[Com]\nport= 1\n");
        QString rule;
        bool enabled = false;
        QVector<diagnosis::Check> checks;
        h.answers.push_back(QMessageBox::Help);
        h.modalActions.push_back([&](QDialog *d) {
            auto *w = qobject_cast<FrmDiagnosis *>(d);
            if (!w) return;
            w->RunChecks();
            checks = w->checks();
            enabled = w->RuleButton->isEnabled();
            w->RuleButton->click();
        });
        h.modalActions.push_back([&](QDialog *d) {
            if (auto *text = d->findChild<QPlainTextEdit *>(QStringLiteral("ruleText"))) rule = text->toPlainText();
        });
        h.start();  // /dev/ttyUSB0 is no device of this machine: the port error offers the diagnosis
        FrmDiagnosis::setSystemRoot(QStringLiteral("/"));
        QCOMPARE(checks.size(), 7);
        for (const diagnosis::Check &c : checks)
            QVERIFY2(c.status != diagnosis::Status::Fail, qPrintable(c.name + ": " + c.detail));
        QVERIFY(checks[0].detail.contains(QStringLiteral("0403:6001")));
        QVERIFY(enabled);
        QVERIFY(rule.contains(QStringLiteral("ATTRS{serial}==\"A7XK21QZ\"")) && rule.contains(QStringLiteral("ATTR{latency_timer}=\"1\"")));
        QVERIFY(diagnosis::checkUdevRules(rule).isEmpty());
    }

    void unattendedStartsOfferNothing()
    {
        for (const bool dataFile : {false, true}) {
            Harness h;
            h.writeIni("[Ports]\nCOM1=" + h.path(QStringLiteral("unplugged")).toLocal8Bit() + "\n[Com]\nport= 1\n");
            const QString hex = h.writeFile(QStringLiteral("a.hex"), ":02000000FF3FC0\n:00000001FF\n");
            const QString data = h.writeFile(QStringLiteral("d.txt"), "00 01 02 03\n");
            h.start(dataFile ? QStringList{QStringLiteral("/F"), data} : QStringList{hex});
            QVERIFY(!h.messages.isEmpty());
            for (const gui::Message &m : h.messages) QVERIFY(m.extraButton.isEmpty());
            QVERIFY(!h.modalTitles.contains(QStringLiteral("接続診断")));
        }
    }

    // Closed while it waits on a silent writer: the run stops there, the window goes.
    void closedDuringTheRun()
    {
        Harness h;
        h.startQuiet();
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QVector<diagnosis::Check> checks;
        bool closedAfter = false;
        h.modalActions.push_back([&](QDialog *d) {
            auto *w = qobject_cast<FrmDiagnosis *>(d);
            if (!w) return;
            QObject::connect(&h.sim, &sim::PtyServer::byteFromHost, w, [w](quint8 b) {
                if (b == 'S') w->close();
            });
            w->RunChecks();
            checks = w->checks();
            QTest::qWait(50);  // the close asked for during the run comes after it
            closedAfter = !w->isVisible();
        });
        h.form->menu_help_diagnosis_Click();
        QCOMPARE(checks.size(), 7);
        QVERIFY(checks[5].detail.contains(QStringLiteral("中断")));
        QVERIFY(closedAfter);
        QVERIFY(!gui::Link()->busy());
    }
};

QTEST_MAIN(TestE2eDiagnosis)
#include "tst_e2e_diagnosis.moc"

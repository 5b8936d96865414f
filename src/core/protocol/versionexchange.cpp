// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/versionexchange.h"

#include "core/link/programmerlink.h"

#include <QCoreApplication>

namespace about {

QString versionLine(int major, int minor)
{
    const QString majorText = major == 0 ? QString() : QString::number(major);
    return QStringLiteral("Ver ") + majorText + QLatin1Char('.') + QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0'));
}

QString firmwareVersionText(const QString &accumulated)
{
    return QCoreApplication::translate("about", "ファームウェアバージョン %1.%2").arg(accumulated.left(1), accumulated.right(2));
}

VersionResult queryFirmwareVersion(ProgrammerLink &link, ExchangeHost &host)
{
    VersionResult result;
    ReplyWait &wait = host.replyWait();
    processPendingEvents();
    if (host.cancelled()) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    link.clearInput();
    link.sendLetter('@');
    // One time limit for the whole answer.
    wait.begin();
    host.armTimeout(kQueryTimeoutMs);
    int counter = 0;
    QString accumulated;
    QString s;
    for (;;) {
        processPendingEvents();
        if (host.cancelled()) {
            result.outcome = Outcome::Cancelled;
            return result;
        }
        if (wait.expired()) {
            result.outcome = failureOf(link, false, Outcome::TimedOut);
            return result;
        }
        if (link.bytesWaiting() < 1) {
            // Sleep until something happens: a byte, the time limit, the user.
            waitForEvents();
            continue;
        }
        s = link.readText();
        ++counter;
        if (s == QLatin1String("a") && counter >= 3) break;
        accumulated += s;
        if (counter == 10) break;
    }
    if (s != QLatin1String("a")) {
        result.outcome = Outcome::WriterError;
        return result;
    }
    result.text = firmwareVersionText(accumulated);
    return result;
}

}  // namespace about

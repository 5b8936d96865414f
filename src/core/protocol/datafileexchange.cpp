// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/datafileexchange.h"

#include "core/formats/datafile.h"
#include "core/link/programmerlink.h"
#include "core/platform.h"

namespace datafilewrite {

Result writeDataFile(ProgrammerLink &link, ExchangeHost &host, const QString &path)
{
    Result result;
    auto failed = [&](Outcome otherwise) { return failureOf(link, false, otherwise); };
    link.clearInput();
    link.sendLetter('M');
    if (host.awaitByteUntimed(link) == ReplyWait::End::Cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        host.show(messages::dataFilePowerOff());
        result.outcome = failed(Outcome::NoPower);
        return result;
    }
    if (reply != QLatin1String("m")) {
        link.sendLetter('C');
        host.show(messages::dataFileCommFailed());
        result.outcome = failed(Outcome::WriterError);
        return result;
    }
    if (!platform::isRegularFile(path)) {
        host.show(messages::dataFileMissing());
        result.outcome = Outcome::FileError;
        return result;
    }
    host.progress(messages::kEepromWriting);
    const datafile::ReadResult data = datafile::readDataFile(path);
    if (!data.ok) {
        // Writing zeros in place of an unreadable file would be reported as a success.
        host.show(messages::dataFileUnreadable(data.error));
        result.outcome = Outcome::FileError;
        return result;
    }

    // No address goes out: the writer stores the bytes at 0, 1, 2, ... in the order they come.
    for (const uint8_t b : data.bytes) {
        link.sendByte((b & 0x80) ? 0x81 : 0x80);
        link.sendByte(uint8_t(b | 0x80));
        result.unconfirmed = true;
        if (host.awaitByteUntimed(link) == ReplyWait::End::Cancelled) {
            result.outcome = Outcome::Cancelled;
            return result;
        }
        reply = link.readText();
        if (reply != QLatin1String("m") && reply != QLatin1String("a")) {
            link.sendLetter('C');
            // The write stopped part-way: the detail says how far it got.
            host.show(messages::dataFileCommFailed(messages::dataFileStoppedAt(result.written, datafile::kBytes)
                                                   + messages::byteUnconfirmed(result.written)));
            result.outcome = failed(Outcome::WriterError);
            return result;
        }
        ++result.written;
        result.unconfirmed = false;
    }
    host.show(messages::dataFileDone());
    result.outcome = Outcome::Done;
    return result;
}

}  // namespace datafilewrite

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/datafilecheck.h"
#include "cli/clitext.h"

#include "core/formats/datafile.h"
#include "core/messages.h"

#include <QFile>
#include <QRegularExpression>

namespace cli {

DataFileCheck checkDataFile(const QString &path)
{
    DataFileCheck c;
    const datafile::ReadResult read = datafile::readDataFile(path);
    if (!read.ok) {
        c.readError = read.error;
        return c;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        c.readError = f.errorString();
        return c;
    }
    const QByteArray t = datafile::decodeText(f.read(datafile::kMaxFileBytes));

    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    std::array<int, datafile::kBytes> bytes;
    bytes.fill(-1);
    int values = 0;
    int addressNotes = 0;
    // Lines as the write splits them: CR LF, LF and a lone CR end one; blank lines hold nothing.
    int pos = t.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const int n = int(t.size());
    for (int lineNo = 1; pos < n; ++lineNo) {
        const QByteArray line = datafile::nextLine(t, &pos);
        if (datafile::trimmedBlanks(line).isEmpty()) continue;
        bool extra = false;
        for (const QByteArray &raw : line.split(',')) {
            if (values >= datafile::kValuesUsed) {
                c.warnings << text::lineNote(lineNo, text::dataFileExtra(datafile::kValuesUsed));
                extra = true;
                break;
            }
            const QString field = QString::fromUtf8(datafile::trimmedBlanks(raw));
            const int position = values % 4;
            const int group = values / 4;
            ++values;
            if (!wholeNumber.match(field).hasMatch()) {
                c.errors << text::lineNote(lineNo, text::dataFileNotANumber(field));
                continue;
            }
            bool ok = false;
            const qlonglong v = field.toLongLong(&ok);
            if (position == 1 || position == 3) {
                if (!ok || v < 0 || v > 255) c.errors << text::lineNote(lineNo, text::dataFileOutOfRange(field));
                else bytes[size_t(2 * group + position / 2)] = int(v);
            } else if (!ok || v != 2 * group + position / 2) {
                // The write does not look at it: the value goes to the next address whatever it says.
                if (addressNotes++ == 0)
                    c.warnings << text::lineNote(lineNo, text::dataFileAddressIgnored(field, 2 * group + position / 2));
            }
        }
        if (extra) break;
    }
    if (addressNotes > 1) c.warnings << text::dataFileMoreAddressNotes(addressNotes - 1);
    if (values < datafile::kValuesUsed) {
        c.errors << text::dataFileTooFew(values, datafile::kValuesUsed);
    } else if (c.errors.isEmpty()) {
        // The bytes this reading found are the ones the write will send.
        for (int i = 0; i < datafile::kBytes; ++i)
            if (bytes[size_t(i)] != read.bytes[size_t(i)]) c.errors << text::dataFileInconsistent(i);
    }
    return c;
}

QByteArray dataFileText(const std::array<int, 64> &bytes)
{
    QByteArray out;
    for (int a = 0; a < int(bytes.size()); ++a)
        out += QByteArray::number(a) + ',' + QByteArray::number(bytes[size_t(a)] & 0xFF) + '\n';
    return out;
}

}  // namespace cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Serial numbers for `write`: where a unit's number goes (data EEPROM bytes or retlw words),
// its bytes, the checks before anything is sent, and the counter file or list it comes from.
// A number is handed out under a lock on FILE.lock and the file is replaced whole, so two
// processes never get the same one and a cut write leaves the old file or the new one.

#include "core/formats/memoryimage.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace serialnumber {

// The largest number a JSON reader keeps exactly.
constexpr qint64 kLargest = (qint64(1) << 53) - 1;

// Decimal or 0x…, 0 to kLargest.
std::optional<qint64> parseNumber(const QString &text);

struct Place {
    enum class Space { Eeprom, Retlw };
    Space space = Space::Eeprom;
    int address = 0;
    int length = 0;
    bool littleEndian = false;
    bool inEeprom() const { return space == Space::Eeprom; }
};

// "eeprom:ADDR:LEN" or "retlw:ADDR:LEN"; the error text when it is not one.
std::optional<Place> parsePlace(const QString &text, QString *error);

// Empty when the place lies in memory and clear of the file's own data, else why not.
QString checkPlace(const Place &p, const memoryimage::Image &img);
// Empty when the number fits the place's bytes, else why not.
QString checkFits(const Place &p, qint64 value);

// The number's bytes in address order.
QVector<int> bytesOf(const Place &p, qint64 value);
// Puts the number into the image: EEPROM bytes, or retlw k (34kkh) words.
void apply(const Place &p, qint64 value, memoryimage::Image *img);
// The HEX file's text with the retlw words added as records where the write reaches them in
// file order (before the first data record past them).
QByteArray hexWithRetlw(const QByteArray &hex, const Place &p, qint64 value);

// Where numbers come from: a counter file or a list.
class Source {
public:
    enum class Kind { Counter, List };
    enum class Status { Ok, Missing, Bad, Exhausted, CannotWrite };

    static Source counter(const QString &path, std::optional<qint64> start, qint64 step);
    static Source list(const QString &path);

    QString path() const { return path_; }
    // The number the next take would give, nothing taken (for the checks before sending); also
    // makes sure the take can lock and replace the file.
    Status peek(qint64 *value, QString *error) const;
    // Takes the next number for good; check (may be empty) refuses one that does not fit
    // before anything is changed, with Status::Bad and its reason.
    Status take(qint64 *value, QString *error, const std::function<QString(qint64)> &check = {});
    // Records how the unit that got value ended: a list marks its line, a counter notes a
    // failed number in FILE.failed. False (and why) when that could not be written.
    bool record(qint64 value, bool passed, const QString &port, QString *error);

private:
    Status nextLocked(qint64 *value, QByteArray *newText, QString *error) const;
    Kind kind_ = Kind::Counter;
    QString path_;
    std::optional<qint64> start_;
    qint64 step_ = 1;
};

}  // namespace serialnumber

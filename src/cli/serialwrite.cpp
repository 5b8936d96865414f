// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/serialwrite.h"

#include "cli/clitext.h"
#include "cli/prodtext.h"
#include "cli/writersession.h"

#include <QDir>
#include <QFile>

namespace cli {

namespace {

int statusOf(serialnumber::Source::Status st)
{
    using S = serialnumber::Source::Status;
    switch (st) {
    case S::Ok: return exitcode::Ok;
    case S::Missing: return exitcode::NoInput;
    case S::Bad:
    case S::Exhausted: return exitcode::BadInput;
    case S::CannotWrite: return exitcode::CannotWrite;
    }
    return exitcode::BadInput;
}

int refuse(Run &run, int status, const QString &why)
{
    run.out.error(why);
    run.error = why;
    return status;
}

}  // namespace

int checkSerial(Run &run, const memoryimage::Image &img, SerialWrite *sw)
{
    const ProductionOptions &p = run.options.prod;
    if (!p.serialGiven()) return exitcode::Ok;
    QString why;
    sw->place = serialnumber::parsePlace(p.serial, &why);
    if (!sw->place) return refuse(run, exitcode::Usage, why);
    sw->place->littleEndian = p.serialLe;
    if (const QString w = serialnumber::checkPlace(*sw->place, img); !w.isEmpty()) return refuse(run, exitcode::Usage, w);
    qint64 next = 0;
    const auto st = serialSource(p).peek(&next, &why);
    if (st != serialnumber::Source::Status::Ok) return refuse(run, statusOf(st), why);
    if (const QString w = serialnumber::checkFits(*sw->place, next); !w.isEmpty()) return refuse(run, exitcode::Usage, w);
    if (!sw->place->inEeprom()) {
        QFile f(run.options.arguments.at(0));
        if (!f.open(QIODevice::ReadOnly)) return refuse(run, exitcode::NoInput, text::inputUnreadable(f.fileName()));
        sw->hex = f.readAll();
    }
    return exitcode::Ok;
}

int takeSerial(Run &run, SerialWrite *sw, memoryimage::Image *img, QString *sendPath)
{
    if (!sw->place) return exitcode::Ok;
    const serialnumber::Place &place = *sw->place;
    serialnumber::Source source = serialSource(run.options.prod);
    qint64 value = 0;
    QString why;
    bool tooLarge = false;
    const auto st = source.take(&value, &why, [&](qint64 v) {
        const QString w = serialnumber::checkFits(place, v);
        tooLarge = !w.isEmpty();
        return w;
    });
    if (st != serialnumber::Source::Status::Ok) return refuse(run, tooLarge ? exitcode::Usage : statusOf(st), why);
    run.unit.serial = value;
    run.out.info(text::serialTaken(value, run.options.prod.serial));
    serialnumber::apply(place, value, img);
    if (place.inEeprom()) return exitcode::Ok;
    const QByteArray hex = serialnumber::hexWithRetlw(sw->hex, place, value);
    sw->sendFile.setFileTemplate(QDir::tempPath() + QStringLiteral("/veltraw-serial-XXXXXX.hex"));
    if (!sw->sendFile.open() || sw->sendFile.write(hex) != hex.size() || !sw->sendFile.flush())
        return refuse(run, exitcode::CannotWrite, text::serialFileNotWritten(sw->sendFile.fileName(), sw->sendFile.errorString()));
    *sendPath = sw->sendFile.fileName();
    return exitcode::Ok;
}

}  // namespace cli

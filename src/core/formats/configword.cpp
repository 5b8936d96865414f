// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/configword.h"

#include <QCoreApplication>

namespace configword {

Selection selectionFromWord(qint16 word)
{
    Selection s;
    static const int oscillatorIndex[4] = {1, 2, 3, 0};  // LP, XT, HS, RC
    s.oscillator = oscillatorIndex[word & 3];
    s.watchdog = (word & 4) ? 0 : 1;
    s.powerUp = (word & 8) ? 1 : 0;
    s.codeProtect = (word & 16) ? 1 : 0;
    return s;
}

qint16 wordFromSelection(const Selection &s)
{
    static const int oscillatorBits[4] = {3, 0, 1, 2};  // RC, LP, XT, HS
    int w = (s.oscillator >= 0 && s.oscillator < 4) ? oscillatorBits[s.oscillator] : 0;
    if (s.watchdog == 0) w += 4;
    if (s.powerUp == 1) w += 8;
    if (s.codeProtect == 1) w += 16;
    return qint16(w);
}

QString describe(int word)
{
    const Selection s = selectionFromWord(qint16(word));
    static const char *const kOscillator[4] = {"RC", "LP", "XT", "HS"};
    auto onOff = [](int i) { return QLatin1String(i == 0 ? "ON" : "OFF"); };
    return QCoreApplication::translate("configword", "オシレータ %1、ウォッチドッグタイマ %2、パワーアップタイマ %3、コードプロテクト %4")
        .arg(QLatin1String(kOscillator[s.oscillator]), onOff(s.watchdog), onOff(s.powerUp), onOff(s.codeProtect));
}

}  // namespace configword

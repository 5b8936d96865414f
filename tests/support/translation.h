// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's two languages in tests, without a window: switching to English for one test,
// telling Japanese text, and reading a catalogue (.ts) as lupdate writes it.

#include "core/i18n.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QXmlStreamReader>

// The suites speak Japanese, and so does the rest of the suite once the scope is left.
class LanguageScope {
public:
    explicit LanguageScope(i18n::Language language) : before_(i18n::current()), installed_(i18n::install(language)) {}
    ~LanguageScope() { i18n::install(before_); }
    LanguageScope(const LanguageScope &) = delete;
    LanguageScope &operator=(const LanguageScope &) = delete;
    // False when a catalogue could not be loaded.
    bool installed() const { return installed_; }

private:
    i18n::Language before_;
    bool installed_;
};

// Kana, kanji, Japanese punctuation or full-width forms.
inline bool hasJapanese(const QString &s)
{
    for (const QChar c : s) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

struct CatalogueEntry {
    QString context;
    QString source;
    QString comment;      // lupdate's disambiguation, when two entries share a source
    QString translation;
    QString type;         // "unfinished", "vanished", "obsolete", or empty when finished
};

// Every entry of a catalogue; false with *error set when it cannot be read or parsed.
inline bool readCatalogue(const QString &path, QList<CatalogueEntry> *entries, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    QXmlStreamReader xml(&f);
    // An element's text, where lupdate writes a control character such as the "\r" of "\r\n" as
    // <byte value="xd"/>.
    auto text = [&xml] {
        QString t;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isCharacters()) {
                t += xml.text();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("byte")) {
                const QString v = xml.attributes().value(QLatin1String("value")).toString();
                t += QChar(v.startsWith(QLatin1Char('x')) ? v.mid(1).toUShort(nullptr, 16) : v.toUShort());
            } else if (xml.isEndElement() && xml.name() != QLatin1String("byte")) {
                break;
            }
        }
        return t;
    };
    CatalogueEntry e;
    while (!xml.atEnd()) {
        // Token by token: readNextStartElement() after text() would end the document as premature.
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("name")) {
            e.context = text();
        } else if (xml.name() == QLatin1String("message")) {
            e.comment.clear();
        } else if (xml.name() == QLatin1String("source")) {
            e.source = text();
        } else if (xml.name() == QLatin1String("comment")) {
            e.comment = text();
        } else if (xml.name() == QLatin1String("translation")) {
            e.type = xml.attributes().value(QLatin1String("type")).toString();
            e.translation = text();
            entries->append(e);
        }
    }
    if (xml.hasError()) *error = QStringLiteral("%1: %2").arg(path, xml.errorString());
    return !xml.hasError();
}

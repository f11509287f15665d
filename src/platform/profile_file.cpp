#include "profile_file.h"

#include "file_replace.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

namespace quad {

namespace {

struct Lines
{
    QStringList lines;
    QString eol = QStringLiteral("\r\n");
    bool trailingEol = true;
    bool windowsCodePage = false; ///< the file is not UTF-8: it is in Windows-1252
};

/// Windows-1252 characters 0x80-0x9F; the rest of the code page is Latin-1. (0 = unused.)
const char16_t kCp1252High[32]
    = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar b = uchar(c);
        const char16_t high = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : 0;
        text += QChar(high ? high : char16_t(b));
    }
    return text;
}

/// The text in Windows-1252; false when a character has no place in that code page.
bool toCp1252(const QString& text, QByteArray* out)
{
    out->clear();
    out->reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out->append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32 && found < 0; ++i) {
            if (kCp1252High[i] == u)
                found = i;
        }
        if (found < 0)
            return false;
        out->append(char(0x80 + found));
    }
    return true;
}

bool load(const QString& file, Lines* out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    // A file written by another Windows program is in its code page, not UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text = fromCp1252(bytes);
        out->windowsCodePage = true;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    out->eol = text.contains(QLatin1String("\r\n")) || !text.contains(QLatin1Char('\n')) ? QStringLiteral("\r\n")
                                                                                         : QStringLiteral("\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out->trailingEol = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    out->lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    return true;
}

/// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return QString();
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

/// Key of a "key=value" line; null for lines without '='.
QString keyOf(const QString& line, QString* value)
{
    if (isComment(line))
        return QString();
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    if (value)
        *value = line.mid(eq + 1);
    return line.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

QString ProfileFile::read(const QString& file, const QString& section, const QString& key, const QString& defaultValue)
{
    Lines content;
    if (!load(file, &content))
        return defaultValue;
    bool inSection = false;
    for (const QString& line : content.lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        QString value;
        const QString k = keyOf(line, &value);
        if (!k.isNull() && sameName(k, key)) {
            value = value.trimmed();
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return defaultValue;
}

namespace {

/// Sets key in section of the loaded lines, adding the section or the key where missing.
void setKey(Lines& content, const QString& section, const QString& key, const QString& value)
{
    const QString newLine = key.trimmed() + QLatin1Char('=') + value;
    int sectionStart = -1;
    int lastKeyLine = -1;
    for (int i = 0; i < content.lines.size(); ++i) {
        const QString name = sectionOf(content.lines[i]);
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break; // left the section without finding the key
            if (sameName(name, section)) {
                sectionStart = i;
                lastKeyLine = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        const QString k = keyOf(content.lines[i], nullptr);
        if (!k.isNull()) {
            lastKeyLine = i;
            if (sameName(k, key)) {
                content.lines[i] = newLine;
                return;
            }
        } else if (!content.lines[i].trimmed().isEmpty()) {
            lastKeyLine = i;
        }
    }
    if (sectionStart >= 0) {
        content.lines.insert(lastKeyLine + 1, newLine);
    } else {
        content.lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        content.lines.append(newLine);
    }
}

} // namespace

bool ProfileFile::write(const QString& file, const QString& section, const QString& key, const QString& value,
                        QString* error)
{
    return write(file, {{section, key, value}}, error);
}

bool ProfileFile::write(const QString& file, const QList<ProfileValue>& values, QString* error)
{
    Lines content;
    const bool existed = load(file, &content);
    if (!existed && QFile::exists(file)) {
        // Present but unreadable: never overwrite it blind.
        if (error)
            *error = QStringLiteral("Impossibile leggere il file %1.").arg(file);
        return false;
    }
    for (const ProfileValue& v : values)
        setKey(content, v.section, v.key, v.value);

    QString text = content.lines.join(content.eol);
    if (content.trailingEol || !existed)
        text += content.eol;
    QByteArray bytes;
    if (!content.windowsCodePage) {
        bytes = text.toUtf8();
    } else if (!toCp1252(text, &bytes)) {
        if (error) {
            QStringList keys;
            for (const ProfileValue& v : values)
                keys << v.key;
            *error = QStringLiteral("Il valore di %1 contiene caratteri che il file %2 non può contenere.")
                         .arg(keys.join(QStringLiteral(", ")), file);
        }
        return false;
    }
    return replaceFile(file, bytes, error);
}

} // namespace quad

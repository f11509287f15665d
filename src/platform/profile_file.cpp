#include "profile_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace quad {

namespace {

struct Lines
{
    QStringList lines;
    QString eol = QStringLiteral("\r\n");
    bool trailingEol = true;
};

bool load(const QString& file, Lines* out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(f.readAll());
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

bool ProfileFile::write(const QString& file, const QString& section, const QString& key, const QString& value)
{
    Lines content;
    const bool existed = load(file, &content);
    if (!existed && QFile::exists(file))
        return false; // present but unreadable: never overwrite it blind

    const QString newLine = key.trimmed() + QLatin1Char('=') + value;
    int sectionStart = -1;
    int lastKeyLine = -1;
    bool done = false;
    for (int i = 0; i < content.lines.size() && !done; ++i) {
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
                done = true;
            }
        } else if (!content.lines[i].trimmed().isEmpty()) {
            lastKeyLine = i;
        }
    }
    if (!done) {
        if (sectionStart >= 0) {
            content.lines.insert(lastKeyLine + 1, newLine);
        } else {
            content.lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
            content.lines.append(newLine);
        }
    }

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QString text = content.lines.join(content.eol);
    if (content.trailingEol || !existed)
        text += content.eol;
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size())
        return false;
    return out.commit();
}

} // namespace quad

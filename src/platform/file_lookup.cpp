#include "file_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace quad {

QString findEntryNoCase(const QString& folder, const QString& name)
{
    QDir dir(folder);
    if (name.isEmpty() || !dir.exists())
        return QString();
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries
        = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return QString();
}

QString resolveNoCase(const QString& base, const QString& relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString current = QDir::isAbsolutePath(rel) ? QStringLiteral("/") : base;
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            current = QFileInfo(current).path();
            continue;
        }
        const QString found = findEntryNoCase(current, part);
        current = found.isNull() ? QDir(current).filePath(part) : found;
    }
    return QDir::cleanPath(current);
}

QStringList subFoldersWithPrefix(const QString& folder, const QString& prefix)
{
    QStringList result;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (info.fileName().startsWith(prefix, Qt::CaseInsensitive))
            result << info.fileName();
    }
    return result;
}

} // namespace quad

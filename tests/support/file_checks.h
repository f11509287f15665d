#pragma once

#include "database.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace quad::test {

/// The whole content of a file ("" when it cannot be read).
inline QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

/// The permission bits of a file (0 when it is missing).
inline unsigned modeOf(const QString& file)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return 0;
    return st.st_mode & 0777;
}

/// True when the archive file opens with password.
inline bool opensWith(const QString& file, const QString& password)
{
    DbResult err;
    return Connection::open(file, password.toUtf8(), &err) != nullptr;
}

} // namespace quad::test

#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace quad {

/// Replaces the file at path with bytes in one step: the bytes go to a temporary file beside it,
/// which takes the file's place only once it is whole on disk. On any failure (a full disk, no
/// rights, a folder that is not there) the old file stays exactly as it was, no temporary file is
/// left, and false comes back with the cause in *error. A missing file is created.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

/// Lets tests make replaceFile() fail part way through its write for the paths fails() picks, as
/// a full disk does. Null restores normal working.
void setFileWriteFaultForTests(std::function<bool(const QString& path)> fails);

} // namespace quad

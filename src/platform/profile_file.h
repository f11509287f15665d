#pragma once

#include <QList>
#include <QString>

namespace quad {

/// One key of a settings file and the value it is to take.
struct ProfileValue
{
    QString section;
    QString key;
    QString value;
};

/// A settings file in the Windows profile format ("[section]" lines followed by "key=value"
/// lines), read and written one key at a time. Sections and keys are matched without regard
/// to case and to surrounding blanks; lines the program does not know (comments, other
/// sections, odd spacing) are kept as they are. A file that is not valid UTF-8 was written by
/// another Windows program in its code page: it is read as Windows-1252 and written back in it.
/// A file this class creates is UTF-8. Line ends follow the file's own (CR LF for a new file).
class ProfileFile
{
public:
    /// The value of key in section; the default when the file, the section or the key is missing.
    /// A key present with an empty value gives "". Blanks around the value are dropped, and one
    /// pair of enclosing double quotes is removed.
    static QString read(const QString& file, const QString& section, const QString& key, const QString& defaultValue);
    /// Sets key in section to value, creating the file and the section when missing; every
    /// other line stays as it was. The file is replaced in one step, so a failure never leaves
    /// half a file. Returns false, with the cause in *error, when the file cannot be read or
    /// written, or when the value has characters its code page cannot hold; the file is then
    /// left as it was.
    static bool write(const QString& file, const QString& section, const QString& key, const QString& value,
                      QString* error = nullptr);
    /// Sets every key of values, in order, in one replacement of the file: they are all written
    /// or, on any failure, none is (the same rules as the single-key write otherwise).
    static bool write(const QString& file, const QList<ProfileValue>& values, QString* error = nullptr);
};

} // namespace quad

#pragma once

#include "database.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

namespace quad {

/// The passwords that opened archives this session other than with the session's own: a
/// historical archive keyed otherwise, or an archive whose key another station changed while it
/// was in use. Each opens its own archive only; archives are told apart by their file, whatever
/// path names it.
class ArchiveKeys
{
public:
    /// Remembers password as the one that opened archive; the session's own password is not
    /// remembered (it is tried on every archive anyway).
    void accept(const QString& archive, const QString& password, const QString& sessionPassword);
    /// The keys to try on archive, best first: the one that opened it this session, then the
    /// session's own.
    QList<QByteArray> keysFor(const QString& archive, const QByteArray& sessionKey) const;
    /// Forgets every password (after all the archives took the session's new one).
    void clear() { m_keys.clear(); }

private:
    QHash<QString, QString> m_keys;
};

/// Opens archive on a connection of its own with the first of keys that opens it, which goes to
/// *usedKey when given. Null, with the cause in *error, when none does (the last key's failure) or
/// the file cannot be opened at all.
std::shared_ptr<Connection> openWithKeys(const QString& archive, const QList<QByteArray>& keys, DbResult* error,
                                         QByteArray* usedKey = nullptr);

} // namespace quad

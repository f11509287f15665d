#include "archive_keys.h"

#include <QFileInfo>

namespace quad {

namespace {

/// An archive as its file, whatever path leads to it (archives are remembered once they opened).
QString fileKey(const QString& archive)
{
    return QFileInfo(archive).canonicalFilePath();
}

} // namespace

void ArchiveKeys::accept(const QString& archive, const QString& password, const QString& sessionPassword)
{
    if (password == sessionPassword)
        m_keys.remove(fileKey(archive));
    else
        m_keys.insert(fileKey(archive), password);
}

QList<QByteArray> ArchiveKeys::keysFor(const QString& archive, const QByteArray& sessionKey) const
{
    QList<QByteArray> keys;
    const auto accepted = m_keys.constFind(fileKey(archive));
    if (accepted != m_keys.constEnd())
        keys << accepted->toUtf8();
    keys << sessionKey;
    return keys;
}

std::shared_ptr<Connection> openWithKeys(const QString& archive, const QList<QByteArray>& keys, DbResult* error,
                                         QByteArray* usedKey)
{
    DbResult last = DbResult::failure(DbError::WrongKey, QStringLiteral("Password mancante"));
    for (const QByteArray& key : keys) {
        if (key.isEmpty())
            continue;
        if (auto db = Connection::open(archive, key, &last)) {
            *error = {};
            if (usedKey)
                *usedKey = key;
            return db;
        }
        if (last.code != DbError::WrongKey)
            break;
    }
    *error = last;
    return nullptr;
}

} // namespace quad

#include "compaction.h"

#include "program_folder.h"

namespace quad {

QString archivio_da_compattare(const WorkingState& s)
{
    return fileInFolder(resolveDataFolder(s.p_path_cartella), s.p_nome_database);
}

DbResult compatta_database(const QString& archive, const QList<QByteArray>& keys)
{
    // The program keeps no connection of its own open while the file is rebuilt.
    Connection::dropShared(archive);
    DbResult err;
    auto db = openWithKeys(archive, keys, &err);
    if (!db)
        return err;
    err = db->vacuum();
    if (!err.ok())
        return err;
    const QVariant check = db->scalar(QStringLiteral("PRAGMA quick_check"), {}, &err);
    if (!err.ok())
        return err;
    if (check.toString() != QLatin1String("ok"))
        return DbResult::failure(DbError::Corrupt, QStringLiteral("Archivio danneggiato: %1").arg(check.toString()));
    return {};
}

DbResult compatta_database(const QString& archive, const QString& password)
{
    return compatta_database(archive, QList<QByteArray> {password.toUtf8()});
}

DbResult compatta_database(const WorkingState& s)
{
    const QString archive = archivio_da_compattare(s);
    return compatta_database(archive, s.chiavi_archivi.keysFor(archive, s.p_password.toUtf8()));
}

QString messaggio_errore_compattazione(const DbResult& r)
{
    QString reason = r.message;
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return QStringLiteral("Errore durante il tentativo di compattazione del database: ") + reason + QStringLiteral(".");
}

} // namespace quad

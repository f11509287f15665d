#include "folder_links.h"

#include "folder_tree_store.h"

namespace quad {

QString query_nodo(const QString& key, bool soloLivello, QVariantList* params)
{
    QString sql = QStringLiteral("SELECT sys_rela_tree.*, entrata.*, mittenti.* "
                                 "FROM (entrata INNER JOIN sys_rela_tree "
                                 "ON entrata.Progressivo = sys_rela_tree.SYS_USER_ID) "
                                 "INNER JOIN mittenti ON (entrata.Progressivo = mittenti.Quadernolo "
                                 "AND entrata.Tipo = mittenti.tipo) ");
    params->clear();
    if (key != kRadiceFascicoli) {
        // A folder's subfolders are the keys that begin with its key: every component ends
        // with "\", so 3\ is not the beginning of 30\.
        if (soloLivello) {
            sql += QStringLiteral("WHERE sys_rela_tree.SYS_TREE = ? ");
            *params << key;
        } else {
            sql += QStringLiteral("WHERE substr(sys_rela_tree.SYS_TREE, 1, ?) = ? ");
            *params << key.size() << key;
        }
    }
    sql += QStringLiteral("ORDER BY entrata.Progressivo, sys_rela_tree.SYS_ID");
    return sql;
}

DbResult archivia_scheda(Connection& db, const QString& key, qint64 numero, const QString& tipo,
                         const QString& percorso)
{
    Transaction tx(db, true);
    if (!tx.begun().ok())
        return tx.begun();
    // Checked inside the transaction: another station may have removed the folder since this one
    // was shown it, and a link to a missing key would surface in whatever folder takes it next.
    DbResult esito;
    const QVariant presente
        = db.scalar(QStringLiteral("SELECT COUNT(*) FROM sys_tree WHERE \"KEY\" = ?"), {key}, &esito);
    if (!esito.ok())
        return esito;
    if (presente.toLongLong() == 0)
        return DbResult::failure(DbError::NotFound, kFascicoloEliminato);
    esito = db.exec(QStringLiteral("INSERT INTO sys_rela_tree (SYS_TREE, SYS_USER_ID, Tipo) VALUES (?, ?, ?)"),
                    {key, numero, tipo});
    if (!esito.ok())
        return esito;
    esito = db.exec(QStringLiteral("UPDATE entrata SET sys_nodo = ? WHERE Progressivo = ?"), {percorso, numero});
    if (!esito.ok())
        return esito;
    if (db.changes() != 1)
        return DbResult::failure(DbError::Other, QStringLiteral("Il quadernolo N. %1 non è in archivio.").arg(numero));
    return tx.commit();
}

DbResult scollega_scheda(Connection& db, qint64 idLink, qint64 numero)
{
    Transaction tx(db, true);
    if (!tx.begun().ok())
        return tx.begun();
    DbResult esito = db.exec(QStringLiteral("DELETE FROM sys_rela_tree WHERE SYS_ID = ?"), {idLink});
    if (!esito.ok())
        return esito;
    if (db.changes() != 1)
        return DbResult::failure(DbError::Other, QStringLiteral("Il collegamento non è più in archivio."));
    esito = db.exec(QStringLiteral("UPDATE entrata SET sys_nodo = '' WHERE Progressivo = ?"), {numero});
    if (!esito.ok())
        return esito;
    return tx.commit();
}

QStringList nodi_della_scheda(Connection& db, qint64 numero, const QString& tipo, DbResult* error)
{
    QStringList captions;
    const DbResult esito = db.query(
        QStringLiteral("SELECT (SELECT CAPTION FROM sys_tree WHERE sys_tree.\"KEY\" = sys_rela_tree.SYS_TREE "
                       "ORDER BY rowid LIMIT 1), "
                       "EXISTS (SELECT 1 FROM sys_tree WHERE sys_tree.\"KEY\" = sys_rela_tree.SYS_TREE) "
                       "FROM sys_rela_tree WHERE SYS_USER_ID = ? AND Tipo = ? ORDER BY SYS_ID"),
        {numero, tipo}, [&captions](const Statement& s) {
            if (s.value(1).toLongLong() != 0)
                captions << s.value(0).toString();
            return true;
        });
    if (error)
        *error = esito;
    if (!esito.ok())
        captions.clear();
    return captions;
}

QString testo_elenco_nodi(const QStringList& captions)
{
    QString testo = QStringLiteral("Il quadernolo è associato ai seguenti nodi :\n\n");
    for (const QString& caption : captions)
        testo += QStringLiteral(" --") + caption + QLatin1Char('\n');
    return testo;
}

} // namespace quad

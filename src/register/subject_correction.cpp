#include "subject_correction.h"

namespace quad {

DbResult leggi_oggetto(Connection& archive, qint64 numero, QVariant* oggetto, bool* trovato)
{
    if (trovato)
        *trovato = false;
    return archive.query(QStringLiteral("SELECT Oggetto FROM entrata WHERE Progressivo = ?"), {numero},
                         [&](const Statement& st) {
                             *oggetto = st.value(0);
                             if (trovato)
                                 *trovato = true;
                             return false;
                         });
}

DbResult salva_oggetto(Connection& archive, qint64 numero, int campo, const QString& valore, const QVariant* letto,
                       QList<FieldConflict>* conflicts)
{
    if (conflicts)
        conflicts->clear();
    if (campo != CampoOggetto)
        return DbResult::success();
    // IMMEDIATE: no other station writes between the compare with the stored subject and the write.
    Transaction transaction(archive, true);
    if (!transaction.begun().ok())
        return transaction.begun();
    QVariant salvato;
    bool trovato = false;
    DbResult r = leggi_oggetto(archive, numero, &salvato, &trovato);
    if (!r.ok())
        return r;
    const FieldWrite scrittura = fieldWrite(salvato, letto, valore);
    // An entry no longer in the archive gets nothing; a subject the archive already holds is not
    // written again.
    if (trovato && scrittura == FieldWrite::Write) {
        r = archive.exec(QStringLiteral("UPDATE entrata SET Oggetto = ? WHERE Progressivo = ?"), {valore, numero});
        if (!r.ok())
            return r;
    }
    r = transaction.commit();
    if (r.ok() && trovato && scrittura == FieldWrite::Conflict && conflicts)
        conflicts->append({QStringLiteral("Oggetto"), salvato, valore});
    return r;
}

} // namespace quad

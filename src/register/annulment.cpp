#include "annulment.h"

#include "field_text.h"

namespace quad {

QString testo_conferma_annullamento()
{
    return QStringLiteral("ATTENZIONE !\n\nUn quadernolo annullato non può essere ripristinato.\n\nConfermi ?\n\n");
}

QString testo_nota_mancante()
{
    return QStringLiteral("ATTENZIONE !\n\nNota non inserita ...azione annullata.");
}

QString testo_gia_annullato(qint64 numero, const QVariant& motivo, bool altraPostazione)
{
    const QString chi = altraPostazione ? QStringLiteral("è stato annullato da un' altra postazione")
                                        : QStringLiteral("è già annullato");
    return QStringLiteral("ATTENZIONE !\n\nIl quadernolo n. %1 %2.\n\nMotivo dell' annullamento: %3")
        .arg(numero)
        .arg(chi, motivo.toString());
}

DbResult leggi_annullamento(Connection& db, qint64 numero, AnnullamentoArchiviato* letto)
{
    AnnullamentoArchiviato trovato;
    const DbResult r = db.query(QStringLiteral("SELECT Annullato, Nota_annulla FROM entrata WHERE Progressivo = ?"),
                                {numero}, [&](const Statement& st) {
                                    trovato.trovato = true;
                                    trovato.annullato = isTrueValue(st.value(0));
                                    trovato.motivo = st.value(1);
                                    return false;
                                });
    if (r.ok() && letto)
        *letto = trovato;
    return r;
}

EsitoAnnullamento esito_annullamento(bool confermato, const QString& motivo)
{
    if (!confermato)
        return EsitoAnnullamento::Rinuncia;
    if (motivo.trimmed().isEmpty())
        return EsitoAnnullamento::NotaMancante;
    return EsitoAnnullamento::Annulla;
}

} // namespace quad

#include "annulment.h"

namespace quad {

QString testo_conferma_annullamento()
{
    return QStringLiteral("ATTENZIONE !\n\nUn quadernolo annullato non può essere ripristinato.\n\nConfermi ?\n\n");
}

QString testo_nota_mancante()
{
    return QStringLiteral("ATTENZIONE !\n\nNota non inserita ...azione annullata.");
}

EsitoAnnullamento esito_annullamento(bool p_alert0, const QString& p_mess_annullato)
{
    if (!p_alert0)
        return EsitoAnnullamento::Rinuncia;
    if (p_mess_annullato.trimmed().isEmpty())
        return EsitoAnnullamento::NotaMancante;
    return EsitoAnnullamento::Annulla;
}

} // namespace quad

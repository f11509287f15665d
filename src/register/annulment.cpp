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

EsitoAnnullamento esito_annullamento(bool confermato, const QString& motivo)
{
    if (!confermato)
        return EsitoAnnullamento::Rinuncia;
    if (motivo.trimmed().isEmpty())
        return EsitoAnnullamento::NotaMancante;
    return EsitoAnnullamento::Annulla;
}

} // namespace quad

#include "simple_find.h"

#include "quick_find.h"
#include "recordset.h"

namespace quad {

namespace {

/// The criterion for campo and valore, or why there is none (errore set), or nothing to search.
QuickFindCriterion criterio(const Recordset& rs, const QString& campo, const QString& valore)
{
    const int index = rs.fieldIndex(campo.trimmed());
    if (index < 0)
        return {QString(), QStringLiteral("ATTENZIONE !\n\nCampo non ricercabile.")};
    return crea_criterio(rs.field(index).uniqueName, rs.field(index).type, valore);
}

EsitoRicerca cerca(Recordset& rs, const QString& campo, const QString& valore, int skip, Bookmark start)
{
    const QuickFindCriterion c = criterio(rs, campo, valore);
    if (!c.ok())
        return {EsitoRicerca::Rifiutato, c.error};
    const Bookmark partenza = rs.bookmark();
    DbResult errore;
    const bool trovato = rs.find(c.text, skip, SearchDirection::Forward, start, &errore);
    if (!errore.ok())
        return {EsitoRicerca::Rifiutato, QStringLiteral("ATTENZIONE !\n\nRicerca non eseguita.\n\n") + errore.message};
    if (trovato)
        return {EsitoRicerca::Trovato, QString()};
    if (partenza > 0)
        rs.setBookmark(partenza);
    return {EsitoRicerca::FineRicerca, QString()};
}

} // namespace

QString EsitoRicerca::messaggio() const
{
    switch (tipo) {
    case FineRicerca:
        return QStringLiteral("Fine ricerca !");
    case FineFile:
        return QStringLiteral("Sono alla fine del file !");
    case Rifiutato:
        return errore;
    default:
        return QString();
    }
}

EsitoRicerca trova_primo(Recordset& rs, const QString& campo, const QString& valore)
{
    if (!rs.isOpen() || rs.recordCount() < 1 || valore.trimmed().isEmpty() || campo.trimmed().isEmpty())
        return {};
    return cerca(rs, campo, valore, 0, kBookmarkFirst);
}

EsitoRicerca trova_successivo(Recordset& rs, const QString& campo, const QString& valore)
{
    if (!rs.isOpen() || rs.recordCount() < 1)
        return {};
    if (rs.eof() || rs.absolutePosition() >= rs.recordCount())
        return {EsitoRicerca::FineFile, QString()};
    if (campo.trimmed().isEmpty() || valore.trimmed().isEmpty())
        return {};
    // From before the first row the next row is the first one.
    if (rs.bof())
        return cerca(rs, campo, valore, 0, kBookmarkFirst);
    return cerca(rs, campo, valore, 1, kBookmarkCurrent);
}

} // namespace quad

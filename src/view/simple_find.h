#pragma once

#include <QString>

namespace quad {

class Recordset;

/// How a find by one field ended.
struct EsitoRicerca
{
    enum Tipo {
        Nulla, ///< nothing searched: empty register, blank value, no field
        Trovato, ///< the row found is current
        FineRicerca, ///< no match: the row the search started from is current again
        FineFile, ///< find next on the last row of the view: nothing searched
        Rifiutato, ///< the value does not fit the field, or the criterion was refused: row kept
    };
    Tipo tipo = Nulla;
    QString errore; ///< for Rifiutato: the message to show

    /// The message the clerk sees: "Fine ricerca !", "Sono alla fine del file !", the refusal,
    /// or "" when there is none.
    QString messaggio() const;
};

/// Finds the first row of the view, from the top, whose field campo matches valore (a text
/// field begins with it; other fields equal it). When none does, the row current before stays
/// current.
EsitoRicerca trova_primo(Recordset& rs, const QString& campo, const QString& valore);

/// Finds the next matching row after the current row of the view (filtered and sorted as it
/// stands). On the last row it searches nothing; when no later row matches, the current row
/// stays current.
EsitoRicerca trova_successivo(Recordset& rs, const QString& campo, const QString& valore);

} // namespace quad

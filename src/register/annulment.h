#pragma once

#include <QString>

namespace quad {

/// The question asked before an entry is annulled (Yes/No).
QString testo_conferma_annullamento();

/// The refusal shown when the annulment reason is blank.
QString testo_nota_mancante();

/// What the reason dialog's answer means for the entry.
enum class EsitoAnnullamento {
    Rinuncia, ///< the dialog was cancelled: nothing changes, nothing is shown
    NotaMancante, ///< confirmed with a blank reason: testo_nota_mancante() is shown, nothing changes
    Annulla ///< confirmed with a reason: the entry is annulled with it, kept as typed
};

/// Reads the reason dialog's answer: whether it was confirmed with "Salva ed Esci", and the reason.
EsitoAnnullamento esito_annullamento(bool confermato, const QString& motivo);

} // namespace quad

#pragma once

#include "database.h"

#include <QString>
#include <QVariant>

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

/// The refusal shown when the entry numero is annulled already; by another station when
/// altraPostazione (this one had not seen it). motivo is the reason it was annulled with.
QString testo_gia_annullato(qint64 numero, const QVariant& motivo, bool altraPostazione);

/// The annulment of an entry as the archive holds it.
struct AnnullamentoArchiviato
{
    bool trovato = false; ///< the archive holds the entry
    bool annullato = false;
    QVariant motivo; ///< its Nota_annulla (Null when none)
};

/// Reads the annulment of entry numero from the archive db into *letto. A failed read is
/// returned, *letto then left as it was.
DbResult leggi_annullamento(Connection& db, qint64 numero, AnnullamentoArchiviato* letto);

/// Reads the reason dialog's answer: whether it was confirmed with "Salva ed Esci", and the reason.
EsitoAnnullamento esito_annullamento(bool confermato, const QString& motivo);

} // namespace quad

// What the clerk does to a registered entry from the mask: annulling it, reading the reason of
// an annulled one, correcting its subject, and finding another entry by typing in a box.
#include "mask_controller.h"
#include "mask_rules.h"

#include "data_control.h"
#include "entry_actions.h"
#include "field_binding.h"
#include "frm_annullato.h"
#include "frm_correzione.h"
#include "frmquickfind1.h"

#include "entry_session.h"
#include "message_service.h"
#include "recordset.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace quad {

// --- annulment ---------------------------------------------------------------------------

void MaskController::cmd_annulla_Click()
{
    // One annulled already (at another station too) is not annulled again: the clerk is told why,
    // before any question when it is known then, and the mask shows the annulment the register
    // holds.
    const auto annulla = [this](const std::function<SessionResult()>& passo) {
        const auto quiete = m_azioniSchede->quieta_caselle();
        conferma_caselle(binder, Frm_mask->caselle());
        const SessionResult esito = passo();
        m_azioniSchede->mostra_annullato();
        if (!esito.message.isEmpty())
            warn(esito.message);
        return esito.ok();
    };
    const qint64 numero = m_registro->currentNumber();
    if (!annulla([this] { return m_registro->checkNotAnnulled(); }))
        return;
    const std::optional<QString> motivo = chiedi_motivo_annullamento(finestra());
    if (!motivo)
        return;
    // The reason is of the entry the clerk was asked about: the register may have moved meanwhile.
    if (const SessionResult stessa = m_registro->checkStillOn(numero, QStringLiteral("annullamento")); !stessa.ok()) {
        warn(stessa.message);
        return;
    }
    // The entry is marked on screen; the next save of the entry writes the annulment.
    annulla([&] { return m_registro->annul(*motivo); });
}

void MaskController::cmd_annullato_Click()
{
    mostra_motivo_annullamento(finestra(), Frm_mask->casella(EntryMask::Nota_annulla)->text());
}

// --- subject correction ------------------------------------------------------------------

void MaskController::correggi_oggetto_scheda()
{
    std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1 || rs->bof() || rs->eof())
        return;
    // The register is read again below: what the clerk changed on the entry is saved first, and
    // a change that could not be saved keeps the entry as it is on screen.
    if (!m_azioniSchede->salva_scheda_esito())
        return;
    // The correction starts from the subject stored now, which another station may have
    // corrected since the register was read.
    const qint64 numero = rs->value(QStringLiteral("Progressivo")).toLongLong();
    const QVariant mostrato = rs->value(QStringLiteral("Oggetto"));
    QVariant salvato = mostrato;
    const SessionResult letto = m_registro->storedSubject(numero, &salvato);
    if (!letto.ok()) {
        warn(letto.message);
        return;
    }
    const std::optional<QString> testo = correggi_oggetto(finestra(), salvato);
    if (!testo) {
        // Nothing written; the mask shows the stored subject all the same.
        if (salvato != mostrato)
            m_azioniSchede->rileggi_registro(numero, true);
        return;
    }

    const SessionResult scritto = m_registro->correctSubject(numero, *testo, &salvato);
    m_registro->markEntryWritten();
    if (!scritto.ok())
        warn(scritto.message);
    // Without a key that opens the archive nothing can be read: the register stays as shown.
    if (scritto.keyRefused)
        return;

    // The register shows the stored subject, on the same entry, with the same filter and order.
    m_azioniSchede->rileggi_registro(numero, true);
    m_registro->markEntryWritten();
}

// --- quick find --------------------------------------------------------------------------

void MaskController::apri_ricerca_campo(const QString& KeyAscii, int Index)
{
    if (conta_schede() < 1 || Index < 0 || Index >= int(Frm_mask->caselle().size()))
        return;
    const QString campo = binder->dataField(Frm_mask->casella(Index));
    if (campo.trimmed().isEmpty())
        return;
    // The search moves the register: what was changed on the entry shown is saved first, as
    // before any other move; a change that could not be saved keeps the entry where it is.
    if (!m_azioniSchede->salva_scheda_esito())
        return;
    // Each search moves the register: the entry found gets the preview, as after a move (the
    // captions follow every move of the register).
    apri_ricerca_rapida(finestra(), Adodc1->Recordset(), campo, KeyAscii, QString::number(Index),
                        [this] { Frm_mask->mostra_anteprima_collegamento(); });
}

} // namespace quad

// A new register entry: the question, the issuing lock and the number, the typing in the mask,
// and its confirmation (one transaction) or drop.
//
// While the entry is typed the register's recordset holds it as a pending new record and the
// correspondents' recordset its pending rows: the mask's boxes are bound to them as to any entry.
// Nothing reaches the archive before the confirmation, which writes the record and its rows at
// once; a drop just throws the pending rows away. The issuing lock is held from the allocation of
// the number to the end of the confirmation or drop.
#include "address_book_panel.h"
#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "entry_actions.h"
#include "entry_mask.h"
#include "mask_pickers.h"

#include "entry_session.h"
#include "message_service.h"
#include "numbering.h"
#include "register_settings.h"

#include <QLineEdit>

namespace quad {

void EntryActions::cmd_ins_Click(int Index)
{
    if (msgBox(QStringLiteral("Confermi inserimento nuovo quadernolo ?\n\n"), MsgIcon::Question, MsgButtons::YesNo,
               QStringLiteral("Richiesta nuovo inserimento"))
        != MsgAnswer::Yes)
        return;
    // From the grid the mask is shown first.
    emit maschera_richiesta();

    const QString registro = Index == 0 ? QStringLiteral("Entrata") : QStringLiteral("Uscita");
    // The tool bars go out of use; the session's register, as the window shows and prints it,
    // follows the direction chosen.
    emit inserimento_iniziato(registro);
    nuovo_quadernolo(registro);
}

void EntryActions::nuovo_quadernolo(const QString& registro)
{
    const Allocation numero = m_registro->newEntry(
        registro,
        [] {
            QString risposta;
            if (!MessageService::instance().inputText(QString::fromUtf8(kStartNumberPrompt),
                                                      QStringLiteral("Quadernolo"), QString(), &risposta))
                return std::optional<QString>();
            return std::optional<QString>(risposta);
        },
        m_impostazioni.p_quad_rete.trimmed().toInt() == 1);
    switch (numero.status) {
    case AllocationStatus::Allocated:
        break;
    case AllocationStatus::LockHeld:
    case AllocationStatus::LastNumberReached:
    case AllocationStatus::LockFailed:
        warn(allocationRefusalText(numero));
        ripristina_consultazione();
        return;
    case AllocationStatus::StartRefused:
        msgBox(QString::fromUtf8(kStartNumberRefusedText));
        if (!numero.message.isEmpty())
            warn(QStringLiteral("ATTENZIONE !!\n\n") + numero.message);
        ripristina_consultazione();
        return;
    case AllocationStatus::ReadFailed:
        warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile leggere l' archivio.\n\n")
             + causeText(DbResult::failure(numero.readError, numero.message)));
        ripristina_consultazione();
        return;
    case AllocationStatus::RegisterUnread:
        // The register's error was shown: a register that cannot be read takes no new entry.
        ripristina_consultazione();
        return;
    }

    Frm_mask->mostra_nuova_scheda(true);
    Adodc1->setEnabled(false);
    Frm_mask->sblocca();
    mostra_posizione_mittenti();
    Frm_mask->mostra_paginazione_mittenti(false);
    Frm_mask->nascondi_annullamento();
    mostra_intestazione();
    Frm_mask->mostra_anteprima_collegamento();
    // The date box is the first to type: it gets the focus, and with it its calendar.
    Frm_mask->casella(EntryMask::Data_quadernolo)->setFocus();
}

void EntryActions::ripristina_consultazione()
{
    Frm_mask->mostra_nuova_scheda(false);
    Adodc1->setEnabled(true);
    AXDbAutoComplete1->setListBoxVisible(false);
    Frm_mask->mostra_anteprima_collegamento();
    mostra_annullato();
    emit inserimento_finito();
    aggiorna_totale_schede();
}

void EntryActions::cmd_new_ins_Click(int Index)
{
    if (!m_registro->session().p_new_ins())
        return;
    m_selettori->nascondi_elenco_uffici();
    const bool conferma = Index == 0;
    // A box holding a value the entry cannot take stops the confirmation with the entry as typed
    // (a drop writes nothing anyway).
    if (conferma && !caselle_valide())
        return;
    // A number another station stored meanwhile gives way to the next one only if the clerk says so.
    const auto nuovo_numero = [](qint64 preso, qint64 offerto) {
        return msgBox(renumberQuestion(preso, offerto), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    };
    const SessionResult esito = conferma ? m_registro->confirmEntry(nuovo_numero) : m_registro->dropEntry();
    if (!esito.ok()) {
        // Nothing was written: the entry stays on screen as typed, and the number with it (the
        // clerk who refused another number has been told why already).
        if (!esito.message.isEmpty())
            warn(esito.message);
        return;
    }
    {
        // The boxes are filled by the program: their change rules stay quiet.
        const auto quiete = quieta_caselle();
        // Given up without a key that opens the archive: the entry shown is not read again.
        if (esito.keyRefused)
            Adodc1_MoveComplete();
        else if (conta_schede() >= 1)
            mostra_scheda_riletta();
        else
            (void)m_registro->loadCorrespondentRows(0); // nothing is left of the entry dropped
        mostra_posizione_mittenti();
        Frm_mask->blocca();
    }
    fine_inserimento(conferma, esito.notice);
}

void EntryActions::fine_inserimento(bool confermata, const QString& avviso)
{
    // The focus goes to the focus sink, before the new entry's buttons hide: no other button of
    // the mask takes it, so the next key the clerk presses sets nothing off.
    cmd_focus->setFocus();
    // The lock went with the write (or the drop), before anything below asks the clerk a question.
    if (!avviso.isEmpty())
        warn(avviso);
    ripristina_consultazione();
    // Correspondents the address book lacks are offered to it (after a confirmation only).
    if (confermata)
        Pic_nomi->aggiorna_nominativi();
}

void EntryActions::abbandona_inserimento()
{
    if (!m_registro->session().p_new_ins())
        return;
    const SessionResult esito = m_registro->dropEntry();
    if (!esito.notice.isEmpty())
        warn(esito.notice);
    ripristina_consultazione();
}

} // namespace quad

// Saving a registered entry (its note, link and annulment; its correspondent rows), moving from
// entry to entry in the mask, and the entry panel's captions by direction.
#include "data_control.h"
#include "entry_actions.h"
#include "entry_helpers.h"
#include "entry_mask.h"
#include "field_binding.h"

#include "entry_session.h"
#include "message_service.h"

#include <QKeyEvent>
#include <QWidget>

namespace quad {

namespace {

using schede::suUnRecord;

constexpr int kPaginaSu = 33;
constexpr int kPaginaGiu = 34;

} // namespace

void EntryActions::collega_tasti_pagina(QWidget* viewport)
{
    viewport->installEventFilter(this);
}

bool EntryActions::eventFilter(QObject* watched, QEvent* event)
{
    // The page keys of the mask reach its viewport from whichever box or button has the focus.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageUp && Pic_mask_KeyDown(kPaginaSu))
            return true;
        if (key == Qt::Key_PageDown && Pic_mask_KeyDown(kPaginaGiu))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void EntryActions::salva_scheda()
{
    salva_scheda_esito();
}

bool EntryActions::caselle_valide()
{
    const bool registro = binder->checkBeforeSave(Adodc1).ok();
    const bool mittenti = binder->checkBeforeSave(ado_mittenti).ok();
    return registro && mittenti;
}

bool EntryActions::salva_scheda_esito()
{
    if (!caselle_valide())
        return false;
    return mostra_esito_salvataggio(m_registro->saveEntry());
}

bool EntryActions::mostra_esito_salvataggio(const SessionResult& esito)
{
    if (!esito.message.isEmpty())
        warn(esito.message);
    mostra_posizione_mittenti();
    if (esito.written) {
        // The register was read again: the mask shows the entry as the archive now holds it.
        mostra_scheda_riletta();
        aggiorna_totale_schede();
    }
    return esito.outcome != SessionResult::Outcome::Failed;
}

void EntryActions::rileggi_registro(qint64 numero, bool soloScheda)
{
    // The filter button follows a filter that could not come back (OpenRegister::filterChanged).
    const DbResult letto = m_registro->reread(numero, soloScheda);
    if (!letto.ok())
        warn(rereadFailedText(letto));
    mostra_scheda_riletta();
    aggiorna_totale_schede();
}

bool EntryActions::muovi_registro(int verso)
{
    // The box being typed is left first.
    cmd_focus->setFocus();
    if (!caselle_valide())
        return false;
    const SessionResult esito = m_registro->moveTo(verso);
    if (esito.outcome == SessionResult::Outcome::Incomplete) {
        warn(esito.message);
        return false;
    }
    if (!mostra_esito_salvataggio(esito))
        return false;
    Frm_mask->mostra_anteprima_collegamento();
    return true;
}

void EntryActions::cmd_move_Click(int Index)
{
    emit popup_lasciati();
    if (conta_schede() >= 1)
        muovi_registro(Index);
}

bool EntryActions::Pic_mask_KeyDown(int KeyCode)
{
    if (KeyCode != kPaginaSu && KeyCode != kPaginaGiu)
        return false;
    if (m_registro->session().p_new_ins() || conta_schede() < 1)
        return true;
    // A changed entry is saved before it is left, as with the move buttons.
    muovi_registro(KeyCode == kPaginaSu ? 1 : 2);
    return true;
}

void EntryActions::mostra_intestazione()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (conta_schede() < 1 || !suUnRecord(rs))
        return;
    mostra_nodo_corrente();
    Frm_mask->mostra_verso(rs->value(1).toString() == QLatin1String("E"));
}

} // namespace quad

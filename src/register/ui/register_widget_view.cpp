// The register's window shown and left: the opening over an archive, the switch between the grid
// and the mask, the leaving and the closing.
#include "register_widget.h"

#include "address_book_panel.h"
#include "data_control.h"
#include "entry_actions.h"
#include "entry_mask.h"
#include "main_grid.h"
#include "mask_pickers.h"
#include "register_parts.h"

#include "control_factory.h"
#include "entry_session.h"
#include "message_service.h"
#include "register_settings.h"

namespace quad {

OpenResult RegisterWidget::apri(const QString& archiveFile, const QString& key, const QString& settingsDatabase)
{
    return m_registro->open(archiveFile, key, settingsDatabase);
}

void RegisterWidget::mostra_registro()
{
    Frm_mask->mostra_paginazione_mittenti(false);
    Frm_mask->abilita_caselle();
    m_azioniSchede->collega_campi_corrispondente();
    imposta_pulsante_filtro(false);
    m_azioniSchede->aggiorna_totale_schede();
    Adodc1->show();

    m_griglia->collega_griglia();
    m_griglia->imposta_intestazioni_griglia();
    m_griglia->posiziona_griglia(m_barra, Adodc1->height());
    m_inVista = true;
    m_azioniSchede->imposta_in_vista(true);
    m_griglia->mostra(0);
    // The grid just shown switches over to the mask, as the view switch does.
    passa_alla_maschera();

    if (!m_impostazioni.p_eln_uffici.isEmpty())
        m_selettori->carica_uffici(m_impostazioni.p_eln_uffici.split(QLatin1Char(';')));
    m_griglia->carica_colonne_griglia();
    Frm_mask->mostra_nuova_scheda(false);
    Frm_mask->blocca();
    Adodc1->setEnabled(true);
    Frm_mask->mostra_anteprima_collegamento();
    // Only a "Server" station forwards entries to their offices.
    Frm_mask->abilita_inoltro(m_impostazioni.p_postazione == QLatin1String("Server"));
    Frm_mask->reimposta_altri();
    Frm_mask->allinea_posizione_mittenti();

    // On the last entry, with the captions of its direction.
    if (m_azioniSchede->conta_schede() >= 1)
        Adodc1->Recordset()->moveLast();
}

bool RegisterWidget::lascia_registro()
{
    m_selettori->nascondi_tipi_documento();
    // Correspondent rows changed and not written yet count as a change of the entry, whatever
    // was reported: a move would reload the rows and lose them.
    if (!m_azioniSchede->caselle_valide())
        return false;
    const SessionResult esito = m_registro->leave([] {
        return msgBox(QStringLiteral("Salvo le modifiche ?"), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    if (esito.outcome == SessionResult::Outcome::Incomplete) {
        warn(esito.message);
        return false;
    }
    // A save that failed keeps the register, and the changes, on screen.
    return m_azioniSchede->mostra_esito_salvataggio(esito);
}

void RegisterWidget::chiudi()
{
    m_griglia->nascondi();
    Pic_nomi->hide();
    Pic_mask->hide();
    m_azioniSchede->scollega_maschera();
    Adodc1->hide();
    pic_move->hide();
    m_griglia->scollega_griglia();
    Pic_nomi->scollega();
    m_registro->close();
    m_inVista = false;
    m_azioniSchede->imposta_in_vista(false);
}

// --- the views ------------------------------------------------------------------------------

void RegisterWidget::cambia_vista()
{
    if (m_griglia->visibile())
        mostra_maschera();
    else
        mostra_griglia();
}

void RegisterWidget::passa_alla_maschera()
{
    if (!m_griglia->visibile())
        return;
    if (!salva_se_modificata() || rifiuta_durante_inserimento())
        return;
    emit popup_lasciati();
    mostra_maschera();
    nascondi_elenchi();
}

void RegisterWidget::mostra_maschera()
{
    emit vista_cambiata(true);
    m_griglia->nascondi();
    m_griglia->scollega_griglia();
    m_azioniSchede->mostra_annullato();
    // The mask takes the grid's place, a little above its middle.
    Pic_mask->setGeometry(m_griglia->geometria());
    Pic_mask->centra_contenuto(tw(100));
    m_azioniSchede->collega_campi_maschera();
    Pic_mask->show();
    // The scroll bars for the mask's new viewport.
    parcheggia_fuoco();
    disponi();
    pic_move->show();
    pic_move->raise();
    Adodc1->hide();
    Frm_mask->allinea_posizione_mittenti();
}

void RegisterWidget::mostra_griglia()
{
    emit vista_cambiata(false);
    Pic_mask->hide();
    if (m_azioniSchede->conta_schede() >= 1)
        Adodc1->Recordset()->moveFirst();
    m_griglia->collega_griglia();
    m_griglia->mostra(tw(20));
    m_griglia->imposta_intestazioni_griglia();
    m_griglia->carica_colonne_griglia();
    pic_move->hide();
    Adodc1->show();
}

void RegisterWidget::nascondi_elenchi()
{
    m_selettori->nascondi_elenco_uffici();
    m_selettori->nascondi_tipi_documento();
}

} // namespace quad

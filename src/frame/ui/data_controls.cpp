// The three data controls of the main window: binding the mask's boxes, loading the
// correspondents of the current entry, the modified flags, and errors.
#include "data_control.h"
#include "entry_actions.h"
#include "entry_helpers.h"
#include "field_binding.h"

#include "entry_session.h"
#include "message_service.h"
#include "program_folder.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableView>

namespace quad {

EntryActions::EntryActions(OpenRegister& registro, WorkingState& stato, const Parti& parti, EntryActionsHost& host,
                           QObject* parent)
    : QObject(parent)
    , m_registro(&registro)
    , state(stato)
    , m_host(host)
    , Frm_mask(parti.maschera.maschera)
    , Pic_mask(parti.maschera.viewport)
    , m_maschera(parti.regole)
    , m_selettori(parti.maschera.selettori)
    , Pic_nomi(parti.maschera.pannelloNomi)
    , m_griglia(parti.griglia)
    , binder(parti.maschera.binder)
    , Adodc1(parti.maschera.registro)
    , ado_mittenti(parti.maschera.mittenti)
    , pic_tool_orizz(parti.strumenti)
    , pic_move(parti.navigazione)
    , Picture4(parti.nuovo)
    , Picture1(parti.stampa)
    , Frame1(parti.avvio)
    , frm_menu(parti.menu)
    , cmd_focus(parti.maschera.fuoco)
{
    setObjectName(QStringLiteral("schede"));
}

int EntryActions::conta_schede() const
{
    return m_registro->count();
}

void EntryActions::collega_campi_maschera()
{
    Frm_mask->collega_campi_scheda(*binder, Adodc1);
}

void EntryActions::collega_campi_corrispondente()
{
    Frm_mask->collega_campi_corrispondente(*binder);
}

void EntryActions::scollega_maschera()
{
    Frm_mask->scollega(*binder);
}

void EntryActions::chiudi_origini_dati()
{
    Adodc1->hide();
    pic_move->hide();
    m_griglia->scollega_griglia();
    Pic_nomi->scollega();
    m_registro->close();
    frm_menu->show();
    Frame1->show();
    pic_tool_orizz->hide();
    // Back at the start menu no register is in use.
    state.p_sessione = QStringLiteral("Menu");
}

void EntryActions::Adodc1_MoveComplete()
{
    if (m_registro->session().p_stop())
        return;
    if (!Frame1->isHidden()) {
        m_maschera->mostra_annullato();
        return;
    }
    // The open register has read the correspondents of the entry now shown.
    if (!m_registro->onEntry() || m_registro->registerRows()->value(0).isNull())
        return;
    m_maschera->mostra_posizione_mittenti();
    m_maschera->mostra_annullato();
}

void EntryActions::mostra_scheda_riletta()
{
    m_registro->loadEntryCorrespondents();
    Adodc1_MoveComplete();
}

void EntryActions::collega_campi_corrispondente_origine()
{
    Frm_mask->collega_origine_corrispondente(*binder, ado_mittenti);
}

void EntryActions::Adodc1_WillMove()
{
    Frm_mask->nascondi_calendario();
}

void EntryActions::Adodc1_Error(const DbResult& error)
{
    // A key that no longer opens the archive (changed meanwhile on another station) asks for
    // the password of the archive in use.
    if (error.code == DbError::WrongKey) {
        chiedi_chiave_archivio_in_uso();
        return;
    }
    (void)schede::mostra_errore_ado(error);
}

void EntryActions::aggiorna_totale_schede()
{
    const bool filtro = m_registro->hasFilter();
    QString testo = QStringLiteral("   Totale schede : ") + QString::number(conta_schede());
    if (filtro)
        testo += QStringLiteral("  [Filtro inserito !]");
    Frm_mask->mostra_filtro_inserito(filtro);
    Adodc1->setCaption(testo);
    pic_move->lbl_filtro->setText(Adodc1->Caption());
}

} // namespace quad

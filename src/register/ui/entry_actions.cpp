// The entries' actions over the data controls of the register's window: binding the mask's
// boxes, loading the correspondents of the current entry, errors, and what the mask shows of the
// entry as the register moves (its correspondents' position, its annulment, its folder, the count).
#include "entry_actions.h"
#include "data_control.h"
#include "entry_helpers.h"
#include "entry_mask.h"
#include "field_binding.h"
#include "field_text.h"

#include "entry_session.h"
#include "message_service.h"

namespace quad {

namespace {

using schede::aperto;

} // namespace

EntryActions::EntryActions(OpenRegister& aperto, const RegisterSettings& impostazioni, EntryMask& maschera,
                           FieldBinder& binder, DataControl& registro, DataControl& mittenti, MaskPickers& selettori,
                           AddressBookPanel& pannelloNomi, AXDbAutoComplete& completamento, QWidget& fuoco,
                           QObject* parent)
    : QObject(parent)
    , m_registro(&aperto)
    , m_impostazioni(impostazioni)
    , Frm_mask(&maschera)
    , binder(&binder)
    , Adodc1(&registro)
    , ado_mittenti(&mittenti)
    , m_selettori(&selettori)
    , Pic_nomi(&pannelloNomi)
    , AXDbAutoComplete1(&completamento)
    , cmd_focus(&fuoco)
{
    setObjectName(QStringLiteral("schede"));
}

void EntryActions::imposta_in_vista(bool inVista)
{
    m_inVista = inVista;
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

void EntryActions::Adodc1_MoveComplete()
{
    if (m_registro->session().p_stop())
        return;
    if (!m_inVista) {
        mostra_annullato();
        return;
    }
    // The open register has read the correspondents of the entry now shown.
    if (!m_registro->onEntry() || m_registro->registerRows()->value(0).isNull())
        return;
    mostra_posizione_mittenti();
    mostra_annullato();
    // The captions follow the entry shown, whoever moved the register (a move, a find, a re-read).
    mostra_intestazione();
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
    // A key that no longer opens the archive (changed meanwhile on another station): the open
    // register has asked for the password of the archive in use, and tells when none was given.
    if (error.code == DbError::WrongKey)
        return;
    (void)schede::mostra_errore_ado(error);
}

void EntryActions::chiave_rifiutata()
{
    warn(QStringLiteral("ATTENZIONE !\n\n") + keyRefusedText()
         + QStringLiteral("\n\nIl registro resta come era: le schede non sono state rilette."));
}

void EntryActions::aggiorna_totale_schede()
{
    const bool filtro = m_registro->hasFilter();
    QString testo = QStringLiteral("   Totale schede : ") + QString::number(conta_schede());
    if (filtro)
        testo += QStringLiteral("  [Filtro inserito !]");
    Frm_mask->mostra_filtro_inserito(filtro);
    Adodc1->setCaption(testo);
    emit totale_scritto(Adodc1->Caption());
}

void EntryActions::mostra_posizione_mittenti()
{
    const std::shared_ptr<Recordset> rs = ado_mittenti->Recordset();
    const int righe = aperto(rs) ? rs->recordCount() : 0;
    if (aperto(rs))
        Frm_mask->scrivi_posizione_mittenti(rs->absolutePosition(), righe);
    Frm_mask->mostra_paginazione_mittenti(righe >= 2);
}

void EntryActions::mostra_annullato()
{
    if (conta_schede() < 1) {
        Frm_mask->nascondi_annullamento();
        return;
    }
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    bool annullato = false;
    if (!rs->bof() && !rs->eof()) {
        annullato = isTrueValue(rs->value(QStringLiteral("Annullato")));
    }
    Frm_mask->mostra_annullamento(annullato);
}

void EntryActions::mostra_nodo_corrente()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    QString nodo;
    if (rs && rs->isOpen() && !rs->bof() && !rs->eof() && rs->fieldIndex(QStringLiteral("sys_nodo")) >= 0)
        nodo = rs->value(QStringLiteral("sys_nodo")).toString();
    Frm_mask->mostra_nodo(nodo);
}

} // namespace quad

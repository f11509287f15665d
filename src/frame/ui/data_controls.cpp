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

namespace {

struct CampoCasella
{
    int index;
    const char* field;
};

// Register fields of the mask's boxes.
const CampoCasella kCampiScheda[] = {{0, "Progressivo"},
                                     {1, "Anno"},
                                     {2, "Data_quadernolo"},
                                     {3, "Tipo_documento"},
                                     {4, "Numero_documenti"},
                                     {5, "Quad_rif"},
                                     {6, "Data_quad_rif"},
                                     {7, "Oggetto"},
                                     {16, "Ufficio_competente"},
                                     {17, "Ufficio_conoscenza"},
                                     {18, "Note"},
                                     {19, "Collegamento"},
                                     {24, "Orario"},
                                     {26, "Nota_annulla"}};

// Correspondent fields.
const CampoCasella kCampiCorrispondente[]
    = {{8, "Nominativo"}, {9, "P_iva_CF"}, {10, "Data_nascita"}, {11, "Indirizzo"}, {12, "Civico"},
       {13, "Citta"},     {14, "Prov"},    {15, "Stato"},        {25, "Cap"}};

} // namespace

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
    for (const CampoCasella& c : kCampiScheda)
        binder->setDataField(Frm_mask->txt_mask1[c.index], QLatin1String(c.field));
    binder->setDataField(Frm_mask->Check1, QStringLiteral("Annullato"));
    binder->setDataField(Frm_mask->Check2, QStringLiteral("Riservato"));
    // "N. allegati" counts documents: a whole number from 0 up.
    binder->setFieldKind(Frm_mask->txt_mask1[4], FieldKind::Count);

    for (int i = 0; i <= 26; ++i) {
        if (i <= 7 || (i >= 16 && i <= 24) || i == 26)
            binder->setDataSource(Frm_mask->txt_mask1[i], Adodc1);
    }
    binder->setDataSource(Frm_mask->Check1, Adodc1);
    binder->setDataSource(Frm_mask->Check2, Adodc1);
}

void EntryActions::collega_campi_corrispondente()
{
    for (const CampoCasella& c : kCampiCorrispondente)
        binder->setDataField(Frm_mask->txt_mask1[c.index], QLatin1String(c.field));
}

void EntryActions::scollega_maschera()
{
    for (QLineEdit* box : Frm_mask->txt_mask1) {
        binder->setDataField(box, QString());
        binder->setDataSource(box, nullptr);
        box->clear();
    }
    for (QCheckBox* check : {Frm_mask->Check2, Frm_mask->Check1}) {
        binder->setDataField(check, QString());
        binder->setDataSource(check, nullptr);
    }
    Frm_mask->Check2->setChecked(false);
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
    for (int i : {8, 9, 10, 11, 12, 13, 14, 15, 25})
        binder->setDataSource(Frm_mask->txt_mask1[i], ado_mittenti);
}

void EntryActions::Adodc1_WillMove()
{
    Frm_mask->Frame_calendar->hide();
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
    Frm_mask->lbl_filtro_ins->setVisible(filtro);
    Adodc1->setCaption(testo);
    pic_move->lbl_filtro->setText(Adodc1->Caption());
}

} // namespace quad

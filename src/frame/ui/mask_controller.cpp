// The entry mask's handlers: made with the window over the mask, its binder and the open register;
// the name completion is handed to the mask's autocomplete.
#include "mask_controller.h"
#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "mask_autocomplete.h"

#include "address_book_panel.h"
#include "mask_pickers.h"
#include "open_register.h"
#include "recordset.h"
#include "window_parts.h"

#include <QPushButton>
#include <QTableView>

namespace quad {

MaskController::MaskController(OpenRegister& registro, const WorkingState& stato, const Parti& parti,
                               MaskControllerHost& host, QObject* parent)
    : QObject(parent)
    , m_registro(&registro)
    , state(stato)
    , m_host(host)
    , Frm_mask(parti.maschera)
    , Pic_mask(parti.viewport)
    , binder(parti.binder)
    , Adodc1(parti.registro)
    , ado_mittenti(parti.mittenti)
    , Ado_nomi(parti.rubrica)
    , m_selettori(parti.selettori)
    , Pic_nomi(parti.pannelloNomi)
    , cmd_focus(parti.fuoco)
{
    AXDbAutoComplete1 = new AXDbAutoComplete(finestra());
    AXDbAutoComplete1->setObjectName(QStringLiteral("AXDbAutoComplete1"));
    AXDbAutoComplete1->setSearchMode(1);
    // Only its list is ever seen, as a window of its own.
    AXDbAutoComplete1->hide();
    setObjectName(QStringLiteral("controllo_maschera"));
}

MaskController::~MaskController()
{
    // The boxes' autocomplete lets them go before they die.
    delete m_completamentoMaschera;
    m_completamentoMaschera = nullptr;
}

QWidget* MaskController::finestra() const
{
    return Frm_mask->window();
}

int MaskController::conta_schede() const
{
    return m_registro->count();
}

bool MaskController::p_modifica() const
{
    return Pic_nomi->p_modifica();
}

bool MaskController::p_frm_nomi() const
{
    return Pic_nomi->p_frm_nomi();
}

void MaskController::CalendarVB1_DateDblClick()
{
    m_selettori->CalendarVB1_DateDblClick();
}

void MaskController::CalendarVB1_Close()
{
    m_selettori->CalendarVB1_Close();
}

void MaskController::collega_rubrica()
{
    if (m_completamentoMaschera)
        return;
    MaskAutocomplete::Parti parti;
    parti.caselle = Frm_mask->caselle();
    parti.completamento = AXDbAutoComplete1;
    parti.registro = Adodc1;
    parti.rubrica = Ado_nomi;
    parti.mittenti = ado_mittenti;
    parti.binder = binder;
    parti.pannelloNomi = Pic_nomi;
    parti.sessione = &m_registro->session();
    m_completamentoMaschera = new MaskAutocomplete(*this, parti, this);
}

void MaskController::cerca_in_elenco(const QString& text)
{
    collega_rubrica();
    Pic_nomi->cerca_in_elenco(text);
}

} // namespace quad

// The autocomplete control of the main window and the address-book panel: made with the window,
// the control is handed to the mask's autocomplete, the panel's buttons and grid to their handlers.
#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "main_window.h"
#include "mask_autocomplete.h"

#include "recordset.h"

#include <QPushButton>
#include <QTableView>

namespace quad {

AXDbAutoComplete* Quadernolo::crea_autocomplete()
{
    auto* control = new AXDbAutoComplete(this);
    control->setObjectName(QStringLiteral("AXDbAutoComplete1"));
    control->setSearchMode(1);
    // Only its list is ever seen, as a window of its own.
    control->hide();
    return control;
}

void Quadernolo::collega_rubrica()
{
    if (m_completamentoMaschera)
        return;
    MaskAutocomplete::Parti parti;
    parti.caselle = Frm_mask->txt_mask1;
    parti.completamento = AXDbAutoComplete1;
    parti.registro = Adodc1;
    parti.rubrica = Ado_nomi;
    parti.mittenti = ado_mittenti;
    parti.binder = binder;
    parti.pannelloNomi = Pic_nomi;
    parti.sessione = &m_registro->session();
    m_completamentoMaschera = new MaskAutocomplete(*this, parti, this);
}

void Quadernolo::cerca_in_elenco(const QString& text)
{
    collega_rubrica();
    Pic_nomi->cerca_in_elenco(text);
}

} // namespace quad

// The autocomplete control of the main window and the address-book panel: made with the window,
// the control is handed to the mask's autocomplete, the panel's buttons and grid to their handlers.
#include "address_wiring.h"
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

    prepara_pannello_rubrica(*this);
    connect(cmd_del_nomi, &QPushButton::clicked, this, &Quadernolo::cmd_del_nomi_Click);
    connect(cmd_mod_nomi, &QPushButton::clicked, this, &Quadernolo::cmd_mod_nomi_Click);
    connect(DataGridAC, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const std::shared_ptr<Recordset> rs = Ado_nomi->Recordset();
        if (!index.isValid() || !rs || !rs->isOpen() || index.row() >= rs->recordCount())
            return;
        rs->setCurrentRow(index.row());
        DataGridAC_DblClick();
    });
}

} // namespace quad

// The main window's one-field filter button, its column chooser and its search dialog.
#include "data_control.h"
#include "field_binding.h"
#include "field_filter.h"
#include "frm_search.h"
#include "frm_sel_campi.h"
#include "main_window.h"
#include "search_caller_main.h"

#include "message_service.h"

#include <QAction>
#include <QLineEdit>
#include <QTableView>

namespace quad {

void Quadernolo::apri_scelta_colonne()
{
    frm_sel_campi dialog(Adodc1->Recordset(), state.p_eln_colonne, this);
    if (dialog.exec() == QDialog::Accepted)
        state.p_eln_colonne = dialog.p_eln_colonne();
}

void Quadernolo::apri_ricerca()
{
    RegistroPrincipale chiamante(*this, *m_registro);
    apri_frm_search(chiamante, this);
}

void Quadernolo::filtro_campo()
{
    RegistroPrincipale chiamante(*this, *m_registro);
    QAction* pulsante = pic_tool_orizz->toolbarButton(QStringLiteral("tb_filtro_off"));
    if (!pulsante->isChecked()) {
        // Released by the clerk: the whole register again. Pending changes that cannot be
        // saved keep the filter and the button pressed.
        if (!rilascia_filtro(chiamante))
            chiamante.imposta_pulsante_filtro(true);
        return;
    }

    const auto ritorna = [&chiamante] { chiamante.imposta_pulsante_filtro(false); };
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1) {
        ritorna();
        return;
    }
    QString campo;
    QString valore;
    if (!m_griglia->DataGrid1->isHidden()) {
        const QModelIndex cella = m_griglia->DataGrid1->currentIndex();
        if (!cella.isValid() || cella.column() >= rs->fieldCount()) {
            warn(QStringLiteral("Selezionare il campo di interesse."));
            ritorna();
            return;
        }
        campo = rs->field(cella.column()).uniqueName;
        valore = cella.data(Qt::DisplayRole).toString();
    } else {
        QLineEdit* casella = m_maschera->ctrl_filtro();
        if (!casella) {
            msgBox(QStringLiteral("Selezionare un campo.\n"));
            ritorna();
            return;
        }
        campo = binder->dataField(casella);
        valore = casella->text();
    }
    if (valore.trimmed().isEmpty()) {
        ritorna();
        return;
    }
    const QString errore = applica_filtro_campo(chiamante, campo, valore);
    if (!errore.isEmpty()) {
        // The register stays as it was, unfiltered or with its earlier filter.
        warn(errore);
        chiamante.imposta_pulsante_filtro(rs->hasFilter());
    }
}

void Quadernolo::rilascia_pulsante_filtro()
{
    pic_tool_orizz->mostra_filtro(false);
    m_griglia->colore_griglia_filtro();
}

} // namespace quad

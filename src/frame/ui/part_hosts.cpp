#include "part_hosts.h"

#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "field_binding.h"
#include "main_window.h"

#include <QAction>

namespace quad {

std::shared_ptr<Recordset> StampaPrincipale::registro() const
{
    return m_w.Adodc1->Recordset();
}

std::shared_ptr<Recordset> StampaPrincipale::corrispondenti() const
{
    return m_w.ado_mittenti->Recordset();
}

QString StampaPrincipale::archivio() const
{
    return m_w.percorso_archivio(m_w.state.p_path_cartella);
}

const WorkingState& StampaPrincipale::stato() const
{
    return m_w.state;
}

void StampaPrincipale::nascondi_popup()
{
    m_w.nascondi_popup();
}

QLineEdit* RubricaPrincipale::casella(int index) const
{
    return m_w.Frm_mask->txt_mask1[size_t(index)];
}

QWidget* RubricaPrincipale::maschera() const
{
    return m_w.Frm_mask;
}

void RubricaPrincipale::scrivi_corrispondente()
{
    (void)m_w.binder->commitAll(m_w.ado_mittenti);
}

void SelettoriPrincipale::nascondi_suggerimenti()
{
    if (m_w.AXDbAutoComplete1)
        m_w.AXDbAutoComplete1->setListBoxVisible(false);
    m_w.Pic_nomi->hide();
}

bool GrigliaPrincipale::filtroPremuto() const
{
    return m_w.pic_tool_orizz->toolbarButton(QStringLiteral("tb_filtro_off"))->isChecked();
}

QString GrigliaPrincipale::mascheraColonne() const
{
    return m_w.state.p_eln_colonne;
}

void GrigliaPrincipale::scegliColonne()
{
    m_w.apri_scelta_colonne();
}

void GrigliaPrincipale::mostraMaschera()
{
    m_w.Toolbar1_ButtonClick(m_w.pic_tool_orizz->Toolbar1_Buttons(1));
    m_w.mostra_intestazione();
    m_w.mostra_anteprima_collegamento();
}

void GrigliaPrincipale::recordTrovato()
{
    m_w.mostra_nodo_corrente();
}

QWidget* GrigliaPrincipale::fuoco() const
{
    return m_w.cmd_focus;
}

QWidget* GrigliaPrincipale::cornice() const
{
    return m_w.Frame1;
}

int GrigliaPrincipale::altezzaBarre() const
{
    return m_w.pic_tool_orizz->height();
}

int GrigliaPrincipale::altezzaFondo() const
{
    return m_w.Adodc1->height();
}

} // namespace quad

#include "part_hosts.h"

#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "field_binding.h"
#include "main_window.h"
#include "register_grid.h"

#include <QAction>

namespace quad {

QLineEdit* RubricaPrincipale::casella(int index) const
{
    return m_w.Frm_mask->casella(index);
}

QWidget* RubricaPrincipale::maschera() const
{
    return m_w.Frm_mask;
}

void SelettoriPrincipale::nascondi_suggerimenti()
{
    if (m_w.m_maschera->AXDbAutoComplete1)
        m_w.m_maschera->AXDbAutoComplete1->setListBoxVisible(false);
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
    m_w.m_schede->mostra_intestazione();
    m_w.m_maschera->mostra_anteprima_collegamento();
}

void GrigliaPrincipale::recordTrovato()
{
    m_w.m_maschera->mostra_nodo_corrente();
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

void MascheraPrincipale::cmd_new_ins_Click(int Index)
{
    m_w.m_schede->cmd_new_ins_Click(Index);
}

void MascheraPrincipale::cmd_tree_Click()
{
    m_w.cmd_tree_Click();
}

void MascheraPrincipale::nascondi_popup()
{
    m_w.nascondi_popup();
}

void MascheraPrincipale::collega_campi_maschera()
{
    m_w.m_schede->collega_campi_maschera();
}

void MascheraPrincipale::collega_gestori_schede()
{
    m_w.m_schede->collega_gestori_schede();
}

void MascheraPrincipale::mostra_intestazione()
{
    m_w.m_schede->mostra_intestazione();
}

void MascheraPrincipale::rileggi_registro(qint64 numero, bool soloScheda)
{
    m_w.m_schede->rileggi_registro(numero, soloScheda);
}

QString MascheraPrincipale::scegli_file_collegamento()
{
    return m_w.scegli_file_collegamento();
}

void MascheraPrincipale::inoltra_ufficio_competente()
{
    m_w.inoltra_ufficio_competente();
}

bool MascheraPrincipale::verifica_modifiche_in_sospeso()
{
    return m_w.verifica_modifiche_in_sospeso();
}

QWidget* MascheraPrincipale::griglia() const
{
    return m_w.m_griglia->DataGrid1;
}

void SchedePrincipale::Toolbar1_ButtonClick(QAction* Button)
{
    m_w.Toolbar1_ButtonClick(Button);
}

bool SchedePrincipale::archivio_storico_in_uso() const
{
    return m_w.archivio_storico_in_uso();
}

void SchedePrincipale::chiedi_chiave_archivio_in_uso()
{
    m_w.chiedi_chiave_archivio_in_uso();
}

void SchedePrincipale::rilascia_pulsante_filtro()
{
    m_w.rilascia_pulsante_filtro();
}

} // namespace quad

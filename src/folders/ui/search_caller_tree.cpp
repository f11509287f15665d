#include "search_caller_tree.h"

#include "data_control.h"
#include "frm_tree.h"

#include <QAction>

namespace quad {

QString RegistroFascicolo::nome_chiamante() const
{
    return QStringLiteral("Form_tree");
}

std::shared_ptr<Recordset> RegistroFascicolo::registro() const
{
    return m_w.Adodc1->Recordset();
}

QTableView* RegistroFascicolo::griglia() const
{
    return m_w.DataGrid1;
}

QString RegistroFascicolo::titolo_messaggi() const
{
    return QStringLiteral("frm_tree");
}

void RegistroFascicolo::imposta_pulsante_filtro(bool premuto)
{
    m_w.pulsante(QStringLiteral("tb_filtro"))->setChecked(premuto);
}

DbResult RegistroFascicolo::rileggi_registro()
{
    return m_w.Adodc1->Refresh();
}

void RegistroFascicolo::ridisponi_griglia()
{
    m_w.SetGridCaptions();
    m_w.HideSysColumns();
}

void RegistroFascicolo::record_trovato()
{
    m_w.Adodc1_MoveComplete();
}

} // namespace quad

#include "search_caller_main.h"

#include "data_control.h"
#include "main_window.h"

#include <QAction>
#include <QTableView>

namespace quad {

QString RegistroPrincipale::nome_chiamante() const
{
    return QStringLiteral("Quadernolo");
}

std::shared_ptr<Recordset> RegistroPrincipale::registro() const
{
    return m_w.Adodc1->Recordset();
}

QTableView* RegistroPrincipale::griglia() const
{
    return m_w.m_griglia->DataGrid1;
}

QString RegistroPrincipale::titolo_messaggi() const
{
    return QStringLiteral("Quadernolo");
}

void RegistroPrincipale::imposta_pulsante_filtro(bool premuto)
{
    m_w.pic_tool_orizz->mostra_filtro(premuto);
    m_w.m_griglia->colore_griglia_filtro();
}

void RegistroPrincipale::aggiorna_totale()
{
    m_w.m_schede->aggiorna_totale_schede();
}

DbResult RegistroPrincipale::rileggi_registro()
{
    return m_registro.readAgain();
}

void RegistroPrincipale::ridisponi_griglia()
{
    if (m_w.m_griglia->DataGrid1->isHidden())
        return;
    m_w.m_griglia->imposta_intestazioni_griglia();
    m_w.m_griglia->carica_colonne_griglia();
}

bool RegistroPrincipale::verifica_modifiche()
{
    return m_w.verifica_modifiche_in_sospeso();
}

void RegistroPrincipale::record_trovato()
{
    m_w.m_maschera->mostra_nodo_corrente();
}

} // namespace quad

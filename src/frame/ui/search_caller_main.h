#pragma once

#include "search_caller.h"

namespace quad {

class OpenRegister;
class Quadernolo;

/// The main window as the search dialog and the filters see it: its register Adodc1 (registro,
/// open in the window), its grid DataGrid1, the filter button "tb_filtro_off" of Toolbar2 and its
/// status line.
class RegistroPrincipale : public SearchCaller
{
public:
    RegistroPrincipale(Quadernolo& window, OpenRegister& registro)
        : m_w(window)
        , m_registro(registro)
    {
    }

    QString nome_chiamante() const override;
    std::shared_ptr<Recordset> registro() const override;
    QTableView* griglia() const override;
    QString titolo_messaggi() const override;
    void imposta_pulsante_filtro(bool premuto) override;
    void aggiorna_totale() override;
    DbResult rileggi_registro() override;
    /// Only while the grid is shown: captions, then stored widths and hidden columns.
    void ridisponi_griglia() override;
    bool verifica_modifiche() override;
    void record_trovato() override;

private:
    Quadernolo& m_w;
    OpenRegister& m_registro;
};

} // namespace quad

#pragma once

#include "search_caller.h"

namespace quad {

class Frm_tree;

/// The folder window as the search dialog and the one-field filter see it: its grid of the
/// entries filed under the selected folder, its filter button and its folder label.
class RegistroFascicolo : public SearchCaller
{
public:
    explicit RegistroFascicolo(Frm_tree& window)
        : m_w(window)
    {
    }

    QString nome_chiamante() const override;
    std::shared_ptr<Recordset> registro() const override;
    QTableView* griglia() const override;
    QString titolo_messaggi() const override;
    void imposta_pulsante_filtro(bool premuto) override;
    DbResult rileggi_registro() override;
    void ridisponi_griglia() override;
    void record_trovato() override;

private:
    Frm_tree& m_w;
};

} // namespace quad

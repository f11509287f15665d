// The register's window as the search dialog and the one-field filter see it: the register, its
// grid, the filter button and the count.
#include "register_widget.h"

#include "entry_actions.h"
#include "field_binding.h"
#include "frm_search.h"
#include "main_grid.h"
#include "mask_controller.h"

#include "field_filter.h"
#include "message_service.h"
#include "search_caller.h"

#include <QLineEdit>
#include <QTableView>

#include <functional>

namespace quad {

namespace {

/// The register's window as the search dialog and the filters see it: its register (registro,
/// open in the window), its grid DataGrid1, the filter button "tb_filtro_off" and its count.
class RegistroPrincipale : public SearchCaller
{
public:
    RegistroPrincipale(OpenRegister& registro, MainGrid& griglia, EntryActions& schede,
                       std::function<void(bool)> pulsanteFiltro)
        : m_registro(registro)
        , m_griglia(griglia)
        , m_azioniSchede(schede)
        , m_pulsanteFiltro(std::move(pulsanteFiltro))
    {
    }

    QString nome_chiamante() const override { return QStringLiteral("Quadernolo"); }
    std::shared_ptr<Recordset> registro() const override { return m_registro.registerRows(); }
    QTableView* griglia() const override { return m_griglia.vista(); }
    QString titolo_messaggi() const override { return QStringLiteral("Quadernolo"); }
    void imposta_pulsante_filtro(bool premuto) override { m_pulsanteFiltro(premuto); }
    void aggiorna_totale() override { m_azioniSchede.aggiorna_totale_schede(); }
    DbResult rileggi_registro() override { return m_registro.readAgain(); }
    /// Only while the grid is shown: captions, then stored widths and hidden columns.
    void ridisponi_griglia() override
    {
        if (!m_griglia.visibile())
            return;
        m_griglia.imposta_intestazioni_griglia();
        m_griglia.carica_colonne_griglia();
    }
    bool verifica_modifiche() override { return m_azioniSchede.salva_scheda_esito(); }
    void record_trovato() override { m_azioniSchede.mostra_nodo_corrente(); }

private:
    OpenRegister& m_registro;
    MainGrid& m_griglia;
    EntryActions& m_azioniSchede;
    std::function<void(bool)> m_pulsanteFiltro;
};

} // namespace

void RegisterWidget::imposta_pulsante_filtro(bool premuto)
{
    emit pulsante_filtro(premuto);
    m_griglia->colore_griglia_filtro(premuto);
}

void RegisterWidget::cerca()
{
    RegistroPrincipale chiamante(*m_registro, *m_griglia, *m_azioniSchede,
                                 [this](bool premuto) { imposta_pulsante_filtro(premuto); });
    apri_frm_search(chiamante, window());
}

void RegisterWidget::filtro_campo(bool premuto)
{
    RegistroPrincipale chiamante(*m_registro, *m_griglia, *m_azioniSchede,
                                 [this](bool premuto) { imposta_pulsante_filtro(premuto); });
    if (!premuto) {
        // Released by the clerk: the whole register again. Pending changes that cannot be
        // saved keep the filter and the button pressed.
        if (!rilascia_filtro(chiamante))
            chiamante.imposta_pulsante_filtro(true);
        return;
    }

    const auto ritorna = [&chiamante] { chiamante.imposta_pulsante_filtro(false); };
    const std::shared_ptr<Recordset> rs = m_registro->registerRows();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1) {
        ritorna();
        return;
    }
    QString campo;
    QString valore;
    if (m_griglia->visibile()) {
        const QModelIndex cella = m_griglia->cella_corrente();
        if (!cella.isValid() || cella.column() >= rs->fieldCount()) {
            warn(QStringLiteral("Selezionare il campo di interesse."));
            ritorna();
            return;
        }
        campo = rs->field(cella.column()).uniqueName;
        valore = cella.data(Qt::DisplayRole).toString();
    } else {
        QLineEdit* casella = m_controlloMaschera->ctrl_filtro();
        if (!casella) {
            msgBox(QStringLiteral("Selezionare un campo.\n"));
            ritorna();
            return;
        }
        campo = m_binder->dataField(casella);
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

} // namespace quad

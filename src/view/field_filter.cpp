#include "field_filter.h"

#include "quick_find.h"
#include "recordset.h"
#include "search_caller.h"

namespace quad {

QString applica_filtro_campo(SearchCaller& caller, const QString& campo, const QString& valore)
{
    const std::shared_ptr<Recordset> rs = caller.registro();
    const int index = rs && rs->isOpen() ? rs->fieldIndex(campo) : -1;
    if (index < 0)
        return QStringLiteral("ATTENZIONE !\n\nCampo non filtrabile.");
    const QuickFindCriterion clausola = crea_criterio(rs->field(index).uniqueName, rs->field(index).type, valore);
    if (!clausola.ok())
        return clausola.error;
    const DbResult esito = rs->setFilter(clausola.text);
    if (!esito.ok())
        return QStringLiteral("ATTENZIONE !\n\nFiltro non applicabile.\n\n") + esito.message;
    caller.imposta_pulsante_filtro(true);
    caller.aggiorna_totale();
    return QString();
}

bool rilascia_filtro(SearchCaller& caller, bool ultimaRiga)
{
    if (!caller.verifica_modifiche())
        return false;
    return togli_filtro(caller, ultimaRiga);
}

bool togli_filtro(SearchCaller& caller, bool ultimaRiga)
{
    // The rows read again come without the filter.
    const DbResult letto = caller.rileggi_registro();
    const std::shared_ptr<Recordset> rs = caller.registro();
    if (letto.code == DbError::WrongKey) {
        caller.aggiorna_totale();
        caller.imposta_pulsante_filtro(rs && rs->isOpen() && rs->hasFilter());
        return false;
    }
    if (letto.ok()) {
        if (ultimaRiga && rs && rs->isOpen() && rs->recordCount() > 0)
            rs->moveLast();
        caller.ridisponi_griglia();
    } else if (rs) {
        rs->clearFilter();
    }
    caller.aggiorna_totale();
    caller.imposta_pulsante_filtro(false);
    return true;
}

} // namespace quad

#pragma once

#include <QStringList>

namespace quad::test {

/// The lines of the receipt of incoming entry 27 of 06/12/2026 with its one sender, Rossi.
inline QStringList righeRicevuta27(const QString& oggetto)
{
    return {"Ricevuta per quadernolo in Entrata",
            "Quadernolo n. 27 del 06/12/2026",
            "Tipo documento : Lettera",
            "N. documenti : 2",
            "Ufficio competente : Ragioneria",
            "OGGETTO :",
            oggetto,
            "MITTENTE :",
            "Rossi Via Roma,3 - Pisa (PI) - P.Iva 01234567890",
            "NOTE :",
            "Consegnata a mano",
            "________________________"};
}

} // namespace quad::test

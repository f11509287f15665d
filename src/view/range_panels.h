#pragma once

#include "advanced_criteria.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quad {

/// The rows a range panel appends, or the message that refuses its input (rows then empty).
struct EsitoPannello
{
    QList<RigaCriterio> righe;
    QString errore;
};

/// Dates from / to: both must be dates, the first not after the second; rows on
/// Data_quadernolo ">=" and "<=" with the dates written dd/mm/yyyy.
/// Refused: "Errore nell' inserimento delle date !".
EsitoPannello pannello_date(const QString& dal, const QString& al);

/// Register numbers (campo "Progressivo") or years (campo "Anno") from / to: both whole numbers,
/// the first not above the second; rows ">=" and "<=" with the numbers as typed (trimmed).
/// Refused: "Errore nell' inserimento dei dati !".
EsitoPannello pannello_numeri(const QString& campo, const QString& dal, const QString& al);

/// The direction: index 0 ("ENTRATA") gives "E", any other "U"; one row on "Tipo" with "=".
EsitoPannello pannello_tipo(int indice);

/// One field: one row (" e " or " oppure ", campo, "like", "%" + text when parte, else text as
/// typed). A text of blanks only is refused with "Errore nell' inserimento dei dati !".
EsitoPannello pannello_campo(bool oppure, const QString& campo, bool parte, const QString& testo);

/// The fields of the one-field panel, in list order.
QStringList campi_pannello_singolo();

} // namespace quad

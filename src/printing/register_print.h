#pragma once

#include "database.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>

namespace quad {

class PrintSheet;
class Recordset;

/// A range of registration dates as the clerk typed it, checked.
struct DateRange
{
    QDate dal;
    QDate al;
    /// The message that refuses the range ("" when it is good).
    QString errore;
};

/// Checks the two texts of the date dialog: "Errore inserimento data inizio" when the first is
/// not a date, "Errore inserimento data fine" when the second is not, "Errore nell' inserimento
/// delle date !" when the first is later than the second. Equal dates are a range of one day.
DateRange controlla_intervallo(const QVariant& p_alert1, const QVariant& p_alert2);

/// The direction code of a register ("E" for "Entrata", "U" for "Uscita"), "" for anything else.
QString codice_registro(const QString& p_sessione);

/// Reads the entries of direction tipo registered between dal and al (both included), one row
/// per correspondent, in register-number order, over a connection of their own to the archive
/// file (closed when the recordset goes). Null, with *error set, when the archive cannot be
/// opened or read.
std::shared_ptr<Recordset> leggi_registro(const QString& archivio, const QString& password, const QString& tipo,
                                          const QDate& dal, const QDate& al, DbResult* error);

/// Texts of the register's computed columns for the current row.
QString testo_corrispondente_registro(const Recordset& rs);
QString testo_riferimento(const Recordset& rs);
QString segno_annullo(const Recordset& rs);

/// Prints the rows as two landscape tables, each a document of its own: number, date, time,
/// type, count, subject and correspondent ("Mittente" for "Entrata", "Destinatario" otherwise);
/// then number, offices, reference, notes, annulment mark and annulment note. Each page carries
/// the table's header; a row that reaches the bottom goes on on the next page. A cell's text
/// stays inside its cell, wrapped at blanks; the date and time columns are as wide as their
/// values in the body font (the correspondent's column gives the millimetres).
void stampa_tabelle_registro(PrintSheet& sheet, Recordset& rs, const QString& p_sessione);

} // namespace quad

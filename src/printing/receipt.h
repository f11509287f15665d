#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace quad {

class PrintSheet;
class Recordset;

/// One sender or recipient as the receipt prints it.
struct ReceiptCorrespondent
{
    QVariant Nominativo, Indirizzo, Civico, Citta, Prov, Cap, p_iva_CF;
};

/// What the receipt of one entry prints.
struct ReceiptData
{
    QString sessione; ///< "Entrata" or "Uscita": the direction of the entry
    QVariant Progressivo, data_quadernolo, tipo_documento, numero_documenti, ufficio_competente, oggetto, note;
    QList<ReceiptCorrespondent> corrispondenti;
};

/// The entry at the current row of the register recordset (entrata joined with Mittenti) and
/// every row of its correspondents' recordset (read without moving it). The direction is the
/// entry's own ("E" incoming, anything else outgoing).
ReceiptData leggi_ricevuta(const Recordset& registro, const Recordset& mittenti);

/// "Rossi Via Roma,3 - Pisa (PI) - P.Iva 123": the name, then each part that is not empty
/// behind its separator; a code beginning with a digit is a VAT number, any other a tax code.
QString testo_corrispondente(const ReceiptCorrespondent& c);

/// Prints the receipt as one document: portrait A4 with a 10 mm margin, number and date, type,
/// count, office, subject, correspondents, notes and the signature line at 110 mm. Every text
/// is printed whole, wrapped at 180 mm; a receipt that reaches the bottom of the page goes on
/// at the top of a new one.
void stampa_ricevuta(PrintSheet& sheet, const ReceiptData& data);

} // namespace quad

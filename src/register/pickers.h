#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quad {

/// The office list of the two office boxes, as the settings hold it (names joined by ";",
/// blank names left out).
QStringList elenco_uffici(const QString& p_eln_uffici);

/// Refusal shown when the office list is to open with no office in it: "Nessuna voce in
/// elenco." ("" when the list has offices and may open).
QString rifiuto_lista_uffici(const QStringList& offices);

/// The item the office list selects when it opens over a box: the last item equal to the box's
/// whole text (case counts); -1 when the box is blank or holds several offices or an unknown one.
int selezione_lista_uffici(const QStringList& offices, const QString& boxText);

/// What picking an office does to an office box.
struct OfficePick
{
    bool accepted = false; ///< false: the box is unchanged and message is shown
    QString text; ///< the box's new text (its old text when refused)
    QString message; ///< "Già inserito !" when the office is already in the box
};

/// Adds office to the text of an office box: the box's text becomes the office when it is
/// blank, otherwise its text + "/" + the office. An office already among the "/"-joined ones
/// of the box (case counts) is refused with "Già inserito !". A null text counts as empty.
OfficePick aggiungi_ufficio(const QString& boxText, const QString& office);

/// The offices a document type writes into the two office boxes.
struct DocumentTypeOffices
{
    QString ufficio_competente; ///< "" when the type names none
    QString ufficio_conoscenza; ///< "" when the type names none
};

/// The document types of the settings database, in table order (descrizione of
/// tipo_doc_entrata; blank descriptions left out).
QStringList elenco_tipi_documento(Connection& settingsDb, DbResult* error = nullptr);

/// The offices of the document type whose description equals descrizione (without regard to
/// case, no wildcard: "%" and "_" match themselves; an apostrophe is just a character).
/// nullopt when no type has that description or the read fails (*error then says why).
std::optional<DocumentTypeOffices> uffici_tipo_documento(Connection& settingsDb, const QString& descrizione,
                                                         DbResult* error = nullptr);

} // namespace quad

#pragma once
// Helpers shared by the entry mask's rules.

#include <QString>

#include <optional>
#include <vector>

class QLineEdit;
class QMimeData;

namespace quad {

class FieldBinder;

/// What a drop on the link box writes into it: the path of the first local file when files are
/// dropped (a file manager also offers their addresses as text), else the text dropped, else
/// the first address. nullopt when the data holds none of these (the box refuses the drop).
std::optional<QString> testo_rilascio(const QMimeData* data);

/// The year of a date box's text as text ("2026" for "12/01/2026"), or "" when the text is not
/// a date.
QString anno_della_data(const QString& text);

/// Hands what the clerk typed in any of boxes to its record. A box's typed text would be lost
/// when its record is shown again, which every write of another box of that record does: so
/// this runs before the program writes a box itself.
void conferma_caselle(FieldBinder* binder, const std::vector<QLineEdit*>& boxes);

/// Writes a text the program chose into a bound box and hands it to the record at once (after
/// what the clerk typed elsewhere, conferma_caselle).
void scrivi_casella(FieldBinder* binder, const std::vector<QLineEdit*>& boxes, QLineEdit* box, const QString& text);

} // namespace quad

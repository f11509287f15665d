#pragma once

#include <QChar>
#include <QString>

namespace quad {

/// What a typing mask makes of one key typed into its box.
struct MaskResult
{
    QString text; ///< the box's new text
    int caret = 0; ///< the box's new caret position (0 = before the first character)
    bool swallowed = true; ///< true: the box must not insert the key itself
};

/// A date written in eight characters, as a date box takes it from the clerk: "03012026" (day,
/// month and four-digit year without separators) or "12/03/25" (a two-digit year), rewritten as
/// dd/MM/yyyy. A text of another length, or one that is not a date, comes back as it is.
QString data_otto_caratteri(const QString& text);

/// Date typing mask over the template "__/__/____" (day, month, four-digit year). Called with
/// the box's text, its caret and the typed character before the box inserts it. A digit
/// accepted at the caret is written in place and the caret jumps to the next digit place,
/// over the slashes; a "/" typed on a slash moves the caret past it. Limits: day tens 0-3
/// (30 and 31 only after a 3), month tens 0-1 (10-12 after a 1, 01-09 after a 0), year's first
/// digit 1 or 2. An empty text starts from the template; an 8-character date is first rewritten
/// as dd/MM/yyyy (data_otto_caratteri). Every key is swallowed: the text never grows past
/// the template's ten characters and holds digits only where the template has them.
MaskResult mask_data(const QString& text, int caret, QChar key);

/// Time typing mask over the template "00:00:00" (hours, minutes, seconds). A text shorter than
/// eight characters starts from the template; dots in a longer one become colons. Hours' tens
/// 0-2 (0-3 after a 2), tens of minutes and seconds 0-5; a ":" is taken only on a colon place;
/// a key typed on the second colon moves the caret past it without being written. Every key is
/// swallowed and the text never grows past eight characters.
MaskResult mask_ora(const QString& text, int caret, QChar key);

} // namespace quad

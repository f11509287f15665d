#pragma once

#include <QChar>
#include <QString>

namespace quad {

/// Check of an Italian tax code ("codice fiscale"). The text is taken as it stands, neither
/// trimmed nor upper-cased (a code in lower case or with blanks around it fails). It must have
/// the code's shape (six letters, two digits, the month letter A B C D E H L M P R S T, two
/// digits, a letter, three digits, the check letter; in the digit places the letters L M N P Q
/// R S T U V that stand for the digits 0-9 of a code changed to tell homonyms apart) and end
/// with the check letter calcola_car_controllo computes. Anything else ("F", "MA", 15 or 17
/// characters) is refused.
bool verifica_cod_fiscale(const QString& text);

/// The check letter ("A" to "Z") of a tax code, computed over its first 15 characters: the
/// odd-place values of places 1, 3, ..., 15 and the even-place values of places 2, ..., 14
/// summed, modulo 26. A shorter text counts as padded with blanks. The text is taken as it
/// stands (upper case expected).
QChar calcola_car_controllo(const QString& code);

/// Value of a character at an odd place of a tax code ("A"-"Z", "0"-"9"); 0 for anything else.
int valore_dispari(QChar c);

/// Value of a character at an even place: "A"-"Z" 0-25, "0"-"9" 0-9; 0 for anything else.
int valore_pari(QChar c);

/// Check of an Italian VAT number ("partita IVA"): the trimmed text must be eleven characters
/// long and the first eleven characters of the text as it stands must be digits "0"-"9", the
/// last one the check digit of the first ten. Blanks after the number do not count; a blank
/// before it does ("  12345678903" fails).
bool verifica_partita_iva(const QString& text);

/// The check made when the clerk leaves a "P.iva/CF" box. A text whose first character as
/// typed (before trimming) is a digit "0"-"9" is a VAT number, any other a tax code; the
/// trimmed text is checked. Returns the message to show before the box is emptied
/// ("Partita iva non valida !" or "Codice Fiscale errato !", each followed by two line
/// breaks), or "" when the code is valid or the box holds only blanks.
QString rifiuto_piva_cf(const QString& text);

} // namespace quad

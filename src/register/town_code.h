#pragma once

#include <QString>

namespace quad {

/// Decodes slice k (1 to 6) of a town's coded field codici: every character but a blank or a
/// "0" becomes the character with code 122 - c. Slice 1 is the five-character postal code.
/// The coding is its own inverse, so the same routine codes a postal code for storage.
/// A value shorter than the slice gives a shorter result; k outside 1 to 6 gives "".
QString estrai_codice_comune(int k, const QString& codici);

} // namespace quad

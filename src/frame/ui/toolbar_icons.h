#pragma once

#include <QIcon>
#include <QString>

namespace quad {

/// The keys of the tool bars' image list, in index order from 1.
QStringList imageListKeys();
/// Draws the image of a key of the image list (24 x 24, our own drawings); a null icon for an
/// unknown key.
QIcon disegna_icona(const QString& key);

} // namespace quad

#pragma once

#include <QString>

namespace quad {

/// Opens file with the program the desktop associates with it; true when the desktop took it.
/// The program puts it in place as the document opener (setDocumentOpener) at its start.
bool openWithDesktop(const QString& file);

} // namespace quad

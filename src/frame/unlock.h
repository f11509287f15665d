#pragma once

#include <QString>

namespace quad {

/// The issuing lock of a data folder: emissione.txt in folder ("" or a relative "SUB_<name>" is
/// resolved against the program folder), found without regard to case.
QString file_blocco(const QString& dataFolder);

/// Removes the issuing lock of a data folder by hand. A missing lock is not an error and nothing
/// is done. Returns false only when a lock exists and cannot be deleted; *error then says why.
bool rimuovi_blocco(const QString& dataFolder, QString* error = nullptr);

} // namespace quad

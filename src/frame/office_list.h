#pragma once

#include "my_func.h"
#include "working_state.h"

#include <QString>
#include <QStringList>

namespace quad {

/// The refusal for an office name, or "" when it is accepted. Blank names and names holding ";"
/// are refused: a ";" would split the office in two and shift every later office's folder.
QString verifica_nome_ufficio(const QString& name);
/// The refusal for an office's folder, or "" when it is accepted (a ";" is refused, as for names).
QString verifica_percorso_ufficio(const QString& folder);

/// Adds an office at the end of p_eln_uffici and writes Elenco of section Uffici. Path is left as
/// it is, except that folders beyond the number of offices (which the new office would otherwise
/// inherit) are dropped from it and from p_path_eln_uffici. Returns the refusal of
/// verifica_nome_ufficio, or why the settings file could not be written, "" when the office was
/// added; a refusal changes nothing.
QString aggiungi_ufficio(WorkingState& s, const QString& name);

/// Writes the list, names and folders in row order, to Elenco and Path of section Uffici and to
/// the working state. Missing folders are written as empty elements. Returns why the settings
/// file could not be written, "" when it was.
QString salva_elenco_uffici(WorkingState& s, const QStringList& names, const QStringList& folders);

} // namespace quad

#pragma once

#include "working_state.h"

namespace quad {

/// Loads the settings file of the program folder into the working state, creating it with
/// its defaults when the whole file is missing (an existing file is never completed). Returns
/// why the new file could not be written, "" when all went well.
QString leggi_impostazioni(WorkingState& state);

/// The default column mask: one "X" for each of 34 columns.
QString defaultColumnMask();

} // namespace quad

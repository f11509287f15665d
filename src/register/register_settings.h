#pragma once

#include <QString>

namespace quad {

/// The settings of imposta.ini that the register's window works with, as the session keeps them
/// (the session's state is made of these and more): read when the window needs them, so that a
/// setting changed meanwhile counts at once. The window writes back only the column mask the clerk
/// chooses.
struct RegisterSettings
{
    QString p_eln_colonne; ///< grid column mask, one "X" or "-" per column
    QString p_quad_rete; ///< network register switch, "0" or "1"
    QString p_eln_uffici; ///< office names joined by ";"
    QString p_postazione; ///< "Server" or "Client" (or "" when the key is missing)
};

} // namespace quad

// Actions of the main window whose windows and routines other parts of the program supply.
// Each does nothing until it is wired to them.
#include "frm_mod_pass.h"
#include "main_window.h"

#include <QAction>

namespace quad {

void Quadernolo::apri_impostazioni()
{
    frm_mod_pass dialog(state, this);
    dialog.exec();
}

void Quadernolo::compatta_archivi()
{
    cmd_menu_database(this, state);
}

} // namespace quad

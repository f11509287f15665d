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

void Quadernolo::apri_ricerca() { }

void Quadernolo::apri_fascicoli() { }

void Quadernolo::apri_collega_fascicolo() { }

void Quadernolo::apri_scelta_colonne() { }

void Quadernolo::filtro_campo()
{
    // No filter can be set yet: the button goes back to "no filter".
    toolbarButton(QStringLiteral("tb_filtro_off"))->setChecked(false);
    colore_griglia_filtro();
}

void Quadernolo::cmd_print_Click(int Index) { }

} // namespace quad

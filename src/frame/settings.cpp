#include "settings.h"

#include "my_func.h"
#include "program_folder.h"

#include <QFileInfo>

namespace quad {

QString defaultColumnMask()
{
    return QString(34, QLatin1Char('X'));
}

QString leggi_impostazioni(WorkingState& s)
{
    const QString ini = iniPath();
    QString error;
    // Only a file that is missing altogether gets the defaults.
    if (!QFileInfo::exists(ini)) {
        scrivi_ini(ini,
                   {{"Uffici", "Elenco", ""},
                    {"IMPOSTA", "Postazione", "Server"},
                    {"IMPOSTA", "Path_Postazione", programFolder()},
                    {"IMPOSTA", "Quad_rete", "0"},
                    {"IMPOSTA", "Colonne_grid", defaultColumnMask()}},
                   &error);
    }
    s.p_eln_uffici = leggi_ini(ini, "Uffici", "Elenco", "");
    s.p_path_eln_uffici = leggi_ini(ini, "Uffici", "Path", "");
    s.p_postazione = leggi_ini(ini, "IMPOSTA", "Postazione", "");
    s.p_path_postazione = leggi_ini(ini, "IMPOSTA", "Path_Postazione", "");
    s.p_quad_rete = leggi_ini(ini, "IMPOSTA", "Quad_rete", "0");
    s.p_eln_colonne = leggi_ini(ini, "IMPOSTA", "Colonne_grid", defaultColumnMask());
    s.p_chk_back_up = leggi_ini(ini, "IMPOSTA", "Check_back_up", "0");
    s.p_path_back_up = leggi_ini(ini, "IMPOSTA", "Path_back_up", "");
    return error;
}

} // namespace quad

#pragma once

#include "working_state.h"

#include <QString>

namespace quad {

/// What the settings dialog's General panel keeps.
struct ImpostazioniGenerali
{
    QString postazione; ///< "Server" or "Client"
    QString pathPostazione; ///< the server path typed or chosen on a Client station
    bool rete = false; ///< the network register switch
    bool backUp = false; ///< back-up at exit
    QString pathBackUp; ///< back-up folder
};

/// Writes Postazione, Path_Postazione, Quad_rete, Check_back_up and Path_back_up, in this order, to
/// section IMPOSTA of the settings file (switches as "1"/"0"), and puts the same values in the
/// working state. A failing write does not stop the others; the cause of the first comes back
/// ("" when every key was written).
QString salva_impostazioni_generali(WorkingState& s, const ImpostazioniGenerali& v);

/// Whether a switch value read from the settings ("0", "1", ...) turns its check box on: any
/// non-zero number does; anything else does not.
bool valore_spunta(const QString& value);

/// The folder a folder chooser starts in for path: the user's home for an empty path, otherwise the
/// path without a trailing separator (a root keeps its own).
QString normalizza_percorso(const QString& path);

/// The folder of a chosen archive file: its folder when the file is named Arch_quadernolo.mdb (in
/// any case) and exists as an ordinary file, "" otherwise (another file, a missing one, a cancel).
QString cartella_archivio(const QString& chosenFile);

} // namespace quad

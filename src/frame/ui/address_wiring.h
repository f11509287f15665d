#pragma once
// The main window's address-book panel.

namespace quad {

class Quadernolo;

/// Places the panel's grid and buttons as the window's design wants them.
void prepara_pannello_rubrica(Quadernolo& window);

} // namespace quad

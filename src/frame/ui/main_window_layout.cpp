// Placing the main window's regions whenever it changes size.
#include "main_window.h"

#include "register_widget.h"
#include "window_parts.h"

#include <algorithm>

namespace quad {

void Quadernolo::Form_Resize()
{
    const int cw = m_centrale->width();
    const int ch = m_centrale->height();

    // The register's window covers the area.
    m_finestraRegistro->setGeometry(0, 0, cw, ch);
    // 1-2. Start frame centred, menu strip across the top with Esci and Manuale at its right.
    Frame1->move((cw - Frame1->width()) / 2, (ch - Frame1->height()) / 2);
    frm_menu->dispose(cw);
    // 3. A resize takes the focus away from the box being typed.
    m_finestraRegistro->parcheggia_fuoco();
    // 4. Minimum size.
    if (height() < kDimensioneMinima || width() < kDimensioneMinima) {
        resize(std::max(width(), kDimensioneMinima), std::max(height(), kDimensioneMinima));
        return; // the resize comes back here
    }
    // 5. Tool strip.
    pic_tool_orizz->dispose(width());
    // 6. Start frame that does not fit gets its scroll bar.
    m_scorrimento->adatta(cw, ch, pic_tool_orizz->height());
    // 7-12. The register's views, its bar at the foot and the mask's scroll bars; the archive in
    // use just above that bar.
    m_finestraRegistro->disponi();
    m_stato->disponi(ch, m_finestraRegistro->altezza_fondo());
    // 13. Corner below the start frame's scroll bar.
    m_scorrimento->disponi_angolo(cw, ch);
    // 14.
    Frame1->alza_archivio();
}

} // namespace quad

// Placing the main window's regions whenever it changes size, and the scroll bars' moves.
#include "main_window.h"

#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace quad {

void Quadernolo::Form_Resize()
{
    const int cw = m_centrale->width();
    const int ch = m_centrale->height();
    const int barra = pic_tool_orizz->height();

    // The register's window covers the area.
    m_registro->setGeometry(0, 0, cw, ch);
    // 1-2. Start frame centred, menu strip across the top with Esci and Manuale at its right.
    Frame1->move((cw - Frame1->width()) / 2, (ch - Frame1->height()) / 2);
    frm_menu->dispose(cw);
    // 3. A resize takes the focus away from the box being typed.
    m_registro->parcheggia_fuoco();
    // 4. Minimum size.
    if (height() < kDimensioneMinima || width() < kDimensioneMinima) {
        resize(std::max(width(), kDimensioneMinima), std::max(height(), kDimensioneMinima));
        return; // the resize comes back here
    }
    // 5. Tool strip.
    pic_tool_orizz->dispose(width());
    // 6. Start frame that does not fit gets its scroll bar.
    if (!Frame1->isHidden()) {
        if (ch - barra >= Frame1->height()) {
            Frame1->move((cw - Frame1->width()) / 2, (ch - Frame1->height()) / 2);
            frm_menu->dispose(cw);
            m_registro->parcheggia_fuoco();
            m_scorrimento->VScroll1->hide();
        } else {
            const int h = ch - m_scorrimento->cmd_scroll->height() - barra;
            m_scorrimento->VScroll1->setGeometry(cw - m_scorrimento->VScroll1->width(), barra,
                                                 m_scorrimento->VScroll1->width(), std::max(h, 0));
            if (Frame1->height() - ch >= 0) { // a range below zero is left as it was
                m_scorrimento->VScroll1->setRange(0, Frame1->height() - ch);
                m_scorrimento->VScroll1->setPageStep(std::max(1, m_scorrimento->VScroll1->maximum() / 3));
            }
            m_scorrimento->VScroll1->setValue(0);
            m_scorrimento->VScroll1->show();
            m_scorrimento->VScroll1->raise();
        }
    }
    // 7-12. The register's views, its bar at the foot and the mask's scroll bars; the archive in
    // use just above that bar.
    m_registro->disponi();
    m_stato->Frame3->move(0, ch - m_registro->altezza_fondo() - m_stato->Frame3->height());
    // 13. Corner below the start frame's scroll bar.
    m_scorrimento->cmd_scroll->move(cw - m_scorrimento->cmd_scroll->width(), ch - m_scorrimento->cmd_scroll->height());
    m_scorrimento->cmd_scroll->setVisible(!m_scorrimento->HScroll1->isHidden() || !m_scorrimento->VScroll1->isHidden());
    // 14.
    Frame1->Command1->raise();
}

} // namespace quad

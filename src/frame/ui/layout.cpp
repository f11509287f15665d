// Placing the main window's regions whenever it changes size, and the scroll bars' moves.
#include "data_control.h"
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
    const int ado = Adodc1->height();

    // 1-2. Start frame centred, menu strip across the top with Esci and Manuale at its right.
    Frame1->move((cw - Frame1->width()) / 2, (ch - Frame1->height()) / 2);
    frm_menu->dispose(cw);
    // 3. A resize takes the focus away from the box being typed.
    cmd_focus->setFocus();
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
            cmd_focus->setFocus();
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
    // 7. Mask centred in its viewport (of the size before this resize).
    Frm_mask->move((Pic_mask->width() - Frm_mask->width()) / 2, (Pic_mask->height() - Frm_mask->height()) / 2);
    // 8. Bottom bar.
    Adodc1->setGeometry(0, ch - ado, cw, ado);
    pic_move->setGeometry(0, ch - pic_move->height(), Adodc1->width(), pic_move->height());
    pic_move->dispose();
    m_stato->Frame3->move(0, ch - std::max(ado, pic_move->height()) - m_stato->Frame3->height());
    // 9. Mask viewport.
    if (ch - barra - ado >= 0)
        Pic_mask->resize(cw, ch - barra - ado);
    // The register grid fills the same area, shown or not, so that it fits when it comes back.
    m_griglia->posiziona_griglia();
    // 10. Vertical fit of the mask.
    if (Frm_mask->height() > Pic_mask->height()) {
        const int h = ch - m_scorrimento->cmd_scroll->height() - barra - ado - tw(100);
        Pic_mask->VScroll2->setGeometry(cw - Pic_mask->VScroll2->width(), 0, Pic_mask->VScroll2->width(),
                                        std::max(h, 0));
        Pic_mask->VScroll2->setRange(0, Frm_mask->height() - Pic_mask->height());
        Pic_mask->VScroll2->setPageStep(std::max(1, Pic_mask->VScroll2->maximum() / 3));
        Pic_mask->VScroll2->setValue(0);
        Frm_mask->move(Frm_mask->x(), 0); // where the bar's value puts it
        Pic_mask->VScroll2->show();
        Pic_mask->VScroll2->raise();
    } else {
        Pic_mask->move((cw - Pic_mask->width()) / 2, (ch - Pic_mask->height()) / 2);
        Frm_mask->move(Frm_mask->x(), (Pic_mask->height() - Frm_mask->height()) / 2);
        frm_menu->dispose(cw);
        cmd_focus->setFocus();
        Pic_mask->VScroll2->hide();
    }
    // 11.
    if (!Pic_mask->VScroll2->isHidden())
        Adodc1->resize(cw - Pic_mask->VScroll2->width(), Adodc1->height());
    // 12. Horizontal fit of the mask.
    if (Frm_mask->width() > Pic_mask->width()) {
        const int larg = Pic_mask->width() - (Pic_mask->VScroll2->isHidden() ? 0 : Pic_mask->VScroll2->width());
        Pic_mask->HScroll2->setGeometry(0, Pic_mask->height() - Pic_mask->HScroll2->height() - tw(100),
                                        std::max(larg, 0), Pic_mask->HScroll2->height());
        Pic_mask->HScroll2->setRange(0, Frm_mask->width() - Pic_mask->width());
        Pic_mask->HScroll2->setPageStep(std::max(1, Pic_mask->HScroll2->maximum() / 3));
        Pic_mask->HScroll2->setValue(0);
        Frm_mask->move(0, Frm_mask->y());
        Pic_mask->HScroll2->show();
        Pic_mask->HScroll2->raise();
    } else {
        Frm_mask->move((Pic_mask->width() - Frm_mask->width()) / 2, Frm_mask->y());
        Pic_mask->HScroll2->hide();
    }
    // 13. Corner below the start frame's scroll bar.
    m_scorrimento->cmd_scroll->move(cw - m_scorrimento->cmd_scroll->width(), ch - m_scorrimento->cmd_scroll->height());
    m_scorrimento->cmd_scroll->setVisible(!m_scorrimento->HScroll1->isHidden() || !m_scorrimento->VScroll1->isHidden());
    // 14.
    Frame1->Command1->raise();
}

} // namespace quad

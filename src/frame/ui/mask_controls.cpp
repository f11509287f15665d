// The controls of the entry mask and their places inside it.
#include "control_factory.h"
#include "data_control.h"
#include "main_window.h"
#include "toolbar_icons.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace quad {

using namespace controls;

void Quadernolo::creaMaschera()
{
    cmd_scroll_1 = bottone(Pic_mask, "cmd_scroll_1", QString(), QRect(0, 0, tw(255), tw(255)));
    cmd_scroll_1->setEnabled(false);
    cmd_scroll_1->hide();
    VScroll2 = nominato(new QScrollBar(Qt::Vertical, Pic_mask), QStringLiteral("VScroll2"));
    VScroll2->setGeometry(0, 0, tw(255), tw(2000));
    VScroll2->hide();
    HScroll2 = nominato(new QScrollBar(Qt::Horizontal, Pic_mask), QStringLiteral("HScroll2"));
    HScroll2->setGeometry(0, 0, tw(2000), tw(255));
    HScroll2->hide();

    Frm_mask = new EntryMask(Pic_mask);
    Frm_mask->setEvents(this);
    txt_mask1 = Frm_mask->txt_mask1;
    lbl_nodo = Frm_mask->lbl_nodo;
    lbl_filtro_ins = Frm_mask->lbl_filtro_ins;
    Frm_mask->cmd_tree->setIcon(ImageList1[15]);
    const char* linkIcone[] = {"ing_find", "img_notifica", "img_new"};
    for (int i = 0; i < 3; ++i)
        Frm_mask->picOpenWWW[i]->setPixmap(disegna_icona(QLatin1String(linkIcone[i])).pixmap(22, 22));

    ado_mittenti = nominato(new DataControl(Frm_mask), QStringLiteral("ado_mittenti"));
    ado_mittenti->setCaption(QStringLiteral("ado_mittenti"));
    ado_mittenti->setGeometry(8, 430, 200, 22);
    ado_mittenti->hide();
}

} // namespace quad

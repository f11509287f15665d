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
    Frm_mask = new EntryMask(Pic_mask);
    Frm_mask->cmd_tree->setIcon(pic_tool_orizz->ImageList1[15]);
    const char* linkIcone[] = {"ing_find", "img_notifica", "img_new"};
    for (int i = 0; i < 3; ++i)
        Frm_mask->picOpenWWW[i]->setPixmap(disegna_icona(QLatin1String(linkIcone[i])).pixmap(22, 22));

    ado_mittenti
        = nominato(new DataControl(m_registro->correspondentSource(), Frm_mask), QStringLiteral("ado_mittenti"));
    ado_mittenti->setCaption(QStringLiteral("ado_mittenti"));
    ado_mittenti->setGeometry(8, 430, 200, 22);
    ado_mittenti->hide();
}

} // namespace quad

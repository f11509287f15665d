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

    Frm_mask->mostra_corrispondenti(m_registro->correspondentSource());
    Pic_mask->setContent(Frm_mask);
}

} // namespace quad

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
    std::vector<QPixmap> collegamento;
    for (const char* icona : {"ing_find", "img_notifica", "img_new"})
        collegamento.push_back(disegna_icona(QLatin1String(icona)).pixmap(22, 22));
    Frm_mask->imposta_icone(pic_tool_orizz->ImageList1[15], collegamento);

    // The data control of the correspondents of the entry shown, in the mask, never shown.
    ado_mittenti = new DataControl(m_registro->correspondentSource(), Frm_mask);
    ado_mittenti->setObjectName(QStringLiteral("ado_mittenti"));
    ado_mittenti->setCaption(QStringLiteral("ado_mittenti"));
    ado_mittenti->setGeometry(8, 430, 200, 22);
    ado_mittenti->hide();
    Pic_mask->setContent(Frm_mask);
}

} // namespace quad

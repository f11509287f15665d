// The entry mask over the register: placing it, its read-only state, the annulment frames.
#include "data_control.h"
#include "mask_controller.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace quad {

void MaskController::disponi_maschera()
{
    Pic_mask->setGeometry(m_host.griglia()->geometry());
    Frm_mask->move((Pic_mask->width() - Frm_mask->width()) / 2,
                   (Pic_mask->height() - Frm_mask->height()) / 2 - tw(100));
    collega_campi_maschera();
}

void MaskController::blocca_maschera()
{
    QList<int> caselle;
    for (int i = 2; i <= 17; ++i)
        caselle << i;
    caselle << 24 << 25 << 26;
    // Notes (18) and link (19) stay editable: they are what a registered entry may still change.
    for (int i : caselle) {
        Frm_mask->txt_mask1[i]->setReadOnly(true);
        Frm_mask->txt_mask1[i]->setFrame(false);
        Frm_mask->txt_mask1[i]->setStyleSheet(QStringLiteral("QLineEdit { background-color: #E0E0E0; }"));
    }
    Frm_mask->Check2->setEnabled(false);
    Frm_mask->cmd_altri->setEnabled(false);
}

void MaskController::mostra_annullato()
{
    if (conta_schede() < 1) {
        Frm_mask->Frame_annullato->hide();
        Frm_mask->frame_annulla->hide();
        return;
    }
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    bool annullato = false;
    if (!rs->bof() && !rs->eof()) {
        const QVariant v = rs->value(QStringLiteral("Annullato"));
        annullato = v.toBool() || v.toLongLong() == -1;
    }
    Frm_mask->Frame_annullato->setVisible(annullato);
    Frm_mask->frame_annulla->setVisible(!annullato);
}

} // namespace quad

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
    Frm_mask->blocca();
}

void MaskController::mostra_annullato()
{
    if (conta_schede() < 1) {
        Frm_mask->nascondi_annullamento();
        return;
    }
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    bool annullato = false;
    if (!rs->bof() && !rs->eof()) {
        const QVariant v = rs->value(QStringLiteral("Annullato"));
        annullato = v.toBool() || v.toLongLong() == -1;
    }
    Frm_mask->mostra_annullamento(annullato);
}

} // namespace quad

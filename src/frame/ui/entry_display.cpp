// The entry mask's editable state for a new entry, and the Null-to-text helper.
#include "mask_controller.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace quad {

void MaskController::sblocca_maschera()
{
    QList<int> caselle;
    for (int i = 2; i <= 19; ++i)
        caselle << i;
    caselle << 24 << 25 << 26;
    for (int i : caselle) {
        Frm_mask->txt_mask1[i]->setReadOnly(false);
        Frm_mask->txt_mask1[i]->setFrame(true);
        // The window's own background colour.
        Frm_mask->txt_mask1[i]->setStyleSheet(QString());
    }
    Frm_mask->Check2->setEnabled(true);
    Frm_mask->cmd_altri->setEnabled(true);
}

QVariant MaskController::nz_stringa(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

} // namespace quad

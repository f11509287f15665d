// The entry mask's editable state for a new entry, and the Null-to-text helper.
#include "mask_controller.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace quad {

void MaskController::sblocca_maschera()
{
    Frm_mask->sblocca();
}

QVariant MaskController::nz_stringa(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

} // namespace quad

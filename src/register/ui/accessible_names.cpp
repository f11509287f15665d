#include "accessible_names.h"

#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace quad {

namespace {

bool casella(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QComboBox*>(w) || qobject_cast<const QTextEdit*>(w)
        || qobject_cast<const QPlainTextEdit*>(w);
}

/// A box inside another control belongs to it (the editor of a combo box or a spin box, the
/// year box of a calendar).
bool parteDiAltroControllo(const QWidget* box, const QWidget* root)
{
    for (const QWidget* p = box->parentWidget(); p && p != root; p = p->parentWidget()) {
        if (casella(p) || qobject_cast<const QCalendarWidget*>(p))
            return true;
    }
    return false;
}

const QLabel* etichettaGiaData(const QWidget* box)
{
    if (!box->parentWidget())
        return nullptr;
    for (const QLabel* label : box->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->buddy() == box)
            return label;
    }
    return nullptr;
}

/// The label on the box's line, ending left of it, nearest to it; null when there is none.
QLabel* etichettaAccanto(const QWidget* box)
{
    if (!box->parentWidget())
        return nullptr;
    const QRect b = box->geometry();
    QLabel* scelta = nullptr;
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect l = label->geometry();
        if (label->text().trimmed().isEmpty() || label->buddy() || l.center().y() < b.top()
            || l.center().y() > b.bottom() || l.right() >= b.left())
            continue;
        if (!scelta || l.right() > scelta->geometry().right())
            scelta = label;
    }
    return scelta;
}

} // namespace

void annuncia_caselle(QWidget* root, const QHash<const QWidget*, QString>& senzaEtichetta)
{
    if (!root)
        return;
    for (QWidget* box : root->findChildren<QWidget*>()) {
        if (!casella(box) || parteDiAltroControllo(box, root) || !box->accessibleName().isEmpty()
            || etichettaGiaData(box))
            continue;
        if (QLabel* label = etichettaAccanto(box)) {
            label->setBuddy(box);
            continue;
        }
        const QString nome = senzaEtichetta.value(box, box->toolTip());
        if (!nome.isEmpty())
            box->setAccessibleName(nome);
    }
}

} // namespace quad

#include "criteria_model.h"

#include <QApplication>
#include <QPainter>

namespace quad {

bool CriteriaModel::riga_nuova(int row) const
{
    const Recordset* rs = recordset();
    return rs && rs->isOpen() && row == RecordsetModel::rowCount();
}

int CriteriaModel::rowCount(const QModelIndex& parent) const
{
    const Recordset* rs = recordset();
    if (parent.isValid() || !rs || !rs->isOpen())
        return 0;
    return RecordsetModel::rowCount() + 1;
}

QVariant CriteriaModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && riga_nuova(index.row()))
        return QVariant();
    return RecordsetModel::data(index, role);
}

QVariant CriteriaModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && riga_nuova(section))
        return QStringLiteral("*");
    return RecordsetModel::headerData(section, orientation, role);
}

Qt::ItemFlags CriteriaModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = RecordsetModel::flags(index);
    if (index.isValid() && index.column() == 3)
        f |= Qt::ItemIsEditable;
    return f;
}

bool CriteriaModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != 3)
        return false;
    emit valoreDigitato(index.row(), index.column(), value.toString());
    return true;
}

void CriteriaDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool lista = index.column() <= 1
        || (index.column() == 2 && !index.siblingAtColumn(1).data(Qt::DisplayRole).toString().isEmpty());
    if (!lista) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int lato = std::min(option.rect.height(), kFrecciaCriteri);
    QStyleOptionViewItem cella = option;
    initStyleOption(&cella, index);
    QStyle* style = cella.widget ? cella.widget->style() : QApplication::style();
    // The cell's background whole, its text clear of the arrow.
    QStyleOptionViewItem sfondo = cella;
    sfondo.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &sfondo, painter, cella.widget);
    cella.rect.setRight(cella.rect.right() - lato);
    style->drawControl(QStyle::CE_ItemViewItem, &cella, painter, cella.widget);
    QStyleOption freccia;
    if (cella.widget)
        freccia.initFrom(cella.widget);
    freccia.rect = QRect(option.rect.right() - lato + 1, option.rect.top(), lato, option.rect.height());
    freccia.palette = option.palette;
    if (option.state & QStyle::State_Selected)
        freccia.palette.setColor(QPalette::ButtonText, option.palette.color(QPalette::HighlightedText));
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &freccia, painter, cella.widget);
}

QWidget* CriteriaDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        editor->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
    return editor;
}

} // namespace quad

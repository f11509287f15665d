#include "criteria_model.h"

namespace quad {

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

} // namespace quad

#pragma once

#include "recordset_model.h"

namespace quad {

/// The criteria list as the search dialog's grid shows it: the columns of the criteria
/// recordset, of which only the value (column 3) is typed; the other three are chosen from
/// lists. A typed value is handed to the dialog (valoreDigitato), which writes and checks it.
class CriteriaModel : public RecordsetModel
{
    Q_OBJECT
public:
    using RecordsetModel::RecordsetModel;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void valoreDigitato(int row, int column, const QString& text);
};

} // namespace quad

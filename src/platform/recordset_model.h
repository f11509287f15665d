#pragma once

#include "recordset.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

namespace quad {

/// A table model over a recordset for the program's grids: one row per row of the recordset's
/// view, one column per field, cells as Recordset::displayText shows them. It follows the
/// recordset (filter, sort, requery, new, changed and deleted rows) through its signals and
/// reads cells on demand: showing a screenful costs a screenful of cells, whatever the size
/// of the recordset.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    /// The model does not own the recordset; it empties itself when the recordset goes.
    explicit RecordsetModel(Recordset* recordset, QObject* parent = nullptr);

    Recordset* recordset() const { return m_rs; }

    /// Caption of a column header; an empty text restores the default (the field's name).
    /// Captions are kept by position across requery.
    void setHeaderCaption(int column, const QString& text);
    QString headerCaption(int column) const;
    void clearHeaderCaptions();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    /// DisplayRole: the shown text; EditRole: the value itself.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    /// The recordset's current record moved: its row in the model, or -1 at BOF/EOF.
    void currentRowChanged(int row);

private:
    void onRowChanged(int row);

    QPointer<Recordset> m_rs;
    QHash<int, QString> m_captions;
};

} // namespace quad

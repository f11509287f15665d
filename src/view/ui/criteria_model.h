#pragma once

#include "recordset_model.h"

#include <QStyledItemDelegate>

namespace quad {

/// The criteria list as the search dialog's grid shows it: the columns of the criteria
/// recordset, of which only the value (column 3) is typed; the other three are chosen from
/// lists. After the last criterion stands an empty new-row line (its header "*"), where a new
/// criterion is begun. A typed value is handed to the dialog (valoreDigitato), which writes
/// and checks it.
class CriteriaModel : public RecordsetModel
{
    Q_OBJECT
public:
    using RecordsetModel::RecordsetModel;

    /// True for the new-row line.
    bool riga_nuova(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void valoreDigitato(int row, int column, const QString& text);
};

/// Width in pixels of the arrow at the right end of a criteria cell that opens a list.
constexpr int kFrecciaCriteri = 16;

/// Draws the criteria grid's cells: a cell that opens a list (join word, field, and the
/// comparison once the row has a field) shows a drop-down arrow at its right end; the editor of
/// a typed value is named after its column for screen readers.
class CriteriaDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace quad

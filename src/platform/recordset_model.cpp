#include "recordset_model.h"

namespace quad {

RecordsetModel::RecordsetModel(Recordset* recordset, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rs(recordset)
{
    if (!recordset)
        return;
    connect(recordset, &Recordset::modelAboutToReset, this, [this] { beginResetModel(); });
    connect(recordset, &Recordset::modelReset, this, [this] { endResetModel(); });
    connect(recordset, &Recordset::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(recordset, &Recordset::rowsInserted, this, [this] { endInsertRows(); });
    connect(recordset, &Recordset::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
    connect(recordset, &Recordset::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(recordset, &Recordset::rowChanged, this, &RecordsetModel::onRowChanged);
    connect(recordset, &Recordset::moveComplete, this, [this] { emit currentRowChanged(m_rs->currentRow()); });
    connect(recordset, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_rs = nullptr;
        endResetModel();
    });
}

void RecordsetModel::setHeaderCaption(int column, const QString& text)
{
    if (text.isEmpty())
        m_captions.remove(column);
    else
        m_captions.insert(column, text);
    if (column >= 0 && column < columnCount())
        emit headerDataChanged(Qt::Horizontal, column, column);
}

QString RecordsetModel::headerCaption(int column) const
{
    const auto it = m_captions.constFind(column);
    if (it != m_captions.constEnd())
        return *it;
    if (m_rs && column >= 0 && column < m_rs->fieldCount())
        return m_rs->field(column).uniqueName;
    return QString();
}

void RecordsetModel::clearHeaderCaptions()
{
    m_captions.clear();
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_rs || !m_rs->isOpen())
        return 0;
    return m_rs->recordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_rs || !m_rs->isOpen())
        return 0;
    return m_rs->fieldCount();
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_rs || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return Recordset::displayText(m_rs->valueAt(index.row(), index.column()));
    if (role == Qt::EditRole)
        return m_rs->valueAt(index.row(), index.column());
    return QVariant();
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headerCaption(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void RecordsetModel::onRowChanged(int row)
{
    const int columns = columnCount();
    if (row >= 0 && row < rowCount() && columns > 0)
        emit dataChanged(index(row, 0), index(row, columns - 1));
}

} // namespace quad

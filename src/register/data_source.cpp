#include "data_source.h"

namespace quad {

DataSource::DataSource(QObject* parent)
    : QObject(parent)
{
}

void DataSource::setRecordSource(const QString& sql, const QVariantList& parameters)
{
    m_recordSource = sql;
    m_parameters = parameters;
}

void DataSource::setRecordset(std::shared_ptr<quad::Recordset> recordset)
{
    if (m_recordset)
        m_recordset->disconnect(this);
    m_recordset = std::move(recordset);
    if (m_recordset) {
        auto* rs = m_recordset.get();
        connect(rs, &quad::Recordset::willMove, this, &DataSource::willMove);
        connect(rs, &quad::Recordset::moveComplete, this, &DataSource::moveComplete);
        connect(rs, &quad::Recordset::recordChangeComplete, this, &DataSource::recordChangeComplete);
        connect(rs, &quad::Recordset::error, this, &DataSource::error);
        connect(rs, &quad::Recordset::modelReset, this, &DataSource::dataChanged);
        connect(rs, &quad::Recordset::rowChanged, this, &DataSource::rowDataChanged);
    }
    emit recordsetChanged();
}

std::shared_ptr<Connection> DataSource::connectionFor(const QString& connectionString, DbResult* error)
{
    const quad::ConnectionString parts = quad::ConnectionString::parse(connectionString);
    if (parts.dataSource.isEmpty()) {
        if (error)
            *error = DbResult::failure(DbError::NotFound, QStringLiteral("Origine dati non impostata."));
        return nullptr;
    }
    return Connection::shared(parts.dataSource, parts.password.toUtf8(), error);
}

DbResult DataSource::Refresh()
{
    DbResult result;
    std::shared_ptr<Connection> db = connectionFor(m_connectionString, &result);
    const bool sameQuery = m_recordset && m_recordset->isOpen() && m_recordset->source() == m_recordSource
        && m_lastParameters == m_parameters;
    if (!db) {
        // The rows of the same query stay shown, as when reading them again fails.
        if (!sameQuery)
            setRecordset(nullptr);
        emit error(result);
        return result;
    }
    // The same query on the same file is read again in place: with nothing written since, the
    // rows already read serve; a read that fails keeps them.
    if (sameQuery && m_recordset->connection() == db) {
        result = m_recordset->requery();
        if (!result.ok()) {
            emit error(result);
            return result;
        }
        emit recordsetChanged();
        emit moveComplete();
        return result;
    }
    // The rows shown so far go first: a large register is never held twice.
    if (m_recordset)
        m_recordset->close();
    auto rs = std::make_shared<quad::Recordset>();
    result = rs->open(db, m_recordSource, m_parameters);
    if (!result.ok()) {
        setRecordset(nullptr);
        emit error(result);
        return result;
    }
    m_lastParameters = m_parameters;
    setRecordset(rs);
    // A data control reports its first record after every refresh.
    emit moveComplete();
    return result;
}

void DataSource::clear()
{
    m_recordSource.clear();
    m_parameters.clear();
    m_connectionString.clear();
    setRecordset(nullptr);
}

void DataSource::muovi(int button)
{
    if (!m_recordset || !m_recordset->isOpen() || m_recordset->recordCount() == 0)
        return;
    switch (button) {
    case 0:
        m_recordset->moveFirst();
        break;
    case 1:
        m_recordset->movePrevious();
        if (m_recordset->bof())
            m_recordset->moveFirst();
        break;
    case 2:
        m_recordset->moveNext();
        if (m_recordset->eof())
            m_recordset->moveLast();
        break;
    default:
        m_recordset->moveLast();
        break;
    }
}

} // namespace quad

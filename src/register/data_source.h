#pragma once

#include "database.h"
#include "recordset.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>

namespace quad {

/// What a data control reads, without its bar: a connection string and a record source that
/// Refresh() opens into a recordset. The recordset's events are re-emitted by the source, so
/// handlers stay connected across refreshes.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);

    QString ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text) { m_connectionString = text; }
    QString RecordSource() const { return m_recordSource; }
    /// The query and its bound values (the values are never pasted into the text).
    void setRecordSource(const QString& sql, const QVariantList& parameters = {});
    QVariantList parameters() const { return m_parameters; }

    std::shared_ptr<quad::Recordset> Recordset() const { return m_recordset; }
    /// Replaces the recordset (null releases it).
    void setRecordset(std::shared_ptr<quad::Recordset> recordset);

    /// Opens the record source on the connection string. The same source on the same file is read
    /// again in the recordset in place (Recordset::requery: the rows in memory serve when nothing
    /// was written since, and a failed read keeps them, as does a connection that cannot be had).
    /// A new source or file opens a new recordset, the previous one released first. On failure
    /// error() is emitted and the cause is returned.
    DbResult Refresh();
    /// Empties record source, connection string and recordset.
    void clear();

    /// The connection of the connection string (shared across the program).
    static std::shared_ptr<Connection> connectionFor(const QString& connectionString, DbResult* error);

    /// Moves as a data control's buttons do: 0 first, 1 previous (stopping at the first),
    /// 2 next (stopping at the last), anything else last. Nothing on an empty recordset.
    void muovi(int button);

signals:
    void willMove();
    void moveComplete();
    void recordChangeComplete(quad::ChangeReason reason, quad::EventStatus* status);
    void error(const quad::DbResult& result);
    /// A new recordset (or none) is in place.
    void recordsetChanged();
    /// The rows of the recordset changed wholesale (requery, filter, sort).
    void dataChanged();
    /// Some values of one row changed.
    void rowDataChanged();

private:
    QString m_connectionString;
    QString m_recordSource;
    QVariantList m_parameters;
    QVariantList m_lastParameters; ///< of the recordset's query
    std::shared_ptr<quad::Recordset> m_recordset;
};

} // namespace quad

#pragma once

#include "data_source.h"

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QVariantList>

#include <memory>

class QLabel;
class QToolButton;

namespace quad {

/// A data control: the bar with a caption and the four move buttons over a data source (its
/// connection string, record source and recordset). The control either has a source of its own or
/// shows one that lives elsewhere (the open register's); the source's signals are re-emitted by
/// the control, so handlers stay connected across refreshes.
class DataControl : public QFrame
{
    Q_OBJECT
public:
    /// A control with a data source of its own.
    explicit DataControl(QWidget* parent = nullptr);
    /// A control over source, which outlives it.
    DataControl(DataSource& source, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& caption);

    /// The source shown; null once a source that lives elsewhere has gone (the control then
    /// shows nothing and does nothing).
    DataSource* source() const { return m_source; }

    QString ConnectionString() const { return m_source ? m_source->ConnectionString() : QString(); }
    void setConnectionString(const QString& text);
    QString RecordSource() const { return m_source ? m_source->RecordSource() : QString(); }
    /// The query and its bound values (the values are never pasted into the text).
    void setRecordSource(const QString& sql, const QVariantList& parameters = {});
    QVariantList parameters() const { return m_source ? m_source->parameters() : QVariantList(); }

    std::shared_ptr<quad::Recordset> Recordset() const { return m_source ? m_source->Recordset() : nullptr; }
    /// Replaces the recordset (null releases it).
    void setRecordset(std::shared_ptr<quad::Recordset> recordset);

    /// See DataSource::Refresh.
    DbResult Refresh();
    /// Empties record source, connection string and recordset.
    void clear();

    /// The connection of the connection string (shared across the program).
    static std::shared_ptr<Connection> connectionFor(const QString& connectionString, DbResult* error)
    {
        return DataSource::connectionFor(connectionString, error);
    }

    /// Moves as the control's buttons do: 0 first, 1 previous (stopping at the first),
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
    void build();

    QPointer<DataSource> m_source;
    QLabel* m_caption = nullptr;
    QToolButton* m_buttons[4] = {};
};

} // namespace quad

#pragma once

#include "database.h"
#include "field_text.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class QWidget;

namespace quad {

class DataControl;

/// Shows a field of a data control's current record in a box (QLineEdit or QCheckBox) and
/// writes what the clerk typed back into the record.
///
/// A box has a data field and a data source, set apart as the program sets them: a field
/// without a source shows nothing. The box is filled on every move, refresh and change of its
/// source; dates show as dd/MM/yyyy, times as HH:mm:ss. Typed text is written back with
/// Recordset::setValue when the box is left (editingFinished) or before the record moves, only
/// when the clerk changed it; a value the field refuses is reported by valueRefused() and the
/// box keeps the typed text. Typed text is read with valueFromText(), values shown with
/// textOfValue().
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    explicit FieldBinder(QObject* parent = nullptr);

    void setDataField(QWidget* box, const QString& field);
    QString dataField(QWidget* box) const;
    /// Binds the box to source (null unbinds it; the box keeps its text).
    void setDataSource(QWidget* box, DataControl* source);
    DataControl* dataSource(QWidget* box) const;

    /// Shows the current values of every box bound to source. With keepTyped, a box holding
    /// text the clerk typed and not written yet keeps it unless its own field changed since it
    /// was filled: a change of another field of the record must not wipe it (it is written
    /// when the box is left or the record moves).
    void refresh(DataControl* source, bool keepTyped = false);
    /// Shows the current value in one box (empty when unbound, at BOF/EOF or no such field).
    void show(QWidget* box);
    /// Writes the typed text of box back; nothing when the clerk did not change it. A refused
    /// text is also reported by valueRefused(), so callers that only push the typed text on
    /// may drop the result.
    DbResult commit(QWidget* box);
    /// Writes back every changed box bound to source (the first refusal is returned).
    DbResult commitAll(DataControl* source);
    /// True when the clerk typed in the box since it was last filled.
    bool isDirty(QWidget* box) const;

    /// Reads the typed text of box as a value of kind instead of the kind of its field's type
    /// (a count in a number field).
    void setFieldKind(QWidget* box, FieldKind kind);

signals:
    /// The field refused the typed text of box: the box keeps the text, still to be written.
    /// Emitted once for a text: trying the same text again fails without a second report.
    void valueRefused(QWidget* box, const quad::DbResult& result);

private:
    struct Binding
    {
        QString field;
        QPointer<DataControl> source;
        bool dirty = false;
        bool filling = false;
        bool hasKind = false;
        FieldKind kind = FieldKind::Text; ///< how typed text is read, when hasKind
        QVariant shown; ///< the field's value when the box was last filled
        QString refusedText; ///< the typed text last refused and reported (null when none)
    };
    DbResult refuse(QWidget* box, const DbResult& result);
    /// The current value of the box's field, or an invalid QVariant when there is none.
    QVariant currentValue(const Binding& b) const;
    void watch(DataControl* source);
    Binding* bindingOf(QWidget* box);

    QHash<QWidget*, Binding> m_bindings;
    QHash<DataControl*, bool> m_watched;
};

} // namespace quad

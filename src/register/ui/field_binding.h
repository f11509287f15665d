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
/// writes what the clerk types into the record: the record is the one place the entry is kept.
///
/// A box has a data field and a data source, set apart as the program sets them: a field
/// without a source shows nothing. The box is filled on every move, refresh and change of its
/// source; dates show as dd/MM/yyyy, times as HH:mm:ss. Typed text is written with
/// Recordset::setValue as it is typed, whenever the field can take it; a text it cannot take
/// (a date half typed, a count with letters) stays in the box only, and is reported by
/// valueRefused() when the box is left or the record is about to move or be stored. A box left
/// shows its value as it is shown when filled. Typed text is read with valueFromText(), values
/// shown with textOfValue().
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    explicit FieldBinder(QObject* parent = nullptr);
    ~FieldBinder() override;

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
    /// The box is left: a text its field refused is reported (valueRefused()) and returned, and
    /// the box keeps it; otherwise the box shows the value of its field. Nothing when the clerk
    /// did not type in it.
    DbResult commit(QWidget* box);
    /// commit for every box bound to source (the first refusal is returned).
    DbResult commitAll(DataControl* source);
    /// The check made before an action that stores the record: a box bound to source holding a
    /// text its field refused is reported again, even when it was reported when its box was
    /// left, and the action stops on the refusal returned. What the other boxes hold is in the
    /// record already.
    DbResult checkBeforeSave(DataControl* source);
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
    /// What the binder keeps of one box.
    struct Binding;
    DbResult refuse(QWidget* box, const DbResult& result);
    /// Writes the text of box into its field, telling nobody of a refusal.
    DbResult write(QWidget* box);
    /// A text its field cannot take leaves the field with the value the box was filled with.
    void restore(QWidget* box);
    /// True when the box's source stands on a record that has the box's field.
    bool onRecord(const Binding& b) const;
    /// The current value of the box's field, or an invalid QVariant when there is none.
    QVariant currentValue(const Binding& b) const;
    void watch(DataControl* source);
    Binding* bindingOf(QWidget* box);

    QHash<QWidget*, Binding> m_bindings;
    QHash<DataControl*, bool> m_watched;
    QWidget* m_writing = nullptr; ///< the box whose text is being written
};

} // namespace quad

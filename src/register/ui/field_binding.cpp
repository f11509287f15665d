#include "field_binding.h"

#include "data_control.h"
#include "field_text.h"
#include "recordset.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

namespace quad {

struct FieldBinder::Binding
{
    QString field;
    QPointer<DataControl> source;
    bool dirty = false; ///< typed since it was last filled
    bool filling = false;
    bool hasKind = false;
    FieldKind kind = FieldKind::Text; ///< how typed text is read, when hasKind
    QVariant shown; ///< the field's value as the box last wrote or showed it
    QVariant filled; ///< the field's value when the box was last filled
    QString refusedText; ///< the typed text last refused and reported (null when none)
};

FieldBinder::FieldBinder(QObject* parent)
    : QObject(parent)
{
}

FieldBinder::~FieldBinder() = default;

FieldBinder::Binding* FieldBinder::bindingOf(QWidget* box)
{
    auto it = m_bindings.find(box);
    if (it != m_bindings.end())
        return &it.value();
    Binding& b = m_bindings[box];
    connect(box, &QObject::destroyed, this, [this, box] { m_bindings.remove(box); });
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        // What the clerk types goes into the record as it is typed; a text that its field cannot
        // take yet (a date half typed) waits for the box to be left, where a refusal is told.
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            Binding* b = bindingOf(edit);
            b->refusedText = QString();
            if (b->filling)
                return;
            b->dirty = true;
            if (!write(edit).ok())
                restore(edit);
        });
        // A refusal reaches the clerk through valueRefused().
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { (void)commit(edit); });
    } else if (auto* check = qobject_cast<QCheckBox*>(box)) {
        connect(check, &QCheckBox::stateChanged, this, [this, check] {
            Binding* b = bindingOf(check);
            if (!b->filling) {
                b->dirty = true;
                (void)commit(check); // a refusal is told by valueRefused()
            }
        });
    }
    return &b;
}

void FieldBinder::setDataField(QWidget* box, const QString& field)
{
    Binding* b = bindingOf(box);
    b->field = field;
    b->dirty = false;
    show(box);
}

QString FieldBinder::dataField(QWidget* box) const
{
    auto it = m_bindings.constFind(box);
    return it == m_bindings.constEnd() ? QString() : it->field;
}

void FieldBinder::setDataSource(QWidget* box, DataControl* source)
{
    Binding* b = bindingOf(box);
    b->source = source;
    b->dirty = false;
    if (source) {
        watch(source);
        show(box);
    }
}

DataControl* FieldBinder::dataSource(QWidget* box) const
{
    auto it = m_bindings.constFind(box);
    return it == m_bindings.constEnd() ? nullptr : it->source.data();
}

void FieldBinder::watch(DataControl* source)
{
    if (m_watched.contains(source))
        return;
    m_watched.insert(source, true);
    connect(source, &QObject::destroyed, this, [this, source] { m_watched.remove(source); });
    // Typed text goes into the record it was typed for, before the record changes.
    // A refusal is told by valueRefused(); the box keeps the text until it is shown again.
    connect(source, &DataControl::willMove, this, [this, source] { (void)commitAll(source); });
    connect(source, &DataControl::moveComplete, this, [this, source] { refresh(source); });
    connect(source, &DataControl::recordsetChanged, this, [this, source] { refresh(source); });
    connect(source, &DataControl::dataChanged, this, [this, source] { refresh(source); });
    // A value changed in the current row: the other boxes keep what the clerk is typing.
    connect(source, &DataControl::rowDataChanged, this, [this, source] { refresh(source, true); });
}

void FieldBinder::refresh(DataControl* source, bool keepTyped)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end(); ++it) {
        if (it->source != source)
            continue;
        // The box being written keeps the text as the clerk is typing it.
        if (keepTyped && it->dirty && (it.key() == m_writing || currentValue(*it) == it->shown))
            continue;
        show(it.key());
    }
}

void FieldBinder::setFieldKind(QWidget* box, FieldKind kind)
{
    Binding* b = bindingOf(box);
    b->kind = kind;
    b->hasKind = true;
}

bool FieldBinder::onRecord(const Binding& b) const
{
    if (!b.source || b.field.isEmpty())
        return false;
    const std::shared_ptr<Recordset> rs = b.source->Recordset();
    return rs && rs->isOpen() && !rs->bof() && !rs->eof() && rs->fieldIndex(b.field) >= 0;
}

QVariant FieldBinder::currentValue(const Binding& b) const
{
    return onRecord(b) ? b.source->Recordset()->value(b.field) : QVariant();
}

void FieldBinder::show(QWidget* box)
{
    Binding* b = bindingOf(box);
    const QVariant value = currentValue(*b);
    b->shown = value;
    b->filled = value;
    b->filling = true;
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        // An unbound box keeps what it shows; a bound one always shows its field.
        if (b->source) {
            edit->setText(textOfValue(value));
            edit->setCursorPosition(0); // a long text shows its beginning
        }
    } else if (auto* check = qobject_cast<QCheckBox*>(box)) {
        if (b->source)
            check->setChecked(isTrueValue(value));
    }
    b->filling = false;
    b->dirty = false;
    b->refusedText = QString();
}

bool FieldBinder::isDirty(QWidget* box) const
{
    auto it = m_bindings.constFind(box);
    return it != m_bindings.constEnd() && it->dirty;
}

DbResult FieldBinder::commit(QWidget* box)
{
    Binding* b = bindingOf(box);
    if (!b->dirty || !onRecord(*b))
        return DbResult::success();
    const DbResult result = write(box);
    if (!result.ok())
        return refuse(box, result);
    // Left, the box shows its value as every box shows one.
    show(box);
    return result;
}

void FieldBinder::restore(QWidget* box)
{
    Binding* b = bindingOf(box);
    if (!onRecord(*b) || currentValue(*b) == b->filled)
        return;
    QWidget* const prima = m_writing;
    m_writing = box;
    if (b->source->Recordset()->setValue(b->field, b->filled).ok())
        b->shown = b->filled;
    m_writing = prima;
}

DbResult FieldBinder::write(QWidget* box)
{
    Binding* b = bindingOf(box);
    if (!onRecord(*b))
        return DbResult::failure(DbError::NotFound, QStringLiteral("Nessun record da scrivere."));
    const std::shared_ptr<Recordset> rs = b->source->Recordset();
    const int index = rs->fieldIndex(b->field);

    QVariant value;
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        const std::optional<QVariant> read
            = valueFromText(edit->text(), b->hasKind ? b->kind : fieldKindOfAdoType(rs->field(index).type));
        if (!read)
            return DbResult::failure(DbError::Other,
                                     QStringLiteral("Valore non valido per il campo %1.").arg(b->field));
        value = *read;
    } else if (auto* check = qobject_cast<QCheckBox*>(box)) {
        value = check->isChecked();
    }
    QWidget* const prima = m_writing;
    m_writing = box;
    const DbResult result = rs->setValue(index, value);
    m_writing = prima;
    if (result.ok())
        b->shown = rs->value(index);
    return result;
}

DbResult FieldBinder::refuse(QWidget* box, const DbResult& result)
{
    // The typed text stays in the box, still to be written: the clerk mends it. The same text
    // is reported once, however many times it is tried again before the clerk changes it (a
    // message box takes the focus and so ends the editing once more).
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        Binding* b = bindingOf(box);
        if (!b->refusedText.isNull() && b->refusedText == edit->text())
            return result;
        b->refusedText = edit->text();
    }
    emit valueRefused(box, result);
    return result;
}

DbResult FieldBinder::commitAll(DataControl* source)
{
    DbResult first;
    const QList<QWidget*> boxes = m_bindings.keys();
    for (QWidget* box : boxes) {
        if (m_bindings.value(box).source != source)
            continue;
        const DbResult r = commit(box);
        if (!r.ok() && first.ok())
            first = r;
    }
    return first;
}

DbResult FieldBinder::checkBeforeSave(DataControl* source)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end(); ++it)
        if (it->source == source)
            it->refusedText = QString();
    return commitAll(source);
}

} // namespace quad

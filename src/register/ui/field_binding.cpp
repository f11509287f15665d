#include "field_binding.h"

#include "data_control.h"
#include "field_text.h"
#include "recordset.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

namespace quad {

FieldBinder::FieldBinder(QObject* parent)
    : QObject(parent)
{
}

FieldBinder::Binding* FieldBinder::bindingOf(QWidget* box)
{
    auto it = m_bindings.find(box);
    if (it != m_bindings.end())
        return &it.value();
    Binding& b = m_bindings[box];
    connect(box, &QObject::destroyed, this, [this, box] { m_bindings.remove(box); });
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            Binding* b = bindingOf(edit);
            if (!b->filling)
                b->dirty = true;
            b->refusedText = QString();
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
        if (keepTyped && it->dirty && currentValue(*it) == it->shown)
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

QVariant FieldBinder::currentValue(const Binding& b) const
{
    if (!b.source || b.field.isEmpty())
        return QVariant();
    const std::shared_ptr<Recordset> rs = b.source->Recordset();
    if (rs && rs->isOpen() && !rs->bof() && !rs->eof() && rs->fieldIndex(b.field) >= 0)
        return rs->value(b.field);
    return QVariant();
}

void FieldBinder::show(QWidget* box)
{
    Binding* b = bindingOf(box);
    const QVariant value = currentValue(*b);
    b->shown = value;
    b->filling = true;
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        // An unbound box keeps what it shows; a bound one always shows its field.
        if (b->source) {
            edit->setText(textOfValue(value));
            edit->setCursorPosition(0); // a long text shows its beginning
        }
    } else if (auto* check = qobject_cast<QCheckBox*>(box)) {
        if (b->source)
            check->setChecked(value.toBool() || value.toLongLong() == -1);
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
    if (!b->dirty || !b->source || b->field.isEmpty())
        return DbResult::success();
    const std::shared_ptr<Recordset> rs = b->source->Recordset();
    const int index = rs ? rs->fieldIndex(b->field) : -1;
    if (!rs || !rs->isOpen() || rs->bof() || rs->eof() || index < 0)
        return DbResult::success();

    QVariant value;
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        const std::optional<QVariant> read
            = valueFromText(edit->text(), b->hasKind ? b->kind : fieldKindOfAdoType(rs->field(index).type));
        if (!read)
            return refuse(
                box,
                DbResult::failure(DbError::Other, QStringLiteral("Valore non valido per il campo %1.").arg(b->field)));
        value = *read;
    } else if (auto* check = qobject_cast<QCheckBox*>(box)) {
        value = check->isChecked();
    }
    const DbResult result = rs->setValue(index, value);
    if (!result.ok())
        return refuse(box, result);
    b->dirty = false;
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

DbResult FieldBinder::commitAllBeforeSave(DataControl* source)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end(); ++it)
        if (it->source == source)
            it->refusedText = QString();
    return commitAll(source);
}

} // namespace quad

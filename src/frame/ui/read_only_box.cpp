#include "read_only_box.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace quad {

namespace {

/// What a screen reader reads of a ReadOnlyBox: its text, which it can select, with the state of
/// a read-only one (a line edit's own is always announced as editable).
class ReadOnlyBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ReadOnlyBoxAccessible(ReadOnlyBox* box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        const QString testo = QAccessibleWidget::text(t);
        return t == QAccessible::Name && testo.isEmpty() ? box()->nome() : testo;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.selectableText = true;
        return s;
    }

    // --- the text -------------------------------------------------------------------------
    QString text(int startOffset, int endOffset) const override
    {
        return box()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(box()->text().size()); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = box()->hasSelectedText() ? box()->selectionStart() : 0;
        *endOffset = box()->hasSelectedText() ? box()->selectionEnd() : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        box()->setSelection(startOffset, endOffset - startOffset);
    }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint& point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { box()->setCursorPosition(startIndex); }
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    ReadOnlyBox* box() const { return static_cast<ReadOnlyBox*>(widget()); }
};

QAccessibleInterface* interfacciaCasella(const QString& classe, QObject* object)
{
    if (classe == QLatin1String(ReadOnlyBox::staticMetaObject.className()))
        return new ReadOnlyBoxAccessible(static_cast<ReadOnlyBox*>(object));
    return nullptr;
}

} // namespace

ReadOnlyBox::ReadOnlyBox(const QString& nome, QWidget* parent)
    : QLineEdit(parent)
    , m_nome(nome)
{
    static const bool installata = (QAccessible::installFactory(interfacciaCasella), true);
    Q_UNUSED(installata);
    setReadOnly(true);
}

} // namespace quad

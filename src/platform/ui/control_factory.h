#pragma once
// Small helpers that build the windows' controls at their design places.

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace quad {

/// Window measures (positions, sizes, column widths) are designed and stored in twips, 15 to a
/// pixel. A measure in twips as pixels, rounded to the nearest pixel (halves away from zero).
constexpr int tw(long twips)
{
    return int(twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15));
}
/// Pixels back to twips.
constexpr int toTwips(int pixels)
{
    return pixels * 15;
}

} // namespace quad

namespace quad::controls {

inline QPushButton* bottone(QWidget* parent, const char* name, const QString& caption, const QRect& px,
                            const QString& tip = QString())
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(px);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

/// Return (or Enter) on the button while it has the focus presses it, as Space does; a key held down
/// presses it once (its repeats are swallowed). The button does not become the default of the dialog
/// around it: Return typed in a text box still does what that box makes of it.
inline QPushButton* preme_con_invio(QPushButton* b)
{
    class Invio : public QObject
    {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::KeyPress)
                return false;
            const auto* tasto = static_cast<QKeyEvent*>(event);
            if (tasto->key() != Qt::Key_Return && tasto->key() != Qt::Key_Enter)
                return false;
            if (!tasto->isAutoRepeat())
                static_cast<QPushButton*>(watched)->click();
            return true;
        }
    };
    b->installEventFilter(new Invio(b));
    return b;
}

inline QLabel* etichetta(QWidget* parent, const QString& name, const QString& caption, const QRect& px)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(px);
    return l;
}

template <class T> T* nominato(T* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

inline QString indicizzato(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

} // namespace quad::controls

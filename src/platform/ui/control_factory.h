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

/// Return (or Enter) pressed on b presses it, as Space does; its repeats, while the key is held
/// down, are used up without pressing it again. True when the key was Return or Enter.
inline bool invio_sul_pulsante(QPushButton* b, const QKeyEvent* tasto)
{
    if (tasto->key() != Qt::Key_Return && tasto->key() != Qt::Key_Enter)
        return false;
    if (!tasto->isAutoRepeat())
        b->click();
    return true;
}

/// Return (or Enter) on the button while it has the focus presses it, as Space does; a key held down
/// presses it once. The button does not become the default of the window around it: Return typed in
/// a text box still does what that box makes of it. A dialog's buttons all do this already (see
/// window_keys.h); this serves the buttons of the main window's parts.
inline QPushButton* preme_con_invio(QPushButton* b)
{
    class Invio : public QObject
    {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            return event->type() == QEvent::KeyPress
                && invio_sul_pulsante(static_cast<QPushButton*>(watched), static_cast<QKeyEvent*>(event));
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

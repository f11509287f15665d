#include "window_keys.h"

#include "control_factory.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QKeyEvent>
#include <QPushButton>

namespace quad {

namespace {

/// The moment (see WindowKeys::m_momento) a modal window was last shown, as a property of it.
constexpr const char* kAperta = "quad_aperta_al_momento";

class WindowKeys : public QObject
{
public:
    explicit WindowKeys(QObject* parent)
        : QObject(parent)
    {
        setObjectName(QStringLiteral("quad_window_keys"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            if (watched->isWidgetType()) {
                auto* finestra = static_cast<QWidget*>(watched);
                if (finestra->isWindow() && finestra->isModal())
                    finestra->setProperty(kAperta, ++m_momento);
            }
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return tasto(watched, static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    bool tasto(QObject* watched, QKeyEvent* key)
    {
        if (!key->isAutoRepeat()) {
            if (key->type() == QEvent::KeyRelease)
                m_premuti.remove(key->key());
            else
                m_premuti.insert(key->key(), ++m_momento);
        } else if (tenutoDaPrima(watched, key->key())) {
            return true;
        }
        return key->type() == QEvent::KeyPress && invioSulPulsante(watched, key);
    }

    /// True when key was pressed before the modal window that watched is in was shown.
    bool tenutoDaPrima(QObject* watched, int key) const
    {
        const auto premuto = m_premuti.constFind(key);
        if (premuto == m_premuti.constEnd() || !watched->isWidgetType())
            return false;
        // The nearest modal window: a pop-up of a dialog belongs to the dialog.
        for (QWidget* w = static_cast<QWidget*>(watched)->window(); w;
             w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
            const QVariant aperta = w->property(kAperta);
            if (aperta.isValid())
                return aperta.toULongLong() > *premuto;
        }
        return false;
    }

    /// Return on the focused button of a dialog presses that button.
    static bool invioSulPulsante(QObject* watched, QKeyEvent* key)
    {
        auto* pulsante = qobject_cast<QPushButton*>(watched);
        return pulsante && qobject_cast<QDialog*>(pulsante->window()) && controls::invio_sul_pulsante(pulsante, key);
    }

    /// Counts the presses and the openings, so that each tells which came first.
    qulonglong m_momento = 0;
    /// The keys held down, with the moment each was pressed.
    QHash<int, qulonglong> m_premuti;
};

} // namespace

void installWindowKeys(QApplication& app)
{
    if (app.findChild<QObject*>(QStringLiteral("quad_window_keys"), Qt::FindDirectChildrenOnly))
        return;
    app.installEventFilter(new WindowKeys(&app));
}

} // namespace quad

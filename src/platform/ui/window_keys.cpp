#include "window_keys.h"

#include "control_factory.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QKeyEvent>
#include <QPushButton>

namespace quad {

namespace {

/// The moment (see WindowKeys::m_momento) a modal window or a pop-up was last shown, as a property
/// of it.
constexpr const char* kAperta = "quad_aperta_al_momento";

/// One hold of a key, from its first press to the release no repeat follows.
struct Tenuta
{
    /// The moment of the first press; 0 for a key whose press was never seen.
    qulonglong dal = 0;
    /// The time stamp of the last release that carried one: a press with the same stamp is a
    /// repeat of this hold, as X delivers them.
    quint64 rilasciatoAl = 0;
    /// Down, or released with a time stamp (a repeat may still follow).
    bool inCorso = false;
};

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
        // Only the widgets: the window system's window sees the same event before its widget does.
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::Show:
            if (widget->isWindow() && (widget->isModal() || widget->windowType() == Qt::Popup))
                widget->setProperty(kAperta, ++m_momento);
            return false;
        case QEvent::KeyPress:
            return pressione(widget, static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            return rilascio(widget, static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    bool pressione(QWidget* widget, QKeyEvent* key)
    {
        Tenuta& tenuta = m_tenute[key->key()];
        // X delivers most repeats of a held key as a release and a press with one time stamp,
        // neither flagged as a repeat. A stamp of 0 tells nothing: such events were made by a
        // program, not by the keyboard.
        const bool ripetuto = key->isAutoRepeat()
            || (tenuta.inCorso && key->timestamp() != 0 && key->timestamp() == tenuta.rilasciatoAl);
        if (!ripetuto) {
            tenuta = {++m_momento, 0, true};
            return invioSulPulsante(widget, key);
        }
        if (tenuta.inCorso && tenutoDaPrima(widget, tenuta.dal))
            return true;
        if (!key->isAutoRepeat()) {
            // Handed on as the repeat it is, so that every widget takes it as one: a button
            // pressed by Space or Return is not pressed again.
            QKeyEvent ripetizione(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                                  key->nativeVirtualKey(), key->nativeModifiers(), key->text(), true, key->count(),
                                  key->device());
            ripetizione.setTimestamp(key->timestamp());
            QCoreApplication::sendEvent(widget, &ripetizione);
            key->accept();
            return true;
        }
        return invioSulPulsante(widget, key);
    }

    bool rilascio(QWidget* widget, QKeyEvent* key)
    {
        Tenuta& tenuta = m_tenute[key->key()];
        const bool daPrima = tenutoDaPrima(widget, tenuta.dal);
        if (!key->isAutoRepeat()) {
            // With a time stamp the hold may go on: a press with the same stamp says so.
            tenuta.rilasciatoAl = key->timestamp();
            tenuta.inCorso = key->timestamp() != 0;
        }
        return daPrima;
    }

    /// True when the key held since the moment dal went down before the modal window or pop-up
    /// that widget is in was shown.
    static bool tenutoDaPrima(QWidget* widget, qulonglong dal)
    {
        // The nearest such window: a pop-up of a dialog belongs to the dialog.
        for (QWidget* w = widget->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
            const QVariant aperta = w->property(kAperta);
            if (aperta.isValid())
                return aperta.toULongLong() > dal;
        }
        return false;
    }

    /// Return on the focused button of a dialog presses that button.
    static bool invioSulPulsante(QWidget* widget, QKeyEvent* key)
    {
        auto* pulsante = qobject_cast<QPushButton*>(widget);
        return pulsante && qobject_cast<QDialog*>(pulsante->window()) && controls::invio_sul_pulsante(pulsante, key);
    }

    /// Counts the presses and the openings, so that each tells which came first.
    qulonglong m_momento = 0;
    /// The hold of every key seen.
    QHash<int, Tenuta> m_tenute;
};

} // namespace

void installWindowKeys(QApplication& app)
{
    if (app.findChild<QObject*>(QStringLiteral("quad_window_keys"), Qt::FindDirectChildrenOnly))
        return;
    app.installEventFilter(new WindowKeys(&app));
}

} // namespace quad

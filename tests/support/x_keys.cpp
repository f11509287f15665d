#include "x_keys.h"

#include "qt_message_service.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace quad::test {

namespace {

constexpr int kIntervallo = 3;

/// The X server's clock, in milliseconds: it only goes forward.
quint64 g_ora = 100000;

/// The widget X gives a key to: the focus of the modal window open, which the window manager
/// activates as it shows; else the focus of the window of fuori.
QWidget* fuocoDi(QWidget* fuori)
{
    if (QWidget* finestra = QApplication::activeModalWidget()) {
        if (QApplication::activeWindow() != finestra)
            QTest::qWaitFor([finestra] { return QApplication::activeWindow() == finestra; }, 500);
        return finestra->focusWidget() ? finestra->focusWidget() : finestra;
    }
    if (fuori)
        return fuori->window()->focusWidget() ? fuori->window()->focusWidget() : fuori;
    return QApplication::focusWidget();
}

/// One key event, flagged as a repeat or not, with time stamp ora, to the widget X gives it to.
void invia(QWidget* fuori, QEvent::Type tipo, Qt::Key key, const QString& text, bool ripetuto, quint64 ora)
{
    QWidget* fuoco = fuocoDi(fuori);
    if (!fuoco) {
        ADD_FAILURE() << "no widget takes the key";
        return;
    }
    QKeyEvent evento(tipo, key, Qt::NoModifier, text, ripetuto);
    evento.setTimestamp(ora);
    QApplication::sendEvent(fuoco, &evento);
}

} // namespace

HeldKey::HeldKey(QWidget* where, Qt::Key key, const QString& text, int repeats)
    : m_where(where)
    , m_key(key)
    , m_text(text)
    , m_repeats(repeats)
{
}

void HeldKey::start(std::function<void()> then)
{
    m_then = std::move(then);
    m_step = 0;
    m_done = false;
    QTimer::singleShot(kIntervallo, this, &HeldKey::tick);
}

void HeldKey::tick()
{
    // One event a tick, each to the widget that has the focus when it goes, as X delivers them.
    // The next tick is set before the event goes: the event may open a box, whose event loop runs
    // the next ticks (a timer never fires again while its own slot runs).
    const int step = m_step++;
    if (step <= 2 * m_repeats)
        QTimer::singleShot(kIntervallo, this, &HeldKey::tick);
    if (step == 0) {
        g_ora += 33;
        invia(m_where, QEvent::KeyPress, m_key, m_text, false, g_ora);
    } else if (step <= 2 * m_repeats) {
        // A repeat: its release with a new time stamp, then its press with the same one.
        const int coppia = (step + 1) / 2;
        const bool segnato = coppia % 3 == 0;
        if (step % 2 == 1)
            g_ora += 33;
        invia(m_where, step % 2 == 1 ? QEvent::KeyRelease : QEvent::KeyPress, m_key, m_text, segnato, g_ora);
    } else {
        g_ora += 33;
        invia(m_where, QEvent::KeyRelease, m_key, m_text, false, g_ora);
        if (m_then)
            m_then();
        m_done = true;
    }
}

bool HeldKey::waitDone(int timeoutMs)
{
    const bool ok = QTest::qWaitFor([this] { return m_done; }, timeoutMs);
    if (!ok)
        ADD_FAILURE() << "the held key never came up";
    return ok;
}

void HeldKey::pressOnce(QWidget* where, Qt::Key key, const QString& text)
{
    g_ora += 500;
    invia(where, QEvent::KeyPress, key, text, false, g_ora);
    g_ora += 80;
    invia(where, QEvent::KeyRelease, key, text, false, g_ora);
}

namespace {

/// Answers the program's boxes with new presses of Return as they open, from timers that run in
/// whatever event loop is running; done once no box has come for a while.
class Answerer : public QObject
{
public:
    explicit Answerer(QWidget* where)
        : m_where(where)
    {
    }
    void start() { QTimer::singleShot(kAttesa, this, &Answerer::look); }
    bool done() const { return m_done; }
    QStringList answered;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++m_idle < 40)
                QTimer::singleShot(kAttesa, this, &Answerer::look);
            else
                m_done = true;
            return;
        }
        m_idle = 0;
        answered << box->text();
        // Set before the press: the answer may open the next box, whose event loop runs it.
        QTimer::singleShot(kAttesa, this, &Answerer::look);
        HeldKey::pressOnce(m_where, Qt::Key_Return, "\r");
    }

    static constexpr int kAttesa = 20;
    QPointer<QWidget> m_where;
    int m_idle = 0;
    bool m_done = false;
};

} // namespace

QStringList holdOnButton(QWidget* button, Qt::Key key, const QString& text)
{
    if (!button) {
        ADD_FAILURE() << "no button to hold the key on";
        return {};
    }
    MessageService& prima = MessageService::instance();
    QtMessageService veri;
    MessageService::install(&veri);
    button->setFocus();
    Answerer risposte(button);
    HeldKey tasto(button, key, text);
    tasto.start([&risposte] { risposte.start(); });
    EXPECT_TRUE(tasto.waitDone());
    EXPECT_TRUE(QTest::qWaitFor([&risposte] { return risposte.done(); }, 20000)) << "boxes still coming";
    MessageService::install(&prima);
    return risposte.answered;
}

} // namespace quad::test

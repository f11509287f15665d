#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace quad::test {

/// A key held down as the X server delivers it: a first press, then repeats a few milliseconds
/// apart, most of them a release and a press with one time stamp and neither flagged as a repeat
/// (every third pair flagged, as Qt manages to tell a few of them), then the release. Each event
/// goes where X sends it at that moment: to the focus of the modal window open, which the window
/// manager activates as it shows (a box the key opened gets the rest), else to the focus of the
/// window the key went down in.
/// It runs from a timer: a box opened by the key runs its own event loop meanwhile, and the hold
/// goes on in it.
///
///     button->setFocus();
///     HeldKey invio(button, Qt::Key_Return, "\r");
///     invio.start([&] { /* the key is up: look at the box it left open */ });
///     EXPECT_TRUE(invio.waitDone());
class HeldKey : public QObject
{
public:
    /// The key goes down on where, which has the focus of its window.
    HeldKey(QWidget* where, Qt::Key key, const QString& text, int repeats = 20);

    /// Starts the hold; then runs once the key is up, in whatever event loop runs at that moment.
    void start(std::function<void()> then = {});
    /// True once then has run.
    bool done() const { return m_done; }
    /// Waits until done (or the time is up, failing the test).
    bool waitDone(int timeoutMs = 10000);

    /// A press and a release of key, as a new press: time stamps of their own, after every other;
    /// where as for a hold.
    static void pressOnce(QWidget* where, Qt::Key key, const QString& text);

private:
    void tick();

    QPointer<QWidget> m_where;
    Qt::Key m_key;
    QString m_text;
    int m_repeats;
    int m_step = 0;
    bool m_done = false;
    std::function<void()> m_then;
};

/// Holds key on button, given the focus, as X delivers it, with the program's own message boxes in
/// place of the test's. Once the key is up, every box then open or opening after it is answered by
/// a new press of Return, one press a box, until none has come for a while. The texts of the boxes
/// so answered, in order: none when the repeats answered them.
QStringList holdOnButton(QWidget* button, Qt::Key key, const QString& text);

} // namespace quad::test

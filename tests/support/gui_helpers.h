#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class QAction;

namespace quad::test {

/// The widget named name under root (root itself included), or null after failing the test.
QWidget* findControl(QWidget* root, const QString& name);
template <class T> T* control(QWidget* root, const QString& name)
{
    return qobject_cast<T*>(findControl(root, name));
}
/// The same, from a window a const member of a fixture holds.
template <class T> T* control(const QWidget* root, const QString& name)
{
    return control<T>(const_cast<QWidget*>(root), name);
}
/// The action named name under root, or null after failing the test.
QAction* findAction(QWidget* root, const QString& name);
inline QAction* findAction(const QWidget* root, const QString& name)
{
    return findAction(const_cast<QWidget*>(root), name);
}

/// The name a screen reader announces for widget.
QString announcedName(QWidget* widget);

/// Clicks the button named name after checking that it exists, is enabled and is shown
/// (within its window). False, with a test failure, when it cannot be clicked.
bool click(QWidget* root, const QString& name);
/// Triggers the tool-bar button (action) named name after checking it is enabled and visible.
bool trigger(QWidget* root, const QString& name);
/// Replaces the text of the line edit named name by typing text into it.
bool typeInto(QWidget* root, const QString& name, const QString& text);
/// Presses a key in the widget named name.
bool pressKey(QWidget* root, const QString& name, Qt::Key key);
/// Presses a key as the clerk does: in the widget that has the focus at that moment, then lets
/// the window do what the key set off. False, with a test failure, when nothing has the focus.
bool pressKeyInFocus(Qt::Key key);
/// Types text as the clerk does, each character pressed in the widget then having the focus.
void typeInFocus(const QString& text);

/// Drives modal dialogs from the event loop they run: each step waits for a shown dialog with
/// the given objectName (one that no earlier step handled), checks that it has a parent, and
/// runs its action, which usually ends the dialog. Create it before the call that opens the
/// dialogs; waitDone() then waits for every step. While it lives, a dialog that no step expects
/// fails the test and is closed after a few seconds, so a test never hangs on it.
///
///     ModalScript script;
///     script.then("frm_password", [](QDialog* d) { typeInto(d, "txt_password", "x"); click(d, "OKButton"); });
///     window.Form_Load();
///     EXPECT_TRUE(script.waitDone());
class ModalScript : public QObject
{
public:
    ModalScript();
    ModalScript& then(const QString& dialogName, std::function<void(QDialog*)> action);
    /// True when every step ran.
    bool done() const { return m_steps.isEmpty(); }
    /// Waits until every step ran (or the time is up).
    bool waitDone(int timeoutMs = 5000);
    /// The window titles of the dialogs handled, in order.
    QStringList titles() const { return m_titles; }

private:
    void poll();
    struct Step
    {
        QString name;
        std::function<void(QDialog*)> action;
    };
    QList<Step> m_steps;
    QStringList m_titles;
    QTimer m_timer;
    QElapsedTimer m_clock;
    static constexpr qint64 kStrayMs = 3000;
};

} // namespace quad::test

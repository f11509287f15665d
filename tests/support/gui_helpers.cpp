#include "gui_helpers.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace quad::test {

QString announcedName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

QWidget* findControl(QWidget* root, const QString& name)
{
    if (!root) {
        ADD_FAILURE() << "no window to look for " << name.toStdString();
        return nullptr;
    }
    if (root->objectName() == name)
        return root;
    QWidget* found = root->findChild<QWidget*>(name);
    if (!found)
        ADD_FAILURE() << "control not found: " << name.toStdString();
    return found;
}

QAction* findAction(QWidget* root, const QString& name)
{
    QAction* found = root ? root->findChild<QAction*>(name) : nullptr;
    if (!found)
        ADD_FAILURE() << "action not found: " << name.toStdString();
    return found;
}

bool click(QWidget* root, const QString& name)
{
    auto* button = qobject_cast<QAbstractButton*>(findControl(root, name));
    if (!button) {
        ADD_FAILURE() << name.toStdString() << " is not a button";
        return false;
    }
    if (!button->isEnabled() || !button->isVisibleTo(button->window())) {
        ADD_FAILURE() << name.toStdString() << " cannot be clicked (disabled or hidden)";
        return false;
    }
    // A click on a widget that is not on screen would miss it: click it programmatically then.
    if (button->isVisible())
        QTest::mouseClick(button, Qt::LeftButton);
    else
        button->click();
    return true;
}

bool trigger(QWidget* root, const QString& name)
{
    QAction* action = findAction(root, name);
    if (!action)
        return false;
    if (!action->isEnabled() || !action->isVisible()) {
        ADD_FAILURE() << name.toStdString() << " cannot be triggered (disabled or hidden)";
        return false;
    }
    action->trigger();
    return true;
}

bool typeInto(QWidget* root, const QString& name, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(findControl(root, name));
    if (!edit || !edit->isEnabled()) {
        ADD_FAILURE() << name.toStdString() << " is not an enabled line edit";
        return false;
    }
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
    return true;
}

bool pressKey(QWidget* root, const QString& name, Qt::Key key)
{
    QWidget* w = findControl(root, name);
    if (!w)
        return false;
    QTest::keyClick(w, key);
    return true;
}

namespace {

bool pressInFocus(const std::function<void(QWidget*)>& press)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        ADD_FAILURE() << "nothing has the focus";
        return false;
    }
    press(focus);
    QCoreApplication::processEvents();
    return true;
}

} // namespace

bool pressKeyInFocus(Qt::Key key)
{
    return pressInFocus([key](QWidget* w) { QTest::keyClick(w, key); });
}

void typeInFocus(const QString& text)
{
    for (QChar c : text) {
        if (!pressInFocus([c](QWidget* w) { QTest::keyClicks(w, QString(c)); }))
            return;
    }
}

ModalScript::ModalScript()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
    m_clock.start();
    m_timer.start();
}

ModalScript& ModalScript::then(const QString& dialogName, std::function<void(QDialog*)> action)
{
    m_steps.append({dialogName, std::move(action)});
    return *this;
}

void ModalScript::poll()
{
    const QString wanted = m_steps.isEmpty() ? QString() : m_steps.first().name;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible() || dialog->property("quad_test_handled").toBool())
            continue;
        // With every step done, a box without a name is no step's either.
        if (m_steps.isEmpty() || dialog->objectName() != wanted) {
            // A dialog nobody expects would wait for ever: fail and close it.
            const qint64 seen = dialog->property("quad_test_seen").isValid()
                ? dialog->property("quad_test_seen").toLongLong()
                : m_clock.elapsed();
            dialog->setProperty("quad_test_seen", seen);
            if (m_clock.elapsed() - seen > kStrayMs) {
                ADD_FAILURE() << "unexpected dialog " << dialog->objectName().toStdString();
                dialog->setProperty("quad_test_handled", true);
                dialog->reject();
            }
            continue;
        }
        dialog->setProperty("quad_test_handled", true);
        EXPECT_NE(dialog->parentWidget(), nullptr) << wanted.toStdString() << " has no parent";
        m_titles << dialog->windowTitle();
        Step step = m_steps.takeFirst();
        step.action(dialog);
        return;
    }
}

bool ModalScript::waitDone(int timeoutMs)
{
    const bool ok = QTest::qWaitFor([this] { return done(); }, timeoutMs);
    if (!ok)
        ADD_FAILURE() << "dialog never shown: " << m_steps.first().name.toStdString();
    return ok;
}

} // namespace quad::test

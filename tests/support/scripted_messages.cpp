#include "scripted_messages.h"

#include <gtest/gtest.h>

namespace quad::test {

ScriptedMessages::ScriptedMessages()
{
    MessageService::install(this);
}

ScriptedMessages::~ScriptedMessages()
{
    MessageService::install(nullptr);
    EXPECT_TRUE(m_answers.isEmpty()) << "scripted answers never used: " << m_answers.size();
    EXPECT_TRUE(m_inputs.isEmpty()) << "scripted inputs never used: " << m_inputs.size();
    EXPECT_TRUE(m_files.isEmpty()) << "scripted file choices never used: " << m_files.size();
}

ScriptedMessages& ScriptedMessages::answer(MsgAnswer a)
{
    m_answers.append(a);
    return *this;
}

ScriptedMessages& ScriptedMessages::input(const QString& text)
{
    m_inputs.append(text);
    return *this;
}

ScriptedMessages& ScriptedMessages::file(const QString& path)
{
    m_files.append(path);
    return *this;
}

ScriptedMessages& ScriptedMessages::onNext(std::function<void(const ShownMessage&)> f)
{
    m_hooks.append(std::move(f));
    return *this;
}

ScriptedMessages& ScriptedMessages::onNextChoice(std::function<void()> f)
{
    m_choiceHooks.append(std::move(f));
    return *this;
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const ShownMessage& m : m_shown)
        out << m.text;
    return out;
}

QString ScriptedMessages::last() const
{
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

bool ScriptedMessages::contains(const QString& part) const
{
    for (const ShownMessage& m : m_shown) {
        if (m.text.contains(part))
            return true;
    }
    return false;
}

void ScriptedMessages::clear()
{
    m_shown.clear();
}

MsgAnswer ScriptedMessages::showMessage(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    ShownMessage m {text, title, icon, buttons};
    m_shown.append(m);
    if (!m_hooks.isEmpty())
        m_hooks.takeFirst()(m);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::RetryCancel:
        return MsgAnswer::Cancel;
    default:
        return MsgAnswer::Ok;
    }
}

bool ScriptedMessages::askText(const QString& prompt, const QString&, const QString&, QString* result)
{
    prompts << prompt;
    if (m_inputs.isEmpty())
        return false;
    const QString text = m_inputs.takeFirst();
    if (text.isNull())
        return false;
    if (result)
        *result = text;
    return true;
}

QString ScriptedMessages::chooseFile(const QString&, const QString&, const QString&)
{
    if (!m_choiceHooks.isEmpty())
        m_choiceHooks.takeFirst()();
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

QString ScriptedMessages::chooseFolder(const QString&, const QString&)
{
    if (!m_choiceHooks.isEmpty())
        m_choiceHooks.takeFirst()();
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

} // namespace quad::test

#pragma once

#include "message_service.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace quad::test {

/// One message box that was shown.
struct ShownMessage
{
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

/// A message service for tests: answers come from a queue, every message is logged, and
/// the destructor fails the test when a scripted answer was never used. Installs itself for
/// its lifetime. Unscripted boxes get the default answer (Ok, No, Cancel).
class ScriptedMessages : public MessageService
{
public:
    ScriptedMessages();
    ~ScriptedMessages() override;

    /// Queues the answer to the next message box.
    ScriptedMessages& answer(MsgAnswer a);
    /// Queues the text typed into the next input box (a null QString cancels it).
    ScriptedMessages& input(const QString& text);
    /// Queues the next file or folder chosen (empty: cancelled).
    ScriptedMessages& file(const QString& path);
    /// Runs f when the next message box shows (before its answer is returned).
    ScriptedMessages& onNext(std::function<void(const ShownMessage&)> f);
    /// Runs f when the next file or folder choice shows (before its answer is returned).
    ScriptedMessages& onNextChoice(std::function<void()> f);

    const QList<ShownMessage>& shown() const { return m_shown; }
    QStringList texts() const;
    /// The last message's text, or "" when none was shown.
    QString last() const;
    bool contains(const QString& part) const;
    void clear();

    QStringList prompts; ///< input-box prompts, in order

protected:
    MsgAnswer showMessage(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    bool askText(const QString& prompt, const QString& title, const QString& initial, QString* result) override;
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& start) override;

private:
    QList<MsgAnswer> m_answers;
    QList<QString> m_inputs;
    QList<QString> m_files;
    QList<std::function<void(const ShownMessage&)>> m_hooks;
    QList<std::function<void()>> m_choiceHooks;
    QList<ShownMessage> m_shown;
};

} // namespace quad::test

#pragma once

#include <QString>
#include <QStringList>

namespace quad {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

/// Every message box, input box and file choice of the program goes through the installed
/// service, so that tests can answer them from a script and read what was shown.
class MessageService
{
public:
    virtual ~MessageService() = default;

    /// Shows a message box and returns the button chosen. A newline in text is a line break.
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons);
    /// Asks for a line of text; returns false when the user cancels.
    bool inputText(const QString& prompt, const QString& title, const QString& initial, QString* result);
    /// Asks for an existing file; an empty result means "cancelled".
    QString openFileName(const QString& title, const QString& folder, const QString& filter);
    /// Asks for an existing folder; an empty result means "cancelled".
    QString existingFolder(const QString& title, const QString& start);

    /// How many boxes or file choices of any service are open at this moment (one shown from
    /// another's event loop counts twice): what the program does on its own, by a timer, waits
    /// while the clerk is asked something.
    static int boxesOpen();

    /// The installed service; a service that answers every question with its default button
    /// (and cancels every input) until a real one is installed.
    static MessageService& instance();
    /// Installs a service; the caller keeps ownership. Null restores the default one.
    static void install(MessageService* service);

protected:
    /// What each service does for the calls above.
    virtual MsgAnswer showMessage(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
    virtual bool askText(const QString& prompt, const QString& title, const QString& initial, QString* result) = 0;
    virtual QString chooseFile(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString chooseFolder(const QString& title, const QString& start) = 0;
};

/// Shorthands over the installed service; the title defaults to "Quadernolo".
MsgAnswer msgBox(const QString& text, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                 const QString& title = QStringLiteral("Quadernolo"));
/// A Yes/No question with the question icon: true only on Yes.
bool askYesNo(const QString& text, const QString& title = QStringLiteral("Quadernolo"));
/// An exclamation box with OK.
void warn(const QString& text, const QString& title = QStringLiteral("Quadernolo"));

} // namespace quad

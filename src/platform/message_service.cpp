#include "message_service.h"

namespace quad {

namespace {

class SilentService : public MessageService
{
protected:
    MsgAnswer showMessage(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
    {
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
    bool askText(const QString&, const QString&, const QString&, QString*) override { return false; }
    QString chooseFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

SilentService g_silent;
MessageService* g_service = &g_silent;
int g_open = 0;

/// Counts a box for as long as it is open.
class BoxOpen
{
public:
    BoxOpen() { ++g_open; }
    ~BoxOpen() { --g_open; }
    BoxOpen(const BoxOpen&) = delete;
    BoxOpen& operator=(const BoxOpen&) = delete;
};

} // namespace

MsgAnswer MessageService::message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    const BoxOpen open;
    return showMessage(text, title, icon, buttons);
}

bool MessageService::inputText(const QString& prompt, const QString& title, const QString& initial, QString* result)
{
    const BoxOpen open;
    return askText(prompt, title, initial, result);
}

QString MessageService::openFileName(const QString& title, const QString& folder, const QString& filter)
{
    const BoxOpen open;
    return chooseFile(title, folder, filter);
}

QString MessageService::existingFolder(const QString& title, const QString& start)
{
    const BoxOpen open;
    return chooseFolder(title, start);
}

int MessageService::boxesOpen()
{
    return g_open;
}

MessageService& MessageService::instance()
{
    return *g_service;
}

void MessageService::install(MessageService* service)
{
    g_service = service ? service : &g_silent;
}

MsgAnswer msgBox(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)
{
    return MessageService::instance().message(text, title, icon, buttons);
}

bool askYesNo(const QString& text, const QString& title)
{
    return msgBox(text, MsgIcon::Question, MsgButtons::YesNo, title) == MsgAnswer::Yes;
}

void warn(const QString& text, const QString& title)
{
    msgBox(text, MsgIcon::Exclamation, MsgButtons::Ok, title);
}

} // namespace quad

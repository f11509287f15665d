#include "message_service.h"

namespace quad {

namespace {

class SilentService : public MessageService
{
public:
    MsgAnswer message(const QString&, const QString&, MsgIcon, MsgButtons buttons) override
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
    bool inputText(const QString&, const QString&, const QString&, QString*) override { return false; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString existingFolder(const QString&, const QString&) override { return {}; }
};

SilentService g_silent;
MessageService* g_service = &g_silent;

} // namespace

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

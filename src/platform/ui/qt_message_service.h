#pragma once

#include "message_service.h"

namespace quad {

/// The message service of the running program: real message boxes, input boxes and file
/// dialogs, each owned by the active window.
class QtMessageService : public MessageService
{
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    bool inputText(const QString& prompt, const QString& title, const QString& initial, QString* result) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString existingFolder(const QString& title, const QString& start) override;
};

} // namespace quad

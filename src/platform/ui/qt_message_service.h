#pragma once

#include "message_service.h"

namespace quad {

/// The message service of the running program: real message boxes, input boxes and file
/// dialogs, each owned by the active window.
class QtMessageService : public MessageService
{
protected:
    MsgAnswer showMessage(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    bool askText(const QString& prompt, const QString& title, const QString& initial, QString* result) override;
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& start) override;
};

} // namespace quad

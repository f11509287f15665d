// Closing the main window: back to the start menu while the register is shown, the end of the
// program (with the back-up of the archives) at the start menu, never while an entry is typed.
#include "main_window.h"

#include "backup.h"
#include "entry_session.h"
#include "message_service.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

namespace quad {

void Quadernolo::closeEvent(QCloseEvent* event)
{
    if (m_registro->inserimento_in_corso()) {
        warn(QStringLiteral("Impossibile uscire in tale fase !"));
        event->ignore();
        return;
    }
    if (Frame1->isHidden()) {
        // With the register shown, closing the window goes back to the start menu.
        event->ignore();
        if (lascia_registro())
            m_registro->nascondi_elenchi();
        return;
    }
    if (m_registro->vista_visibile()) {
        m_registro->salva_se_modificata();
        ripristina_menu();
        chiudi_registro();
    } else {
        esegui_back_up();
    }
    m_registro->nascondi_elenchi();
    event->accept();
    termina_programma();
}

bool Quadernolo::lascia_registro()
{
    if (!m_registro->lascia_registro())
        return false;
    Picture1->hide();
    Picture4->hide();
    Frame1->show();
    frm_menu->show();
    ripristina_menu();
    chiudi_registro();
    return true;
}

void Quadernolo::esegui_back_up()
{
    if (!backupWanted(state))
        return;
    if (msgBox(QString::fromUtf8(kBackupQuestion), MsgIcon::None, MsgButtons::YesNo, QString::fromUtf8(kBackupTitle))
        != MsgAnswer::Yes)
        return;
    const BackupReport report = copyArchives(backupRequest(state));
    if (report.status == BackupStatus::NoPath)
        msgBox(QString::fromUtf8(kBackupNoPathText), MsgIcon::Information, MsgButtons::Ok,
               QString::fromUtf8(kBackupTitle));
    else if (report.status == BackupStatus::SameFile)
        warn(report.sameFileText(), QString::fromUtf8(kBackupTitle));
    else if (report.status == BackupStatus::Failed || report.status == BackupStatus::Unverified)
        msgBox(report.failureText());
}

} // namespace quad

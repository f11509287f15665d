// Closing the main window: back to the start menu while the register is shown, the end of the
// program (with the back-up of the archives) at the start menu, never while an entry is typed.
#include "main_window.h"

#include "notification_actions.h"
#include "print_panel.h"
#include "register_widget.h"
#include "window_parts.h"

#include "backup.h"
#include "message_service.h"

#include <QCloseEvent>

namespace quad {

namespace {

/// The back-up of the archives at the program's end, when the settings ask for it and the clerk
/// agrees.
void esegui_back_up(const WorkingState& state)
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

} // namespace

void Quadernolo::closeEvent(QCloseEvent* event)
{
    if (m_finestraRegistro->inserimento_in_corso()) {
        warn(QStringLiteral("Impossibile uscire in tale fase !"));
        event->ignore();
        return;
    }
    if (Frame1->isHidden()) {
        // With the register shown, closing the window goes back to the start menu.
        event->ignore();
        if (lascia_registro())
            m_finestraRegistro->nascondi_elenchi();
        return;
    }
    if (m_finestraRegistro->vista_visibile()) {
        m_finestraRegistro->salva_se_modificata();
        ripristina_menu();
        chiudi_registro();
    } else {
        esegui_back_up(state);
    }
    m_finestraRegistro->nascondi_elenchi();
    event->accept();
    termina_programma();
}

bool Quadernolo::lascia_registro()
{
    if (!m_finestraRegistro->lascia_registro())
        return false;
    Picture1->hide();
    Picture4->hide();
    Frame1->show();
    frm_menu->show();
    ripristina_menu();
    chiudi_registro();
    return true;
}

void Quadernolo::ripristina_menu()
{
    m_notifiche->ferma();
    Picture1->hide();
    Picture4->hide();
    pic_tool_orizz->mostra_barre(false);
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
}

void Quadernolo::chiudi_registro()
{
    m_finestraRegistro->chiudi();
    frm_menu->show();
    Frame1->show();
    pic_tool_orizz->hide();
    // The start frame back in its place, with its scroll bar when the window is too low for it.
    Form_Resize();
    // Back at the start menu no register is in use.
    state.p_sessione = QStringLiteral("Menu");
}

} // namespace quad

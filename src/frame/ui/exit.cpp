// Closing the main window: back to the start menu while the register is shown, the end of the
// program (with the back-up of the archives) at the start menu, never while an entry is typed.
#include "data_control.h"
#include "field_binding.h"
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
    if (m_registro->session().p_new_ins()) {
        warn(QStringLiteral("Impossibile uscire in tale fase !"));
        event->ignore();
        return;
    }
    if (Frame1->isHidden()) {
        // With the register shown, closing the window goes back to the start menu.
        event->ignore();
        if (lascia_registro())
            m_selettori->list_elenco->hide();
        return;
    }
    if (!m_griglia->DataGrid1->isHidden() || !Pic_mask->isHidden()) {
        m_schede->salva_scheda();
        ripristina_menu();
        m_schede->scollega_maschera();
        m_schede->chiudi_origini_dati();
    } else {
        esegui_back_up();
    }
    m_selettori->list_elenco->hide();
    event->accept();
    termina_programma();
}

bool Quadernolo::lascia_registro()
{
    m_selettori->list_view->hide();
    // Correspondent rows changed and not written yet count as a change of the entry, whatever
    // was reported: a move would reload the rows and lose them.
    if (!m_schede->caselle_valide())
        return false;
    const SessionResult esito = m_registro->leave([] {
        return msgBox(QStringLiteral("Salvo le modifiche ?"), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    if (esito.outcome == SessionResult::Outcome::Incomplete) {
        warn(esito.message);
        return false;
    }
    // A save that failed keeps the register, and the changes, on screen.
    if (!m_schede->mostra_esito_salvataggio(esito))
        return false;
    Picture1->hide();
    Picture4->hide();
    Frame1->show();
    frm_menu->show();
    ripristina_menu();
    m_schede->scollega_maschera();
    m_schede->chiudi_origini_dati();
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

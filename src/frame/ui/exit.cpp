// Closing the main window: back to the start menu while the register is shown, the end of the
// program (with the back-up of the archives) at the start menu, never while an entry is typed.
#include "data_control.h"
#include "field_binding.h"
#include "main_window.h"

#include "backup.h"
#include "entry_helpers.h"
#include "entry_store.h"
#include "message_service.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

namespace quad {

void Quadernolo::closeEvent(QCloseEvent* event)
{
    if (state.p_new_ins) {
        warn(QStringLiteral("Impossibile uscire in tale fase !"));
        event->ignore();
        return;
    }
    if (Frame1->isHidden()) {
        // With the register shown, closing the window goes back to the start menu.
        event->ignore();
        if (lascia_registro()) {
            state.p_new_ins = false;
            list_elenco->hide();
        }
        return;
    }
    if (!DataGrid1->isHidden() || !Pic_mask->isHidden()) {
        salva_scheda();
        ripristina_menu();
        scollega_maschera();
        chiudi_origini_dati();
    } else {
        esegui_back_up();
    }
    state.p_new_ins = false;
    list_elenco->hide();
    event->accept();
    termina_programma();
}

bool Quadernolo::lascia_registro()
{
    list_view->hide();
    // What is being typed counts as a change of the entry.
    binder->commitAll(Adodc1);
    binder->commitAll(ado_mittenti);
    // So do correspondent rows changed and not written yet, whatever their flag says: a move
    // would reload the rows and lose them.
    const std::shared_ptr<Recordset> righe = ado_mittenti->Recordset();
    const bool righeInSospeso = schede::inSospeso(righe);
    if (!state.p_update && !righeInSospeso) {
        const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
        if (conta_schede() >= 1) {
            state.p_uscita = true;
            rs->moveFirst();
        }
        state.p_update = false;
    }
    if (state.p_update || righeInSospeso) {
        const QVariant nome = schede::suUnRecord(righe) ? righe->value(QStringLiteral("Nominativo")) : QVariant();
        if (state.p_update
            && !isEntryComplete(txt_mask1[2]->text(), txt_mask1[3]->text(), txt_mask1[7]->text(), nome)) {
            warn(QString::fromUtf8(kCannotSaveText));
            return false;
        }
        if (msgBox(QStringLiteral("Salvo le modifiche ?"), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes) {
            // A save that failed keeps the register, and the changes, on screen.
            if (!salva_scheda_esito())
                return false;
        }
        state.p_update = false;
    }
    Picture1->hide();
    Picture4->hide();
    state.p_new_ins = false;
    Frame1->show();
    frm_menu->show();
    ripristina_menu();
    scollega_maschera();
    chiudi_origini_dati();
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
    else if (report.status == BackupStatus::Failed)
        msgBox(report.failureText());
}

} // namespace quad

// The start menu, the register tool bars, and the notification poll.
#include "data_control.h"
#include "field_binding.h"
#include "main_window.h"

#include "entry_session.h"

#include "message_service.h"
#include "my_func.h"
#include "notification.h"
#include "program_folder.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace quad {

namespace {

QString manuale()
{
    return fileInFolder(programFolder(), QStringLiteral("manuale quadernolo.chm"));
}

} // namespace

void Quadernolo::cmd_menu_Click(int Index)
{
    if (Index != 4)
        cmd_focus->setFocus();
    switch (Index) {
    case 0:
        apri_impostazioni();
        break;
    case 1:
        compatta_archivi();
        break;
    case 4:
        close();
        break;
    case 5:
        apri_documento(manuale(), QStringLiteral("open"));
        break;
    default:
        break;
    }
}

void Quadernolo::avviso_inserimento_in_corso()
{
    msgBox(QStringLiteral("ATTENZIONE !\n\nImpossibile effettuare tale operazione nella\n"
                          "fase di inserimento di un nuovo quadernolo"),
           MsgIcon::Information);
}

bool Quadernolo::verifica_modifiche_in_sospeso()
{
    // A click on a tool-bar button leaves the focus in the box being typed: what it holds counts
    // as a change of the entry on screen, before the action moves the register elsewhere.
    // An incomplete entry is reported and its changes given up; a failed save stops the action.
    return m_schede->salva_scheda_esito();
}

void Quadernolo::Toolbar1_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    if (!verifica_modifiche_in_sospeso())
        return;

    const QString key = Button->objectName();
    const auto rifiutato = [this] {
        if (!m_registro->session().p_new_ins())
            return false;
        avviso_inserimento_in_corso();
        return true;
    };
    const auto chiudiPopup = [this] {
        Picture1->hide();
        Picture4->hide();
    };

    if (key == QLatin1String("tb_modo")) {
        if (rifiutato())
            return;
        chiudiPopup();
        if (!m_griglia->DataGrid1->isHidden())
            vista_maschera();
        else
            vista_griglia();
    } else if (key == QLatin1String("tb_insert")) {
        if (rifiutato() || archivio_storico_in_uso())
            return;
        Picture1->hide();
        Picture4->setVisible(Picture4->isHidden());
        Picture4->raise();
    } else if (key == QLatin1String("tb_trova")) {
        if (m_griglia->DataGrid1->isHidden()) {
            chiudiPopup();
            if (rifiutato())
                return;
        }
        apri_ricerca();
    } else if (key == QLatin1String("tb_stampa")) {
        if (rifiutato())
            return;
        Picture1->setVisible(Picture1->isHidden());
        Picture1->raise();
    } else if (key == QLatin1String("tb_notifica") || key == QLatin1String("tb_statistiche")
               || key == QLatin1String("tb_scanner")) {
        chiudiPopup();
    } else if (key == QLatin1String("tb_fascicoli")) {
        chiudiPopup();
        apri_fascicoli();
        if (m_schede->conta_schede() >= 1)
            m_maschera->mostra_nodo_corrente();
    } else if (key == QLatin1String("tb_add_tree")) {
        cmd_focus->setFocus();
        if (m_schede->conta_schede() < 1)
            return;
        apri_collega_fascicolo();
    } else if (key == QLatin1String("tb_esci")) {
        // Leaving gives up a new entry being typed: nothing of it is written and its lock goes.
        if (m_registro->session().p_new_ins()) {
            const SessionResult esito = m_registro->dropEntry();
            if (!esito.notice.isEmpty())
                warn(esito.notice);
            m_schede->ripristina_consultazione();
        }
        ripristina_menu();
        chiudiPopup();
        m_schede->scollega_maschera();
        m_schede->chiudi_origini_dati();
    }
    m_selettori->list_elenco->hide();
    m_selettori->list_view->hide();
}

void Quadernolo::vista_maschera()
{
    QAction* modo = pic_tool_orizz->Toolbar1_Buttons(1);
    modo->setToolTip(QStringLiteral("Visualizza modalità griglia"));
    modo->setIcon(pic_tool_orizz->ImageList1[2]);
    m_griglia->DataGrid1->hide();
    m_griglia->cmd_colonne->hide();
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_add_tree"))->setVisible(true);
    m_griglia->scollega_griglia();
    m_maschera->mostra_annullato();
    m_maschera->disponi_maschera();
    Pic_mask->show();
    Form_Resize(); // scroll bars for the mask's new viewport
    pic_move->show();
    pic_move->raise();
    pic_tool_orizz->raise();
    Adodc1->hide();
    Frm_mask->allinea_posizione_mittenti();
}

void Quadernolo::vista_griglia()
{
    QAction* modo = pic_tool_orizz->Toolbar1_Buttons(1);
    modo->setToolTip(QStringLiteral("Visualizza modalità maschera"));
    modo->setIcon(pic_tool_orizz->ImageList1[1]);
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_add_tree"))->setVisible(false);
    Pic_mask->hide();
    if (m_schede->conta_schede() >= 1)
        Adodc1->Recordset()->moveFirst();
    m_griglia->collega_griglia();
    m_griglia->DataGrid1->show();
    m_griglia->cmd_colonne->move(m_griglia->DataGrid1->x() + tw(20), m_griglia->DataGrid1->y() + tw(20));
    m_griglia->cmd_colonne->show();
    m_griglia->cmd_colonne->raise();
    m_griglia->imposta_intestazioni_griglia();
    m_griglia->carica_colonne_griglia();
    pic_move->hide();
    Adodc1->show();
}

void Quadernolo::Toolbar2_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->objectName();
    if (key == QLatin1String("tb_filtro_off"))
        filtro_campo();
    else if (key == QLatin1String("tb_question"))
        apri_documento(manuale(), QStringLiteral("open"));
}

void Quadernolo::ripristina_menu()
{
    m_timers->Timer1->stop();
    m_timers->Timer2->stop();
    Picture1->hide();
    Picture4->hide();
    pic_tool_orizz->Toolbar1->hide();
    pic_tool_orizz->Toolbar2->hide();
    m_griglia->DataGrid1->hide();
    Pic_nomi->hide();
    Pic_mask->hide();
    m_griglia->cmd_colonne->hide();
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
}

bool Quadernolo::registro_aperto() const
{
    return Frame1->isHidden() && Adodc1->Recordset() != nullptr;
}

void Quadernolo::Timer1_Timer()
{
    // Never at the start menu, never while an entry is typed or the entry on screen has changes
    // of its own (an import re-reads the register), never re-entered (the question box runs the
    // event loop, and the timer may fire meanwhile).
    // Nor into a historical archive: what arrives waits for the live one.
    if (m_timers->inCorso || !registro_aperto() || archivio_storico_in_uso() || m_registro->session().p_new_ins()
        || m_registro->session().p_update() || Adodc1->Recordset()->hasPendingChanges())
        return;
    const QScopedValueRollback<bool> inTimer(m_timers->inCorso, true);
    const QStringList arrivate = notifiche_in_arrivo(programFolder());
    // A file this station cannot read (written under another account) is told once, not passed
    // over in silence; it is told again if it comes back after it was gone.
    const QStringList segnalate = m_timers->illeggibili;
    m_timers->illeggibili.clear();
    for (const QString& path : arrivate) {
        QString perche;
        if (!notifica_leggibile(path, &perche)) {
            m_timers->illeggibili << path;
            if (!segnalate.contains(path))
                warn(QStringLiteral("ATTENZIONE !\n\nLa notifica %1 non può essere letta da questa postazione:\n%2")
                         .arg(QDir::toNativeSeparators(path), perche));
            continue;
        }
        if (!askYesNo(QStringLiteral("Notifica in arrivo ! \n\nSalvo in archivio ?")))
            continue;
        perche.clear();
        if (!importa_notifica(path, &perche))
            msgBox(QStringLiteral("Errore nell' importazione dei dati")
                   + (perche.isEmpty() ? QString() : QStringLiteral("\n\n") + perche));
    }
}

} // namespace quad

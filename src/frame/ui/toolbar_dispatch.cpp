// The start menu, the register tool bars, and the notification poll.
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
        m_registro->parcheggia_fuoco();
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

void Quadernolo::Toolbar1_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    if (!m_registro->salva_se_modificata())
        return;

    const QString key = Button->objectName();
    const auto rifiutato = [this] { return m_registro->rifiuta_durante_inserimento(); };
    const auto chiudiPopup = [this] {
        Picture1->hide();
        Picture4->hide();
    };

    if (key == QLatin1String("tb_modo")) {
        if (rifiutato())
            return;
        chiudiPopup();
        m_registro->cambia_vista();
    } else if (key == QLatin1String("tb_insert")) {
        if (rifiutato() || archivio_storico_in_uso())
            return;
        Picture1->hide();
        Picture4->setVisible(Picture4->isHidden());
        Picture4->raise();
    } else if (key == QLatin1String("tb_trova")) {
        if (!m_registro->griglia_visibile()) {
            chiudiPopup();
            if (rifiutato())
                return;
        }
        m_registro->cerca();
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
        if (m_registro->registro().count() >= 1)
            m_registro->mostra_nodo_corrente();
    } else if (key == QLatin1String("tb_add_tree")) {
        m_registro->parcheggia_fuoco();
        if (m_registro->registro().count() < 1)
            return;
        apri_collega_fascicolo();
    } else if (key == QLatin1String("tb_esci")) {
        // Leaving gives up a new entry being typed: nothing of it is written and its lock goes.
        m_registro->abbandona_inserimento();
        ripristina_menu();
        chiudiPopup();
        chiudi_registro();
    }
    m_registro->nascondi_elenchi();
}

void Quadernolo::vista_cambiata(bool maschera)
{
    QAction* modo = pic_tool_orizz->Toolbar1_Buttons(1);
    modo->setToolTip(maschera ? QStringLiteral("Visualizza modalità griglia")
                              : QStringLiteral("Visualizza modalità maschera"));
    modo->setIcon(pic_tool_orizz->ImageList1[maschera ? 2 : 1]);
    // The entry is filed into a folder from the mask only.
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_add_tree"))->setVisible(maschera);
    if (maschera)
        pic_tool_orizz->raise();
}

void Quadernolo::Toolbar2_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->objectName();
    if (key == QLatin1String("tb_filtro_off"))
        m_registro->filtro_campo(Button->isChecked());
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
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
}

void Quadernolo::chiudi_registro()
{
    m_registro->chiudi();
    frm_menu->show();
    Frame1->show();
    pic_tool_orizz->hide();
    // Back at the start menu no register is in use.
    state.p_sessione = QStringLiteral("Menu");
}

void Quadernolo::Timer1_Timer()
{
    // Never at the start menu, never while an entry is typed or the entry on screen has changes
    // of its own (an import re-reads the register), never re-entered (the question box runs the
    // event loop, and the timer may fire meanwhile).
    // Nor into a historical archive: what arrives waits for the live one.
    if (m_timers->inCorso || !m_registro->aperto() || archivio_storico_in_uso() || m_registro->inserimento_in_corso()
        || m_registro->registro().session().p_update() || m_registro->registro().registerRows()->hasPendingChanges())
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

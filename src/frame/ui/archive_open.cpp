// Opening the register from the start menu: archive choice, key, the register's opening, grid and
// timers.
#include "frm_sel_cartella.h"
#include "main_window.h"

#include "message_service.h"
#include "my_func.h"
#include "program_folder.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace quad {

QString Quadernolo::percorso_archivio(const QString& cartella) const
{
    return fileInFolder(resolveDataFolder(cartella), state.p_nome_database);
}

void Quadernolo::Command1_Click()
{
    const QString precedente = state.p_path_cartella;

    // The folder is chosen first, so that the archive checked is the one that opens.
    if (!state.p_sub_use) {
        state.p_path_cartella = programFolder();
    } else {
        frm_sel_cartella chooser(state.p_sub_dir, this);
        chooser.exec();
        state.p_path_cartella = chooser.p_path_cartella();
    }
    if (state.p_path_cartella.isEmpty()) {
        m_stato->Frame3->lbl_sub_arch->hide();
        return;
    }
    if (!verifica_archivio()) {
        annulla_apertura(precedente);
        return;
    }

    // Every connection opens before the window changes: a failure leaves the start menu as it was.
    const QFileInfo archivio(percorso_archivio(state.p_path_cartella));
    QString chiave;
    std::shared_ptr<Connection> aperta; // kept until the open register shares it: the key is derived once
    if (!chiave_archivio(archivio.absoluteFilePath(), &chiave, &aperta)) {
        annulla_apertura(precedente);
        return;
    }
    const OpenResult aperto = m_registro->apri(archivio.absoluteFilePath(), chiave,
                                               fileInFolder(programFolder(), QLatin1String(kSettingsDbFile)));
    if (!aperto.ok()) {
        // A register that could not be read has been told by Adodc1_Error.
        if (aperto.failure == OpenResult::Failure::AddressBook)
            msgBox(QStringLiteral("Errore ADO\n\n") + aperto.result.message);
        annulla_apertura(precedente);
        return;
    }
    state.p_password_archivio = chiave;
    state.chiavi_archivi.accept(archivio.absoluteFilePath(), chiave, state.p_password);

    // The register is open: switch the window over.
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_notifica"))->setVisible(true);
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_scanner"))->setVisible(true);
    pic_tool_orizz->Toolbar1->show();
    pic_tool_orizz->Toolbar2->show();
    imposta_modo_storico();
    state.p_sessione = QStringLiteral("Entrata");
    // The grid, then the mask, take the start frame's place.
    Frame1->hide();
    m_registro->mostra_registro(archivio_storico_in_uso());
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
    frm_menu->hide();

    m_timers->Timer1->start(65535);
    m_timers->Timer2->start(1000);

    const bool server = state.p_postazione == QLatin1String("Server");
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_insert"))->setEnabled(server && !archivio_storico_in_uso());

    pic_tool_orizz->dispose(width());
    pic_tool_orizz->show();
    pic_tool_orizz->raise();
    Form_Resize();
    m_registro->parcheggia_fuoco();

    if (state.p_sub_use && state.p_path_cartella.startsWith(QLatin1String("SUB_"), Qt::CaseInsensitive)) {
        m_stato->Frame3->lbl_sub_arch->setText(QStringLiteral("Archivio in uso : ") + state.p_path_cartella.mid(4));
        m_stato->Frame3->lbl_sub_arch->show();
        m_stato->Frame3->raise();
    } else {
        m_stato->Frame3->lbl_sub_arch->hide();
    }

    // Notifications that arrived while the register was closed.
    Timer1_Timer();
}

bool Quadernolo::chiave_archivio(const QString& archivio, QString* chiave, std::shared_ptr<Connection>* aperta)
{
    *chiave = state.p_password;
    for (;;) {
        DbResult prova;
        *aperta = Connection::shared(archivio, chiave->toUtf8(), &prova);
        // Any other failure is told by the opening itself.
        if (*aperta || prova.code != DbError::WrongKey)
            break;
        if (!chiedi_password(chiave))
            return false;
    }
    // A password typed for the live archive, checked by opening it, is the session's from now on;
    // one typed for a historical archive keyed otherwise opens that archive only.
    const QFileInfo vivo(fileInFolder(programFolder(), state.p_nome_database));
    if (QFileInfo(archivio).canonicalFilePath() == vivo.canonicalFilePath())
        state.p_password = *chiave;
    return true;
}

bool Quadernolo::chiave_archivio_in_uso(bool* rinuncia)
{
    *rinuncia = false;
    for (;;) {
        QString chiave;
        if (!chiedi_password(&chiave)) {
            *rinuncia = true;
            return false;
        }
        const DbResult esito = m_registro->registro().useArchiveKey(chiave);
        if (esito.ok()) {
            state.p_password_archivio = chiave;
            state.chiavi_archivi.accept(percorso_archivio(state.p_path_cartella), chiave, state.p_password);
            return true;
        }
        if (esito.code != DbError::WrongKey) {
            msgBox(QStringLiteral("Errore ADO\n\n") + esito.message);
            return false;
        }
    }
}

void Quadernolo::chiedi_chiave_archivio_in_uso()
{
    bool rinuncia = false;
    if (!chiave_archivio_in_uso(&rinuncia) && rinuncia)
        warn(QStringLiteral("ATTENZIONE !\n\nLa password della sessione non apre più l' archivio in uso.\n\n"
                            "Il registro resta come era: le schede non sono state rilette."));
}

bool Quadernolo::archivio_storico_in_uso() const
{
    return cartella_storica(state.p_path_cartella);
}

void Quadernolo::annulla_apertura(const QString& cartellaPrecedente)
{
    m_registro->registro().close();
    m_stato->Frame3->lbl_sub_arch->hide();
    state.p_path_cartella = cartellaPrecedente;
}

bool Quadernolo::verifica_archivio()
{
    const QString cartella = state.p_path_cartella.isEmpty() ? programFolder() : state.p_path_cartella;
    if (file_esiste(percorso_archivio(cartella)))
        return true;
    const MsgAnswer risposta = msgBox(QStringLiteral("ATTENZIONE !  L' archivio è inesistente ...\n\n"
                                                     "Nome del percorso errato o connessione di rete non attivata.\n\n"
                                                     "Attivo la connessione di rete ?\n\n"),
                                      MsgIcon::None, MsgButtons::YesNo);
    if (risposta != MsgAnswer::Yes)
        return false;
    if (!scegli_cartella_archivio())
        return false;
    // The archive the clerk located is the one that opens.
    state.p_path_cartella = state.p_path_archivio;
    return true;
}

bool Quadernolo::scegli_cartella_archivio()
{
    const QString scelto = MessageService::instance().openFileName(
        QString(), programFolder(), QStringLiteral("Archivio (%1)").arg(state.p_nome_database));
    if (scelto.isEmpty())
        return false;
    const QFileInfo info(scelto);
    if (info.fileName().toUpper() != state.p_nome_database.toUpper())
        return false;
    if (!file_esiste(scelto)) {
        msgBox(QStringLiteral("Archivio inesistente nella cartella selezionata !"));
        return false;
    }
    state.p_path_archivio = info.absolutePath();
    QString errore;
    if (!scrivi_ini(iniPath(), QStringLiteral("Path"), QStringLiteral("ultimo_path"), state.p_path_archivio, &errore))
        warn(QStringLiteral("ATTENZIONE !\n\n") + errore);
    return true;
}

void Quadernolo::imposta_modo_storico()
{
    m_stato->frm_label->lbl_storico->hide();
    m_stato->frm_label->hide();
    // Nothing is ever registered into a historical archive.
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_insert"))->setEnabled(!archivio_storico_in_uso());
}

} // namespace quad

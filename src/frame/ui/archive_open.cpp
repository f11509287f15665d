// Opening the register from the start menu: the data folder, its archive, its key and the
// register's opening; the key of the archive in use asked again.
#include "archive_open.h"

#include "frm_password.h"
#include "frm_sel_cartella.h"
#include "register_widget.h"
#include "working_state.h"

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

ArchiveOpening::ArchiveOpening(WorkingState& stato, RegisterWidget& finestraRegistro, QWidget* finestra)
    : QObject(finestra)
    , state(stato)
    , m_finestraRegistro(finestraRegistro)
    , m_finestra(finestra)
{
    setObjectName(QStringLiteral("apertura"));
    // A read or a write of the register that meets a key changed at another station asks for the
    // archive's password, and is done again with it.
    finestraRegistro.registro().setArchiveKeyRequest([this] { return chiave_archivio_in_uso(); });
}

QString ArchiveOpening::percorso_archivio(const QString& cartella) const
{
    return fileInFolder(resolveDataFolder(cartella), state.p_nome_database);
}

bool ArchiveOpening::apri()
{
    const QString precedente = state.p_path_cartella;

    // The folder is chosen first, so that the archive checked is the one that opens.
    if (!state.p_sub_use) {
        state.p_path_cartella = programFolder();
    } else {
        frm_sel_cartella chooser(state.p_sub_dir, m_finestra);
        chooser.exec();
        state.p_path_cartella = chooser.p_path_cartella();
    }
    if (state.p_path_cartella.isEmpty())
        return false;
    if (!verifica_archivio()) {
        annulla_apertura(precedente);
        return false;
    }

    // Every connection opens before the window changes: a failure leaves the start menu as it was.
    const QFileInfo archivio(percorso_archivio(state.p_path_cartella));
    QString chiave;
    std::shared_ptr<Connection> aperta; // kept until the open register shares it: the key is derived once
    if (!chiave_archivio(archivio.absoluteFilePath(), &chiave, &aperta)) {
        annulla_apertura(precedente);
        return false;
    }
    const OpenResult aperto = m_finestraRegistro.apri(archivio.absoluteFilePath(), chiave,
                                                      fileInFolder(programFolder(), QLatin1String(kSettingsDbFile)));
    if (!aperto.ok()) {
        // A register that could not be read has been told by Adodc1_Error, but for a key that
        // stopped opening it since it was checked, which that leaves to the open register.
        if (aperto.failure == OpenResult::Failure::AddressBook || aperto.result.code == DbError::WrongKey)
            msgBox(QStringLiteral("Errore ADO\n\n") + aperto.result.message);
        annulla_apertura(precedente);
        return false;
    }
    state.p_password_archivio = chiave;
    state.chiavi_archivi.accept(archivio.absoluteFilePath(), chiave, state.p_password);
    return true;
}

bool ArchiveOpening::chiave_archivio(const QString& archivio, QString* chiave, std::shared_ptr<Connection>* aperta)
{
    *chiave = state.p_password;
    for (;;) {
        DbResult prova;
        *aperta = Connection::shared(archivio, chiave->toUtf8(), &prova, true);
        // Any other failure is told by the opening itself.
        if (*aperta || prova.code != DbError::WrongKey)
            break;
        if (!chiedi_password(m_finestra, chiave))
            return false;
    }
    // A password typed for the live archive, checked by opening it, is the session's from now on;
    // one typed for a historical archive keyed otherwise opens that archive only.
    const QFileInfo vivo(fileInFolder(programFolder(), state.p_nome_database));
    if (QFileInfo(archivio).canonicalFilePath() == vivo.canonicalFilePath())
        state.p_password = *chiave;
    return true;
}

bool ArchiveOpening::chiave_archivio_in_uso()
{
    for (;;) {
        QString chiave;
        if (!chiedi_password(m_finestra, &chiave,
                             QStringLiteral("La password dell' archivio in uso è stata cambiata da un'altra "
                                            "postazione: inserire la nuova password")))
            return false;
        const DbResult esito = m_finestraRegistro.registro().useArchiveKey(chiave);
        if (esito.ok()) {
            // An archive that opened with the session's password took the new one with every
            // other (a change at another station rekeys them all): it is the session's from now
            // on. One keyed otherwise (a historical archive) changed alone.
            if (state.p_password_archivio == state.p_password)
                state.p_password = chiave;
            state.p_password_archivio = chiave;
            state.chiavi_archivi.accept(percorso_archivio(state.p_path_cartella), chiave, state.p_password);
            return true;
        }
        if (esito.code != DbError::WrongKey) {
            msgBox(QStringLiteral("Errore ADO\n\n") + esito.message);
            return false;
        }
        msgBox(QStringLiteral("PASSWORD ERRATA !\n\nLa password inserita non è la password dell' archivio in uso."),
               MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Errore password"));
    }
}

void ArchiveOpening::annulla_apertura(const QString& cartellaPrecedente)
{
    m_finestraRegistro.registro().close();
    state.p_path_cartella = cartellaPrecedente;
}

bool ArchiveOpening::verifica_archivio()
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

bool ArchiveOpening::scegli_cartella_archivio()
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

} // namespace quad

// Start-up of the main window: settings, login against the live archive, historical archives.
#include "startup.h"

#include "frm_password.h"
#include "working_state.h"

#include "file_lookup.h"
#include "file_replace.h"
#include "message_service.h"
#include "my_func.h"
#include "password_change.h"
#include "program_folder.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolBar>

namespace quad {

StartupLogin::StartupLogin(WorkingState& stato, QWidget* finestra, std::function<void()> termina)
    : state(stato)
    , m_finestra(finestra)
    , m_termina(std::move(termina))
{
}

bool StartupLogin::accedi()
{
    state.p_unload = false;

    state.p_nome_database = QLatin1String(kArchiveFile);
    const QString errore_impostazioni = leggi_impostazioni(state);
    if (!errore_impostazioni.isEmpty())
        warn(QStringLiteral("ATTENZIONE !\n\n") + errore_impostazioni);

    state.p_sessione = QStringLiteral("Menu");

    // Login: the password is the archive's key; three attempts.
    for (int tentativo = 1;; ++tentativo) {
        mostra_login();
        QString senzaArchivio;
        if (prova_apertura_archivio(&senzaArchivio)) {
            state.p_unload = true;
            break;
        }
        if (tentativo == 3) {
            m_termina();
            return false;
        }
        // The password is not to blame when the archive could not be made: say why instead.
        const QString riga = tentativo == 1 ? QStringLiteral("[Tentativo N. 2...]       Riprovo ?")
                                            : QStringLiteral("[Ultimo tentativo...]       Riprovo ?");
        const MsgAnswer risposta = senzaArchivio.isEmpty()
            ? msgBox(QStringLiteral("PASSWORD ERRATA ! \n\n") + riga + QStringLiteral("\n\n"), MsgIcon::Information,
                     MsgButtons::YesNo, QStringLiteral("Errore password"))
            : msgBox(QStringLiteral("ATTENZIONE !\n\n") + senzaArchivio + QStringLiteral("\n\n") + riga,
                     MsgIcon::Exclamation, MsgButtons::YesNo);
        if (risposta != MsgAnswer::Yes) {
            m_termina();
            return false;
        }
    }

    return true;
}

void StartupLogin::mostra_login()
{
    QString digitata;
    if (chiedi_password(m_finestra, &digitata))
        state.p_password = digitata;
}

bool StartupLogin::percorso_arch_base(QString* why)
{
    const QString folder = programFolder();
    if (file_esiste(fileInFolder(folder, state.p_nome_database)))
        return true;
    const QString base = fileInFolder(folder, QLatin1String(kTemplateFile));
    const QString archivio = QDir(folder).filePath(state.p_nome_database);
    // Whole or not at all: a copy cut short by a full disk never passes for the archive.
    QString causa;
    if (copyFileBytes(base, archivio, &causa))
        return true;
    *why = QStringLiteral("Impossibile creare l' archivio %1 dal modello %2.\n%3")
               .arg(QDir::toNativeSeparators(archivio), QDir::toNativeSeparators(base), causa);
    const QFileInfo modello(base);
    if (modello.isFile() && QStorageInfo(folder).bytesAvailable() < modello.size())
        *why += QStringLiteral("\nIl disco è pieno: liberare spazio nella cartella del programma.");
    return false;
}

bool StartupLogin::prova_apertura_archivio(QString* why)
{
    // A password change cut short is finished or undone: every archive takes the password typed.
    const QString ripresa = descrivi_ripresa_password(riprendi_cambio_password(state.p_password));
    if (!ripresa.isEmpty())
        warn(ripresa);
    if (!percorso_arch_base(why))
        return false;
    const QString archivio = fileInFolder(programFolder(), state.p_nome_database);
    DbResult result;
    std::shared_ptr<Connection> db = Connection::shared(archivio, state.p_password.toUtf8(), &result);
    if (!db)
        return false;
    return db->testRead().ok();
}

void StartupLogin::raccogli_archivi_storici()
{
    // Folders only (a file named SUB_x is not an archive); names kept in upper case, as the
    // program shows them, and found again on disk without regard to case.
    QStringList nomi;
    for (const QString& cartella : subFoldersWithPrefix(programFolder(), QStringLiteral("SUB_")))
        nomi << cartella.mid(4).toUpper();
    nomi.removeDuplicates();
    state.p_sub_use = !nomi.isEmpty();
    state.p_sub_dir = nomi;
}

} // namespace quad

// Start-up of the main window: settings, login against the live archive, historical archives.
#include "frm_password.h"
#include "main_window.h"

#include "file_lookup.h"
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
#include <QToolBar>

namespace quad {

bool Quadernolo::Form_Load()
{
    caricaLogo();
    state.p_unload = false;
    cmd_focus->move(tw(-1000), tw(-1000));

    state.p_nome_database = QLatin1String(kArchiveFile);
    const QString errore_impostazioni = leggi_impostazioni(state);
    if (!errore_impostazioni.isEmpty())
        warn(QStringLiteral("ATTENZIONE !\n\n") + errore_impostazioni);

    state.p_sessione = QStringLiteral("Menu");
    pic_tool_orizz->Toolbar1->hide();
    pic_tool_orizz->Toolbar2->hide();

    // Login: the password is the archive's key; three attempts.
    for (int tentativo = 1;; ++tentativo) {
        mostra_login();
        if (prova_apertura_archivio()) {
            state.p_unload = true;
            break;
        }
        if (tentativo == 3) {
            termina_programma();
            return false;
        }
        const QString riga = tentativo == 1 ? QStringLiteral("[Tentativo N. 2...]       Riprovo ?")
                                            : QStringLiteral("[Ultimo tentativo...]       Riprovo ?");
        const MsgAnswer risposta = msgBox(QStringLiteral("PASSWORD ERRATA ! \n\n") + riga + QStringLiteral("\n\n"),
                                          MsgIcon::Information, MsgButtons::YesNo, QStringLiteral("Errore password"));
        if (risposta != MsgAnswer::Yes) {
            termina_programma();
            return false;
        }
    }

    frm_menu->raise();
    raccogli_archivi_storici();
    return true;
}

void Quadernolo::caricaLogo()
{
    const QString logo = fileInFolder(programFolder(), QStringLiteral("logo.bmp"));
    if (!file_esiste(logo))
        return;
    QPixmap pix;
    if (pix.load(logo))
        Frame1->Img_logo->setPixmap(pix);
}

void Quadernolo::mostra_login()
{
    QString digitata;
    if (chiedi_password(&digitata))
        state.p_password = digitata;
}

bool Quadernolo::chiedi_password(QString* password)
{
    frm_password dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *password = dialog.password();
    return true;
}

void Quadernolo::percorso_arch_base()
{
    const QString folder = programFolder();
    if (file_esiste(fileInFolder(folder, state.p_nome_database)))
        return;
    const QString base = fileInFolder(folder, QLatin1String(kTemplateFile));
    QFile::copy(base, QDir(folder).filePath(state.p_nome_database));
}

bool Quadernolo::prova_apertura_archivio()
{
    // A password change cut short is finished or undone: every archive takes the password typed.
    const QString ripresa = descrivi_ripresa_password(riprendi_cambio_password(state.p_password));
    if (!ripresa.isEmpty())
        warn(ripresa);
    percorso_arch_base();
    const QString archivio = fileInFolder(programFolder(), state.p_nome_database);
    DbResult result;
    std::shared_ptr<Connection> db = Connection::shared(archivio, state.p_password.toUtf8(), &result);
    if (!db)
        return false;
    return db->testRead().ok();
}

void Quadernolo::raccogli_archivi_storici()
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

void Quadernolo::termina_programma()
{
    hide();
    QCoreApplication::exit(0);
}

} // namespace quad

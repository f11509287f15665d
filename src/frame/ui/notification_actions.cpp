// The notification between offices and the transfer file over the open register: the timed look
// for received notifications and their import, the forward of the entry shown, the transfer file's
// writer and reader with the status line.
#include "notification_actions.h"

#include "register_widget.h"
#include "window_parts.h"
#include "working_state.h"

#include "entry_session.h"

#include "clock.h"
#include "message_service.h"
#include "notification.h"
#include "notification_export.h"
#include "program_folder.h"
#include "transfer_file.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>

namespace quad {

namespace {

/// "1, 2, 4"
QString elencoNumeri(const QList<qint64>& numeri)
{
    QStringList testi;
    for (const qint64 n : numeri)
        testi << QString::number(n);
    return testi.join(QStringLiteral(", "));
}

/// "\nn. 901: Indirizzo\nn. 902: Oggetto, Nominativo": the entries held with other values, each with
/// the columns that differ.
QString elencoDiversi(const QList<QPair<qint64, QStringList>>& diversi)
{
    QString testo;
    for (const auto& [numero, colonne] : diversi)
        testo += QStringLiteral("\nn. %1: %2").arg(numero).arg(colonne.join(QStringLiteral(", ")));
    return testo;
}

/// Keeps aside a notification holding entries the archive has with other values, and tells the
/// clerk which entries and columns they are, what went in and where the file is.
void segnala_notifica_da_verificare(NotificaRicevuta& notifica, const EsitoImportazione& esito)
{
    QString testo = QStringLiteral("ATTENZIONE !\n\nLa notifica %1 contiene quadernoli già in archivio con altri "
                                   "dati: restano in archivio come sono.\n")
                        .arg(notifica.nome())
        + elencoDiversi(esito.diversi);
    testo += esito.aggiunti.isEmpty() ? QStringLiteral("\n\nNessun quadernolo nuovo nel file.")
                                      : QStringLiteral("\n\nSalvati in archivio i quadernoli nuovi del file: n. %1.")
                                            .arg(elencoNumeri(esito.aggiunti));
    QString accantonato;
    if (notifica.accantona(&accantonato)) {
        testo
            += QStringLiteral("\n\nIl file è stato conservato nella cartella del programma come %1.").arg(accantonato);
    } else {
        notifica.rilascia();
        testo += QStringLiteral("\n\nIl file non ha potuto essere messo da parte e sarà proposto di nuovo.");
    }
    warn(testo);
}

} // namespace

NotificationActions::NotificationActions(WorkingState& stato, RegisterWidget& finestraRegistro,
                                         StatusArea& stato_finestra,
                                         std::function<bool(const QString&, QString*)> importa,
                                         std::function<bool()> popup_aperti, QObject* parent)
    : QObject(parent)
    , state(stato)
    , m_finestraRegistro(finestraRegistro)
    , m_stato(stato_finestra)
    , m_importa(std::move(importa))
    , m_popupAperti(std::move(popup_aperti))
{
    setObjectName(QStringLiteral("notifiche"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(65535);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &NotificationActions::Timer1_Timer);
    connect(&finestraRegistro, &RegisterWidget::inoltro_richiesto, this,
            &NotificationActions::inoltra_ufficio_competente);
}

void NotificationActions::avvia()
{
    Timer1->start(65535);
    Timer2->start(1000);
}

void NotificationActions::ferma()
{
    Timer1->stop();
    Timer2->stop();
}

void NotificationActions::Timer1_Timer()
{
    // Never at the start menu, never while an entry is typed or the entry on screen has changes
    // of its own (an import re-reads the register), never re-entered (the question box runs the
    // event loop, and the timer may fire meanwhile), never while the clerk is asked something
    // (what the answer completes acts on the entry shown). What arrives goes into the archive in
    // use.
    if (m_inCorso || clerk_asked() || !m_finestraRegistro.aperto() || m_finestraRegistro.inserimento_in_corso()
        || m_finestraRegistro.registro().session().p_update()
        || m_finestraRegistro.registro().registerRows()->hasPendingChanges())
        return;
    const QScopedValueRollback<bool> inTimer(m_inCorso, true);
    const QStringList arrivate = notifiche_in_arrivo(programFolder());
    // A file this station cannot read (written under another account) is told once, not passed
    // over in silence; it is told again if it comes back after it was gone.
    const QStringList segnalate = m_illeggibili;
    m_illeggibili.clear();
    for (const QString& path : arrivate) {
        QString perche;
        if (!notifica_leggibile(path, &perche)) {
            m_illeggibili << path;
            if (!segnalate.contains(path))
                warn(QStringLiteral("ATTENZIONE !\n\nLa notifica %1 non può essere letta da questa postazione:\n%2")
                         .arg(QDir::toNativeSeparators(path), perche));
            continue;
        }
        if (!askYesNo(QStringLiteral("Notifica in arrivo ! \n\nSalvo in archivio ?")))
            continue;
        perche.clear();
        if (!m_importa(path, &perche))
            msgBox(QStringLiteral("Errore nell' importazione dei dati")
                   + (perche.isEmpty() ? QString() : QStringLiteral("\n\n") + perche));
    }
}

bool NotificationActions::clerk_asked() const
{
    return MessageService::boxesOpen() > 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget()
        || (m_popupAperti && m_popupAperti());
}

void NotificationActions::inoltra_ufficio_competente()
{
    if (state.p_postazione != QLatin1String("Server"))
        return;
    const QString ufficio = m_finestraRegistro.ufficio_competente();
    if (ufficio.isEmpty())
        return;
    // The entry being typed is not in the archive yet: it is never forwarded, nor written by
    // the forward's commit.
    if (m_finestraRegistro.rifiuta_durante_inserimento())
        return;
    OpenRegister& registro = m_finestraRegistro.registro();
    if (registro.session().p_update() && !m_finestraRegistro.salva_se_modificata())
        return;
    esporta_notifica(1, ufficio);
    m_finestraRegistro.salva_se_modificata();
    if (const std::shared_ptr<Recordset> rs = registro.registerRows(); registro.count() >= 1)
        rs->moveLast();
}

void NotificationActions::esporta_notifica(int modo, const QString& ufficio)
{
    if (modo != 0 && modo != 1)
        return;
    // A new entry being typed lies pending in the register's rows: the stamps' commit must not
    // write it.
    if (m_finestraRegistro.rifiuta_durante_inserimento())
        return;
    OpenRegister& registro = m_finestraRegistro.registro();
    // The timed import stays off meanwhile: it re-reads the register, and the question boxes run
    // the event loop in which the timer fires.
    const QScopedValueRollback<bool> guardia(m_inCorso, true);
    const std::shared_ptr<Recordset> rs = registro.registerRows();
    if (!rs || rs->recordCount() < 1) {
        msgBox(QStringLiteral("Nessun record da esportare !"));
        return;
    }
    const QDateTime adesso = Clock::currentDateTime();

    if (modo == 0) {
        const std::vector<Bookmark> scelte = m_finestraRegistro.righe_scelte();
        if (scelte.empty()) {
            msgBox(QStringLiteral("Selezionare i records da inviare !"));
            return;
        }
        if (!askYesNo(QStringLiteral("Esporto i records selezionati nel file ...\n\ndell' ufficio : ") + ufficio))
            return;
        // The entry on screen is saved first, so that the stamps' commit carries no change of its.
        if (registro.session().p_update() && !m_finestraRegistro.salva_se_modificata())
            return;
        mostra_messaggio_stato(0, 0);
        const DbResult esito = esporta_trasferimento(
            *rs, scelte, QDir(resolveDataFolder(state.p_path_cartella)).filePath(QStringLiteral("esporta.txt")),
            adesso);
        if (!esito.ok()) {
            mostra_messaggio_stato(1, 0);
            warn(QStringLiteral("ATTENZIONE !\n\nTrasferimento non eseguito.\n\n") + esito.message);
            return;
        }
        registro.markEntryWritten();
        mostra_messaggio_stato(1, int(scelte.size()));
        return;
    }

    const QString cartella = cartella_ufficio(state.p_eln_uffici, state.p_path_eln_uffici, ufficio);
    if (cartella.isEmpty())
        return;
    DbResult filtro;
    const std::shared_ptr<Recordset> righe = righe_da_inoltrare(*rs, ufficio, &filtro);
    if (!righe) {
        warn(QStringLiteral("ATTENZIONE !\n\n") + filtro.message);
        return;
    }
    if (righe->eof()) {
        msgBox(QStringLiteral("Nessun record da inviare !"));
        return;
    }
    if (!askYesNo(QStringLiteral("Esporto i  [%1]  records nel file ESPORTA.TXT \n\ndell' ufficio : ")
                      .arg(righe->recordCount())
                  + ufficio))
        return;
    const EsitoInoltro inoltro = inoltra_notifica(*rs, *righe, cartella, adesso);
    if (inoltro.passo == EsitoInoltro::Passo::NonScritto) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile inviare la notifica all' ufficio : %1\n\n").arg(ufficio)
             + inoltro.esito.message);
        return;
    }
    if (inoltro.passo == EsitoInoltro::Passo::NonTimbrato) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile segnare come consegnati i records dell' ufficio : %1\n\n")
                 .arg(ufficio)
             + inoltro.esito.message);
        return;
    }
    registro.markEntryWritten();
}

bool NotificationActions::importa_notifica(const QString& path, QString* perche)
{
    OpenRegister& registro = m_finestraRegistro.registro();
    const std::shared_ptr<Recordset> rs = registro.registerRows();
    if (!rs || !rs->isOpen()) {
        *perche = QStringLiteral("Il registro non è aperto.");
        return false;
    }
    NotificaRicevuta notifica;
    if (!notifica.rivendica(path)) {
        if (!QFile::exists(path))
            return true; // gone: another station has taken it, nothing to report here
        *perche = QStringLiteral("Impossibile prendere in carico il file %1.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    // A key changed at another station is asked for before the rows go in.
    DbResult aperto = registro.proveArchiveKey();
    const std::shared_ptr<Connection> archivio = aperto.ok() ? registro.archive(&aperto) : nullptr;
    if (!archivio) {
        notifica.rilascia();
        *perche = causeText(aperto);
        return false;
    }
    const EsitoImportazione esito = copia_righe(archivio, *rs, notifica.file());
    if (esito.doppione) {
        // Sent again (the sender stopped before marking it delivered): it has nothing more to give.
        const QString nome = notifica.nome();
        notifica.elimina();
        msgBox(QStringLiteral("ATTENZIONE !\n\nLa notifica %1 contiene solo quadernoli già in archivio con gli "
                              "stessi dati (n. %2): il file è stato eliminato.")
                   .arg(nome, elencoNumeri(esito.presenti)),
               MsgIcon::Information);
        return true;
    }
    if (!esito.ok) {
        // Told of the file by the name it arrived with, which it takes back.
        *perche = QString(esito.errore).replace(notifica.file(), path);
        notifica.rilascia();
        return false;
    }
    if (esito.diversi.isEmpty())
        notifica.elimina();
    else
        segnala_notifica_da_verificare(notifica, esito);
    if (esito.righe > 0) {
        registro.markEntryWritten();
        m_finestraRegistro.rileggi_registro(esito.ultimo);
    }
    return true;
}

bool NotificationActions::importa_file_trasferimento(const QString& nome)
{
    if (m_finestraRegistro.rifiuta_durante_inserimento())
        return false;
    // The timed import stays off meanwhile: it re-reads the register, and the question boxes run
    // the event loop in which the timer fires.
    const QScopedValueRollback<bool> guardia(m_inCorso, true);
    OpenRegister& registro = m_finestraRegistro.registro();
    const std::shared_ptr<Recordset> rs = registro.registerRows();
    if (!rs || (registro.session().p_update() && !m_finestraRegistro.salva_se_modificata()))
        return false;
    DbResult aperto;
    const EsitoTrasferimento esito
        = leggi_file_trasferimento(registro.archive(&aperto), QDir(programFolder()).filePath(nome));
    if (!esito.ok) {
        msgBox(QStringLiteral("Errore nel caricamento dei dati !\n\n") + esito.errore);
        return false;
    }
    const QString completato = QStringLiteral("Completato l' inserimento di %1 schede").arg(esito.aggiunti.size());
    if (esito.diversi.isEmpty())
        msgBox(completato);
    else
        warn(completato
             + QStringLiteral("\n\nATTENZIONE ! Il file contiene quadernoli già in archivio con altri dati: "
                              "restano in archivio come sono.\n")
             + elencoDiversi(esito.diversi));
    m_finestraRegistro.rileggi_registro(registro.currentNumber());
    return true;
}

void NotificationActions::mostra_messaggio_stato(int modo, int n)
{
    m_stato.mostra_messaggio(testo_stato(modo, n), modo == 0);
}

} // namespace quad

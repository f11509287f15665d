#include "notification.h"

#include "file_replace.h"
#include "my_func.h"
#include "received_entries.h"
#include "sql_like.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quad {

QString cartella_ufficio(const QString& uffici, const QString& cartelle, const QString& ufficio)
{
    const QStringList nomi = dividi_elenco(uffici);
    const QStringList percorsi = dividi_elenco(cartelle);
    QString cartella;
    for (int i = 0; i < nomi.size(); ++i) {
        if (nomi[i].toUpper() == ufficio.toUpper() && i < percorsi.size())
            cartella = percorsi[i];
    }
    return cartella;
}

QString filtro_notifica(const QString& ufficio)
{
    return QStringLiteral("sys_consegnato <> -1 and Ufficio_competente = ") + quoteText(ufficio);
}

QString nome_file_notifica(const QDateTime& moment)
{
    return QStringLiteral("Notifica_") + moment.toString(QStringLiteral("yyyy_dd_MM__HH_mm_ss"))
        + QStringLiteral(".xml");
}

DbResult scrivi_notifica(const Recordset& righe, const QString& folder, const QDateTime& moment, QString* placed)
{
    const QDir cartella(folder);
    if (folder.isEmpty() || !cartella.exists())
        return DbResult::failure(DbError::NotFound, QStringLiteral("La cartella %1 non esiste.").arg(folder));
    QByteArray testo;
    DbResult esito = righe.saveXml(&testo);
    if (!esito.ok())
        return esito;

    // Written under a name that no importer takes for a notification ("invio.XXXXXX.tmp"), made
    // as any new file of the process is, so that the notification keeps that mode. What a
    // forward killed half-way left in the folder goes first, unless its writer still lives.
    const QString inScrittura = cartella.filePath(QStringLiteral("invio"));
    FileBeside::removeLeftovers(inScrittura);
    FileBeside file(inScrittura);
    if (!file.isOpen() || !file.write(testo))
        return DbResult::failure(
            DbError::ReadOnly,
            QStringLiteral("Impossibile scrivere nella cartella %1: %2").arg(folder, file.errorString()));
    const QString nome = nome_file_notifica(moment);
    const QString base = nome.chopped(4);
    for (int n = 1; n <= 99; ++n) {
        const QString finale = cartella.filePath(n == 1 ? nome : base + QStringLiteral("_%1.xml").arg(n));
        if (file.commitAs(finale)) {
            if (placed)
                *placed = finale;
            return {};
        }
        if (!QFileInfo::exists(finale))
            break; // not a name taken: the rename itself failed
    }
    return DbResult::failure(DbError::ReadOnly,
                             QStringLiteral("Impossibile dare il nome %1 al file nella cartella %2: %3")
                                 .arg(nome, folder, file.errorString()));
}

DbResult timbra_consegna(Recordset& righe, const QDateTime& moment)
{
    std::vector<Bookmark> segni;
    for (int r = 0; r < righe.recordCount(); ++r)
        segni.push_back(righe.bookmarkAt(r));
    return timbra_consegna(righe, segni, moment);
}

DbResult timbra_consegna(Recordset& righe, const std::vector<Bookmark>& segni, const QDateTime& moment)
{
    righe.clearFilter();
    const QString ora = moment.time().toString(QStringLiteral("HH:mm:ss"));
    for (const Bookmark segno : segni) {
        if (!righe.setBookmark(segno))
            return DbResult::failure(DbError::Other, QStringLiteral("Riga del registro non trovata."));
        for (const auto& [campo, valore] : {std::pair<const char*, QVariant>("sys_data_consegna", moment.date()),
                                            std::pair<const char*, QVariant>("sys_consegnato", true),
                                            std::pair<const char*, QVariant>("sys_ora_consegna", ora)}) {
            const DbResult r = righe.setValue(QString::fromLatin1(campo), valore);
            if (!r.ok())
                return r;
        }
    }
    return righe.updateBatch();
}

// ---------------------------------------------------------------------------------------------

namespace {

const QString kRivendicata = QStringLiteral("in_importazione_");
const QString kDaVerificare = QStringLiteral("da_verificare_");

/// Opens path and locks it without waiting: the descriptor, or -1 when the file is gone or an
/// importer holds it.
int bloccaFile(const QString& path)
{
    const QByteArray nome = QFile::encodeName(path);
    const int fd = ::open(nome.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // The lock is on the file that was opened: the name must still lead to it (another importer
    // may have claimed and removed it between the open and the lock).
    struct stat aperto
    {
    };
    struct stat chiamato
    {
    };
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &aperto) != 0 || ::stat(nome.constData(), &chiamato) != 0
        || aperto.st_dev != chiamato.st_dev || aperto.st_ino != chiamato.st_ino) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

NotificaRicevuta::~NotificaRicevuta()
{
    // Still claimed here means the import was neither finished nor given up: the lock goes, and
    // the next tick gives the file its name back.
    sblocca();
}

void NotificaRicevuta::sblocca()
{
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
    m_claimed.clear();
}

bool NotificaRicevuta::rivendica(const QString& path)
{
    sblocca();
    const int lock = bloccaFile(path);
    if (lock < 0)
        return false;
    const QFileInfo info(path);
    const QString claimed = info.dir().filePath(kRivendicata + info.fileName());
    if (!QFile::rename(path, claimed)) {
        ::close(lock);
        return false;
    }
    m_lock = lock;
    m_original = path;
    m_claimed = claimed;
    return true;
}

QString NotificaRicevuta::nome() const
{
    return QFileInfo(m_original).fileName();
}

bool NotificaRicevuta::elimina()
{
    const bool ok = QFile::remove(m_claimed);
    sblocca();
    return ok;
}

bool NotificaRicevuta::rilascia()
{
    const bool ok = QFile::rename(m_claimed, m_original);
    sblocca();
    return ok;
}

bool NotificaRicevuta::accantona(QString* nome)
{
    const QFileInfo arrivata(m_original);
    bool ok = false;
    for (int n = 1; n <= 99 && !ok; ++n) {
        const QString candidato
            = kDaVerificare + (n == 1 ? QString() : QStringLiteral("%1_").arg(n)) + arrivata.fileName();
        const QString path = arrivata.dir().filePath(candidato);
        // rename never replaces a file that is there.
        ok = QFile::rename(m_claimed, path);
        if (ok && nome)
            *nome = candidato;
        else if (!ok && !QFileInfo::exists(path))
            break; // not a name taken: the rename itself failed
    }
    if (ok)
        sblocca();
    return ok;
}

bool NotificaRicevuta::recupera(const QString& claimedPath)
{
    const QFileInfo info(claimedPath);
    if (!info.fileName().startsWith(kRivendicata, Qt::CaseInsensitive))
        return false;
    const int lock = bloccaFile(claimedPath);
    if (lock < 0)
        return false;
    const bool ok = QFile::rename(claimedPath, info.dir().filePath(info.fileName().mid(kRivendicata.size())));
    ::close(lock);
    return ok;
}

QStringList notifiche_in_arrivo(const QString& folder)
{
    const QDir cartella(folder);
    for (const QString& nome :
         cartella.entryList({kRivendicata + QStringLiteral("notifica_*")}, QDir::Files, QDir::Name))
        NotificaRicevuta::recupera(cartella.filePath(nome));
    QStringList arrivate;
    for (const QString& nome : cartella.entryList({QStringLiteral("notifica_*")}, QDir::Files, QDir::Name))
        arrivate << cartella.filePath(nome);
    return arrivate;
}

bool notifica_leggibile(const QString& path, QString* why)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

// ---------------------------------------------------------------------------------------------

namespace {

/// The columns of one archive table within the register: register position -> column name.
struct ColonneTabella
{
    std::vector<int> posizioni;
    QStringList nomi;
};

ColonneTabella colonneDi(const Recordset& registro, const QString& tabella)
{
    ColonneTabella c;
    for (int i = 0; i < registro.fieldCount(); ++i) {
        if (registro.field(i).table.compare(tabella, Qt::CaseInsensitive) == 0) {
            c.posizioni.push_back(i);
            c.nomi << registro.field(i).name;
        }
    }
    return c;
}

/// The position of the column nome among nomi (without regard to case), or -1.
int posizioneDi(const QStringList& nomi, const QString& nome)
{
    for (int i = 0; i < nomi.size(); ++i) {
        if (nomi[i].compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

EsitoImportazione fallita(const QString& testo)
{
    EsitoImportazione e;
    e.errore = testo;
    return e;
}

ValoriColonne valoriDi(const Recordset& notifica, const ColonneTabella& colonne)
{
    ValoriColonne coppie;
    for (size_t k = 0; k < colonne.posizioni.size(); ++k)
        coppie.append({colonne.nomi[int(k)], notifica.value(colonne.posizioni[k])});
    return coppie;
}

} // namespace

EsitoImportazione copia_righe(const std::shared_ptr<Connection>& db, const Recordset& registro, const QString& file)
{
    if (!db)
        return fallita(QStringLiteral("Archivio non aperto."));
    DbResult letto;
    const std::shared_ptr<Recordset> notifica = Recordset::openXml(file, &letto);
    if (!notifica)
        return fallita(letto.message);
    if (notifica->recordCount() < 1) {
        EsitoImportazione e = fallita(QStringLiteral("Il file non contiene righe."));
        e.vuoto = true;
        return e;
    }
    if (notifica->fieldCount() < registro.fieldCount())
        return fallita(QStringLiteral("Il file ha %1 colonne, il registro %2.")
                           .arg(notifica->fieldCount())
                           .arg(registro.fieldCount()));

    const ColonneTabella schede = colonneDi(registro, QStringLiteral("entrata"));
    const ColonneTabella mittenti = colonneDi(registro, QStringLiteral("Mittenti"));
    const int numero = registro.fieldIndex(QStringLiteral("Progressivo"));
    const int direzione = posizioneDi(schede.nomi, QStringLiteral("Tipo"));
    const int suaScheda = posizioneDi(mittenti.nomi, QStringLiteral("Quadernolo"));
    const int suaDirezione = posizioneDi(mittenti.nomi, QStringLiteral("tipo"));
    if (numero < 0 || direzione < 0 || suaScheda < 0 || suaDirezione < 0)
        return fallita(QStringLiteral("Colonne del registro non riconosciute."));

    // The rows of the file, checked as the rows of every received file are, and the entries they give.
    QList<RigaRicevuta> righe;
    for (notifica->moveFirst(); !notifica->eof(); notifica->moveNext())
        righe.append({int(righe.size()) + 1, notifica->value(numero), valoriDi(*notifica, schede),
                      valoriDi(*notifica, mittenti)});
    QList<SchedaRicevuta> ricevute;
    DbResult r = raccogli_schede(righe, &ricevute);
    if (!r.ok())
        return fallita(r.message);

    SchedeRicevute archivio;
    if (!(r = archivio.inizia(db)).ok())
        return fallita(r.message);
    for (const SchedaRicevuta& ricevuta : ricevute) {
        if (!(r = archivio.aggiungi(ricevuta)).ok())
            return fallita(r.message);
    }
    EsitoImportazione esito;
    static_cast<EsitoSchede&>(esito) = archivio.esito();
    if (esito.presenti.size() == ricevute.size()) {
        esito.doppione = true;
        esito.errore = QStringLiteral("Ogni quadernolo del file è già in archivio con gli stessi dati.");
        return esito;
    }
    if (!(r = archivio.concludi()).ok())
        return fallita(r.message);
    if (!esito.aggiunti.isEmpty())
        esito.ultimo = esito.aggiunti.last();
    esito.ok = true;
    return esito;
}

} // namespace quad

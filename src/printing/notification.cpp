#include "notification.h"

#include "office_list.h"
#include "sql_like.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <vector>

namespace quad {

QString cartella_ufficio(const WorkingState& state, const QString& ufficio)
{
    const QStringList nomi = dividi_elenco(state.p_eln_uffici);
    const QStringList cartelle = dividi_elenco(state.p_path_eln_uffici);
    QString cartella;
    for (int i = 0; i < nomi.size(); ++i) {
        if (nomi[i].toUpper() == ufficio.toUpper() && i < cartelle.size())
            cartella = cartelle[i];
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

    // A name that reserves the temporary file and that no importer takes for a notification.
    QTemporaryFile riserva(cartella.filePath(QStringLiteral("invio_XXXXXX.tmp")));
    riserva.setAutoRemove(false);
    if (!riserva.open())
        return DbResult::failure(
            DbError::ReadOnly,
            QStringLiteral("Impossibile scrivere nella cartella %1: %2").arg(folder, riserva.errorString()));
    const QString temporaneo = riserva.fileName();
    riserva.close();

    DbResult esito = righe.save(temporaneo);
    if (!esito.ok()) {
        QFile::remove(temporaneo);
        return esito;
    }
    const QString nome = nome_file_notifica(moment);
    const QString base = nome.chopped(4);
    for (int n = 1; n <= 99; ++n) {
        const QString finale = cartella.filePath(n == 1 ? nome : base + QStringLiteral("_%1.xml").arg(n));
        // rename never replaces a file that is there.
        if (QFile::rename(temporaneo, finale)) {
            if (placed)
                *placed = finale;
            return {};
        }
        if (!QFileInfo::exists(finale))
            break; // not a name taken: the rename itself failed
    }
    QFile::remove(temporaneo);
    return DbResult::failure(
        DbError::ReadOnly, QStringLiteral("Impossibile dare il nome %1 al file nella cartella %2.").arg(nome, folder));
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

bool NotificaRicevuta::rivendica(const QString& path)
{
    const QFileInfo info(path);
    const QString claimed = info.dir().filePath(QStringLiteral("in_importazione_") + info.fileName());
    if (!QFile::rename(path, claimed))
        return false;
    m_original = path;
    m_claimed = claimed;
    return true;
}

bool NotificaRicevuta::elimina()
{
    const bool ok = QFile::remove(m_claimed);
    m_claimed.clear();
    return ok;
}

bool NotificaRicevuta::rilascia()
{
    const bool ok = QFile::rename(m_claimed, m_original);
    m_claimed.clear();
    return ok;
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

EsitoImportazione fallita(const QString& testo)
{
    EsitoImportazione e;
    e.errore = testo;
    return e;
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
    if (numero < 0 || schede.posizioni.empty() || mittenti.posizioni.empty())
        return fallita(QStringLiteral("Colonne del registro non riconosciute."));

    Transaction transazione(*db, true);
    if (!transazione.begun().ok())
        return fallita(transazione.begun().message);
    Recordset nuoveSchede;
    Recordset nuoviMittenti;
    DbResult r = nuoveSchede.open(db, QStringLiteral("SELECT * FROM entrata WHERE 0"));
    if (r.ok())
        r = nuoviMittenti.open(db, QStringLiteral("SELECT * FROM Mittenti WHERE 0"));
    if (!r.ok())
        return fallita(r.message);

    const auto copia = [&notifica](const ColonneTabella& colonne, Recordset& verso) -> DbResult {
        for (size_t k = 0; k < colonne.posizioni.size(); ++k) {
            const QVariant valore = notifica->value(colonne.posizioni[k]);
            if (valore.isNull())
                continue;
            const DbResult esito = verso.setValue(colonne.nomi[int(k)], valore);
            if (!esito.ok())
                return DbResult::failure(esito.code,
                                         QStringLiteral("Colonna %1: %2").arg(colonne.nomi[int(k)], esito.message));
        }
        return {};
    };

    EsitoImportazione esito;
    QSet<qint64> scritte;
    for (notifica->moveFirst(); !notifica->eof(); notifica->moveNext()) {
        const QVariant n = notifica->value(numero);
        bool intero = false;
        const qint64 progressivo = n.toLongLong(&intero);
        if (n.isNull() || !intero || progressivo <= 0)
            return fallita(QStringLiteral("Riga senza numero di registro."));
        // Each row of an entry carries the entry again: it is written once.
        if (!scritte.contains(progressivo)) {
            DbResult errore;
            const QVariant presenti = db->scalar(QStringLiteral("SELECT COUNT(*) FROM entrata WHERE Progressivo = ?"),
                                                 {progressivo}, &errore);
            if (!errore.ok())
                return fallita(errore.message);
            if (presenti.toInt() > 0)
                return fallita(QStringLiteral("Il quadernolo n. %1 è già in archivio.").arg(progressivo));
            nuoveSchede.addNew();
            if (!(r = copia(schede, nuoveSchede)).ok())
                return fallita(r.message);
            scritte.insert(progressivo);
        }
        nuoviMittenti.addNew();
        if (!(r = copia(mittenti, nuoviMittenti)).ok())
            return fallita(r.message);
        esito.ultimo = progressivo;
        ++esito.righe;
    }
    if (!(r = nuoveSchede.updateBatch()).ok() || !(r = nuoviMittenti.updateBatch()).ok()
        || !(r = transazione.commit()).ok())
        return fallita(r.message);
    esito.ok = true;
    return esito;
}

} // namespace quad

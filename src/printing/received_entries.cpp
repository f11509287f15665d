#include "received_entries.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quad {

namespace {

/// Whether a column tells one registration from another. The receiving office may change the
/// notes, the annulment and the link of a registered entry, and the bookkeeping columns are its
/// own: an entry received again is the same one whatever they hold.
bool registra(const QString& colonna)
{
    static const QStringList propri = {QStringLiteral("Note"), QStringLiteral("Annullato"),
                                       QStringLiteral("Nota_annulla"), QStringLiteral("Collegamento")};
    return !colonna.startsWith(QLatin1String("sys_"), Qt::CaseInsensitive)
        && !propri.contains(colonna, Qt::CaseInsensitive);
}

DbResult copia(const ValoriColonne& valori, Recordset& verso)
{
    for (const auto& [nome, valore] : valori) {
        if (valore.isNull())
            continue;
        const DbResult esito = verso.setValue(nome, valore);
        if (!esito.ok())
            return DbResult::failure(esito.code, QStringLiteral("Colonna %1: %2").arg(nome, esito.message));
    }
    return {};
}

using Riga = QVector<QVariant>;

/// The positions where two rows of the same columns hold other values.
std::vector<int> posizioniDiverse(const Riga& a, const Riga& b)
{
    std::vector<int> diverse;
    for (int k = 0; k < a.size(); ++k) {
        if (!stesso_valore(a[k], b[k]))
            diverse.push_back(k);
    }
    return diverse;
}

bool direzione(const QVariant& tipo)
{
    return !tipo.isNull() && (tipo.toString() == QLatin1String("E") || tipo.toString() == QLatin1String("U"));
}

/// "\"5,5\"", or "(nessuno)" for Null.
QString citato(const QVariant& valore)
{
    return valore.isNull() ? QStringLiteral("(nessuno)") : QStringLiteral("\"%1\"").arg(Recordset::displayText(valore));
}

DbResult rifiuta(const QString& testo)
{
    return DbResult::failure(DbError::Other, testo);
}

DbResult nonNumero(int posizione, const QString& colonna, const QVariant& valore)
{
    return rifiuta(QStringLiteral("Riga %1, colonna %2: %3 non è un numero di registro (un numero intero da 1 a %4).")
                       .arg(QString::number(posizione), colonna, citato(valore), QString::number(kLastNumber)));
}

} // namespace

bool giunzione(const QString& colonna)
{
    return colonna.compare(QLatin1String("Quadernolo"), Qt::CaseInsensitive) == 0
        || colonna.compare(QLatin1String("tipo"), Qt::CaseInsensitive) == 0;
}

const QVariant* valore_colonna(const ValoriColonne& valori, const QString& nome)
{
    for (const auto& [colonna, valore] : valori) {
        if (colonna.compare(nome, Qt::CaseInsensitive) == 0)
            return &valore;
    }
    return nullptr;
}

void imposta_colonna(ValoriColonne& valori, const QString& nome, const QVariant& valore)
{
    for (auto& [colonna, suo] : valori) {
        if (colonna.compare(nome, Qt::CaseInsensitive) == 0) {
            suo = valore;
            return;
        }
    }
    valori.append({nome, valore});
}

bool stesso_valore(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && (a.isNull() || Recordset::displayText(a) == Recordset::displayText(b));
}

std::optional<qint64> numero_registro(const QVariant& valore)
{
    if (valore.isNull() || valore.metaType().id() == QMetaType::Bool)
        return std::nullopt;
    double n = 0;
    if (valore.metaType().id() == QMetaType::QString) {
        const QString cifre = valore.toString().trimmed();
        if (cifre.isEmpty())
            return std::nullopt;
        for (const QChar c : cifre) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
        n = cifre.toDouble();
    } else {
        bool numero = false;
        n = valore.toDouble(&numero);
        if (!numero)
            return std::nullopt;
    }
    if (!std::isfinite(n) || n != std::trunc(n) || n < 1 || n > double(kLastNumber))
        return std::nullopt;
    return qint64(n);
}

DbResult raccogli_schede(const QList<RigaRicevuta>& righe, QList<SchedaRicevuta>* schede)
{
    schede->clear();
    QList<SchedaRicevuta> raccolte;
    QList<int> prime; // the first row of each entry of raccolte
    QHash<qint64, qsizetype> posto;
    const QString kProgressivo = QStringLiteral("Progressivo");
    const QString kTipo = QStringLiteral("Tipo");
    for (const RigaRicevuta& riga : righe) {
        const std::optional<qint64> numero = numero_registro(riga.numero);
        if (!numero)
            return nonNumero(riga.posizione, kProgressivo, riga.numero);
        ValoriColonne scheda = riga.scheda;
        imposta_colonna(scheda, kProgressivo, *numero);
        // An entry of neither direction would belong to neither register, and the mask would never
        // show it.
        const QVariant* tipo = valore_colonna(scheda, kTipo);
        const QVariant verso = tipo ? *tipo : QVariant();
        if (!direzione(verso))
            return rifiuta(QStringLiteral("Riga %1, colonna %2: %3 non è una direzione (E per entrata, U per uscita).")
                               .arg(QString::number(riga.posizione), kTipo, citato(verso)));

        // A correspondent belongs to the entry of its row, in the entry's direction: any other
        // would be stored as a correspondent of no entry, or of another one.
        ValoriColonne mittente = riga.mittente;
        if (const QVariant* di = valore_colonna(mittente, QStringLiteral("Quadernolo"))) {
            const std::optional<qint64> diChi = numero_registro(*di);
            if (!diChi && !di->isNull())
                return nonNumero(riga.posizione, QStringLiteral("Quadernolo"), *di);
            if (diChi != numero)
                return rifiuta(QStringLiteral("Riga %1: il corrispondente è del quadernolo n. %2, non del n. %3.")
                                   .arg(QString::number(riga.posizione),
                                        di->isNull() ? QStringLiteral("(nessuno)") : Recordset::displayText(*di),
                                        QString::number(*numero)));
        }
        if (const QVariant* suo = valore_colonna(mittente, QStringLiteral("tipo")); suo && !stesso_valore(*suo, verso))
            return rifiuta(
                QStringLiteral("Riga %1: la direzione del corrispondente (%2) non è quella del quadernolo n. %3 (%4).")
                    .arg(QString::number(riga.posizione), suo->toString(), QString::number(*numero), verso.toString()));
        imposta_colonna(mittente, QStringLiteral("Quadernolo"), *numero);
        imposta_colonna(mittente, QStringLiteral("tipo"), verso);

        const auto trovata = posto.constFind(*numero);
        if (trovata == posto.constEnd()) {
            posto.insert(*numero, raccolte.size());
            prime << riga.posizione;
            raccolte.append({*numero, scheda, {mittente}});
            continue;
        }
        // Every row of an entry gives the entry the same values: one that differs would be
        // dropped, or (the direction) leave its correspondent where the entry does not show it.
        SchedaRicevuta& sua = raccolte[*trovata];
        for (const auto& [colonna, valore] : scheda) {
            const QVariant* primo = valore_colonna(sua.scheda, colonna);
            const QVariant prima = primo ? *primo : QVariant();
            if (!stesso_valore(valore, prima))
                return rifiuta(
                    QStringLiteral("Riga %1, colonna %2: il quadernolo n. %3 vi ha \"%4\", alla riga %5 \"%6\".")
                        .arg(QString::number(riga.posizione), colonna, QString::number(*numero),
                             Recordset::displayText(valore), QString::number(prime[*trovata]),
                             Recordset::displayText(prima)));
        }
        sua.mittenti << mittente;
    }
    *schede = raccolte;
    return {};
}

DbResult SchedeRicevute::inizia(const std::shared_ptr<Connection>& db)
{
    if (!db)
        return DbResult::failure(DbError::Other, QStringLiteral("Archivio non aperto."));
    m_db = db;
    m_transazione = std::make_unique<Transaction>(*db, true);
    DbResult r = m_transazione->begun();
    if (r.ok())
        r = m_schede.open(db, QStringLiteral("SELECT * FROM entrata WHERE 0"));
    if (r.ok())
        r = m_mittenti.open(db, QStringLiteral("SELECT * FROM Mittenti WHERE 0"));
    return r;
}

DbResult SchedeRicevute::confronta(const SchedaRicevuta& ricevuta, bool* presente, QStringList* diverse)
{
    *presente = false;
    Recordset scheda;
    DbResult r = scheda.open(m_db, QStringLiteral("SELECT * FROM entrata WHERE Progressivo = ?"), {ricevuta.numero});
    if (!r.ok() || scheda.eof())
        return r;
    *presente = true;
    for (const auto& [nome, valore] : ricevuta.scheda) {
        if (registra(nome) && scheda.fieldIndex(nome) >= 0 && !stesso_valore(scheda.value(nome), valore))
            *diverse << nome;
    }

    // The entry's correspondents are the rows of its number and direction, as the mask shows them.
    Recordset mittenti;
    r = mittenti.open(m_db, QStringLiteral("SELECT * FROM Mittenti WHERE Quadernolo = ? AND tipo = ?"),
                      {ricevuta.numero, scheda.value(QStringLiteral("Tipo"))});
    if (!r.ok())
        return r;
    QStringList colonne;
    std::vector<int> nelArchivio;
    QHash<QString, int> posizione;
    if (!ricevuta.mittenti.isEmpty()) {
        for (const auto& [nome, valore] : ricevuta.mittenti.front()) {
            const int i = mittenti.fieldIndex(nome);
            if (giunzione(nome) || i < 0)
                continue;
            posizione.insert(nome.toLower(), int(colonne.size()));
            colonne << mittenti.field(i).name;
            nelArchivio.push_back(i);
        }
    }
    std::vector<Riga> loro;
    for (const ValoriColonne& mittente : ricevuta.mittenti) {
        Riga valori(colonne.size());
        for (const auto& [nome, valore] : mittente) {
            const auto k = posizione.constFind(nome.toLower());
            if (k != posizione.constEnd())
                valori[*k] = valore;
        }
        loro.push_back(valori);
    }
    std::vector<Riga> nostre;
    for (mittenti.moveFirst(); !mittenti.eof(); mittenti.moveNext()) {
        Riga valori;
        for (const int i : nelArchivio)
            valori << mittenti.value(i);
        nostre.push_back(valori);
    }

    // Each row of the file is paired with one of the archive: an equal one first, then one of the
    // same name, then any left, in order; the columns where a pair differs are named, and a row
    // left without a pair (added or missing) names the correspondent.
    const int nominativo = int(colonne.indexOf(QStringLiteral("Nominativo")));
    std::vector<bool> diversa(size_t(colonne.size()), false);
    std::vector<bool> presaLoro(loro.size(), false);
    std::vector<bool> presaNostra(nostre.size(), false);
    const auto accoppia = [&](const auto& accetta) {
        for (size_t i = 0; i < loro.size(); ++i) {
            for (size_t j = 0; j < nostre.size() && !presaLoro[i]; ++j) {
                if (presaNostra[j])
                    continue;
                const std::vector<int> d = posizioniDiverse(loro[i], nostre[j]);
                if (!accetta(d))
                    continue;
                presaLoro[i] = presaNostra[j] = true;
                for (const int k : d)
                    diversa[size_t(k)] = true;
            }
        }
    };
    accoppia([](const std::vector<int>& d) { return d.empty(); });
    accoppia([nominativo](const std::vector<int>& d) {
        return nominativo >= 0 && std::find(d.begin(), d.end(), nominativo) == d.end();
    });
    accoppia([](const std::vector<int>&) { return true; });
    const bool spaiata = std::find(presaLoro.begin(), presaLoro.end(), false) != presaLoro.end()
        || std::find(presaNostra.begin(), presaNostra.end(), false) != presaNostra.end();
    if (spaiata && nominativo >= 0)
        diversa[size_t(nominativo)] = true;
    for (int k = 0; k < colonne.size(); ++k) {
        if (diversa[size_t(k)])
            *diverse << colonne[k];
    }
    if (spaiata && nominativo < 0)
        *diverse << QStringLiteral("Nominativo");
    return {};
}

DbResult SchedeRicevute::aggiungi(const SchedaRicevuta& scheda)
{
    bool presente = false;
    QStringList diverse;
    DbResult r = confronta(scheda, &presente, &diverse);
    if (!r.ok())
        return r;
    if (presente) {
        // Received before: the archive keeps it as it is, even where the file says otherwise.
        if (diverse.isEmpty())
            m_esito.presenti << scheda.numero;
        else
            m_esito.diversi.append({scheda.numero, diverse});
        return {};
    }
    m_schede.addNew();
    if (!(r = copia(scheda.scheda, m_schede)).ok())
        return r;
    for (const ValoriColonne& mittente : scheda.mittenti) {
        m_mittenti.addNew();
        if (!(r = copia(mittente, m_mittenti)).ok())
            return r;
        ++m_esito.righe;
    }
    m_esito.aggiunti << scheda.numero;
    return {};
}

DbResult SchedeRicevute::concludi()
{
    if (!m_transazione)
        return DbResult::failure(DbError::Other, QStringLiteral("Archivio non aperto."));
    if (m_esito.aggiunti.isEmpty())
        return {}; // nothing new to write
    DbResult r = m_schede.updateBatch();
    if (r.ok())
        r = m_mittenti.updateBatch();
    if (r.ok())
        r = m_transazione->commit();
    return r;
}

} // namespace quad

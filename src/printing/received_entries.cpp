#include "received_entries.h"

#include <QHash>

#include <algorithm>
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

/// The columns that join a correspondent to its entry: its entry's number and direction.
bool giunzione(const QString& colonna)
{
    return colonna.compare(QLatin1String("Quadernolo"), Qt::CaseInsensitive) == 0
        || colonna.compare(QLatin1String("tipo"), Qt::CaseInsensitive) == 0;
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

} // namespace

bool stesso_valore(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && (a.isNull() || Recordset::displayText(a) == Recordset::displayText(b));
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

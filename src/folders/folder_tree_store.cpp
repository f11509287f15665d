#include "folder_tree_store.h"

namespace quad {

namespace {

/// One stored row with its row id.
struct RigaTabella
{
    qint64 rowid = 0;
    QString key;
    QString caption;
    bool expanded = false;
    bool selected = false;
};

std::vector<RigaTabella> leggi_righe(Connection& db, DbResult* error)
{
    std::vector<RigaTabella> righe;
    const DbResult esito
        = db.query(QStringLiteral("SELECT rowid, \"KEY\", CAPTION, EXPANDED, SELECTED FROM sys_tree ORDER BY rowid"),
                   {}, [&righe](const Statement& s) {
                       righe.push_back({s.value(0).toLongLong(), s.value(1).toString(), s.value(2).toString(),
                                        s.value(3).toLongLong() != 0, s.value(4).toLongLong() != 0});
                       return true;
                   });
    if (error)
        *error = esito;
    if (!esito.ok())
        righe.clear();
    return righe;
}

QString snapshot_di(const std::vector<RigaTabella>& righe)
{
    QString testo;
    for (const RigaTabella& r : righe)
        testo += r.key + QLatin1Char('\t') + r.caption + QLatin1Char('\r');
    return testo;
}

/// Component level (1-based) of a key as a number, 0 when missing or not a number.
qint64 componente_chiave(const QString& key, int level)
{
    const QStringList parti = key.split(QLatin1Char('\\'));
    if (level < 1 || level > parti.size())
        return 0;
    bool ok = false;
    const qint64 n = parti[level - 1].trimmed().toLongLong(&ok);
    return ok ? n : 0;
}

} // namespace

int livello_chiave(const QString& key)
{
    return int(key.count(QLatin1Char('\\')));
}

qint64 numero_chiave(const QString& key)
{
    return componente_chiave(key, livello_chiave(key));
}

bool caption_valida(const QString& caption)
{
    return !caption.trimmed().isEmpty() && !caption.contains(QLatin1Char('~'));
}

AlberoCaricato carica_albero(Connection& db, DbResult* error)
{
    AlberoCaricato albero;
    DbResult esito;
    const std::vector<RigaTabella> righe = leggi_righe(db, &esito);
    if (error)
        *error = esito;
    if (!esito.ok())
        return albero;
    albero.snapshot = snapshot_di(righe);

    // A row hangs under the folder most recently shown one level up: stored rows are in
    // pre-order, as the save writes them.
    QString ultimo[kLivelloMassimo + 1];
    bool presente[kLivelloMassimo + 1] = {true, false, false, false, false, false};
    for (const RigaTabella& r : righe) {
        const int livello = livello_chiave(r.key);
        if (livello < 1 || livello > kLivelloMassimo)
            continue;
        albero.levelMax[livello] = std::max(albero.levelMax[livello], numero_chiave(r.key));
        if (!presente[livello - 1])
            continue;
        albero.nodi.push_back({{r.key, r.caption, r.expanded, r.selected}, ultimo[livello - 1]});
        ultimo[livello] = r.key;
        presente[livello] = true;
    }
    return albero;
}

QString snapshot_albero(Connection& db, DbResult* error)
{
    DbResult esito;
    const std::vector<RigaTabella> righe = leggi_righe(db, &esito);
    if (error)
        *error = esito;
    return esito.ok() ? snapshot_di(righe) : QString();
}

std::vector<NodoAlbero> nodi_da_testo(const QString& text)
{
    std::vector<NodoAlbero> nodi;
    const QStringList righe = text.split(QStringLiteral("\r\n"));
    for (const QString& riga : righe) {
        const qsizetype tilde = riga.lastIndexOf(QLatin1Char('~'));
        if (tilde < 0)
            continue;
        const QString key = riga.mid(tilde + 1).trimmed();
        if (key == kRadiceFascicoli)
            continue;
        nodi.push_back({key, riga.left(tilde).trimmed()});
    }
    return nodi;
}

SalvataggioAlbero salva_albero(Connection& db, const QString& atteso, const std::vector<NodoAlbero>& nodi,
                               const QStringList& scollega)
{
    SalvataggioAlbero risultato;
    Transaction tx(db, true);
    if (!tx.begun().ok()) {
        risultato.error = tx.begun();
        return risultato;
    }
    DbResult esito;
    std::vector<RigaTabella> righe = leggi_righe(db, &esito);
    if (!esito.ok()) {
        risultato.error = esito;
        return risultato;
    }
    if (snapshot_di(righe) != atteso) {
        risultato.esito = EsitoAlbero::ModificatoAltrove;
        return risultato;
    }

    bool scritto = false;
    const auto esegui = [&](const QString& sql, const QVariantList& params) {
        if (!esito.ok())
            return;
        esito = db.exec(sql, params);
        scritto = scritto || (esito.ok() && db.changes() > 0);
    };
    for (const QString& key : scollega)
        esegui(QStringLiteral("DELETE FROM sys_rela_tree WHERE SYS_TREE = ?"), {key});

    // Rows keep their place while the keys agree; from the first key that differs on, the rest
    // is written again so that the stored order stays the tree's order.
    size_t comune = 0;
    while (comune < righe.size() && comune < nodi.size() && righe[comune].key == nodi[comune].key) {
        if (righe[comune].caption != nodi[comune].caption)
            esegui(QStringLiteral("UPDATE sys_tree SET CAPTION = ? WHERE rowid = ?"),
                   {nodi[comune].caption, righe[comune].rowid});
        ++comune;
    }
    for (size_t i = comune; i < righe.size(); ++i)
        esegui(QStringLiteral("DELETE FROM sys_tree WHERE rowid = ?"), {righe[i].rowid});
    for (size_t i = comune; i < nodi.size(); ++i)
        esegui(QStringLiteral("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES (?, ?)"), {nodi[i].key, nodi[i].caption});
    if (!esito.ok()) {
        risultato.error = esito;
        return risultato;
    }

    risultato.snapshot = snapshot_albero(db, &esito);
    if (!esito.ok()) {
        risultato.error = esito;
        return risultato;
    }
    esito = tx.commit();
    if (!esito.ok()) {
        risultato.error = esito;
        risultato.snapshot.clear();
        return risultato;
    }
    risultato.esito = scritto ? EsitoAlbero::Scritto : EsitoAlbero::NienteDaScrivere;
    return risultato;
}

} // namespace quad

#include "folder_tree_store.h"

#include "field_text.h"

#include <functional>

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
                                        isTrueValue(s.value(3)), isTrueValue(s.value(4))});
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

/// Where the load puts each row: the index of the row it hangs under (-1 for the root), or
/// kNascosta for a row it does not show. A row hangs under the folder most recently shown one level
/// up: stored rows are in pre-order, as the save writes them.
constexpr int kNascosta = -2;

std::vector<int> padri_righe(const std::vector<RigaTabella>& righe)
{
    std::vector<int> padri(righe.size(), kNascosta);
    int ultimo[kLivelloMassimo + 1] = {-1, kNascosta, kNascosta, kNascosta, kNascosta, kNascosta};
    for (size_t i = 0; i < righe.size(); ++i) {
        const int livello = livello_chiave(righe[i].key);
        if (livello < 1 || livello > kLivelloMassimo || ultimo[livello - 1] == kNascosta)
            continue;
        padri[i] = ultimo[livello - 1];
        ultimo[livello] = int(i);
    }
    return padri;
}

/// The stored rows split as the load sees them: the folders shown, in display order (each folder
/// followed by its subfolders), and the rows it does not show, in stored order.
struct VistaRighe
{
    std::vector<NodoAlbero> mostrati;
    std::vector<NodoAlbero> nascosti;
};

VistaRighe vista_righe(const std::vector<RigaTabella>& righe)
{
    VistaRighe vista;
    const std::vector<int> padri = padri_righe(righe);
    std::vector<std::vector<size_t>> figli(righe.size() + 1); // the last one is the root's
    for (size_t i = 0; i < righe.size(); ++i) {
        if (padri[i] == kNascosta)
            vista.nascosti.push_back({righe[i].key, righe[i].caption});
        else
            figli[padri[i] < 0 ? righe.size() : size_t(padri[i])].push_back(i);
    }
    const std::function<void(size_t)> visita = [&](size_t padre) {
        for (size_t i : figli[padre]) {
            vista.mostrati.push_back({righe[i].key, righe[i].caption});
            visita(i);
        }
    };
    visita(righe.size());
    return vista;
}

/// Every key a link names.
QSet<QString> chiavi_collegate(Connection& db, DbResult* error)
{
    QSet<QString> chiavi;
    *error = db.query(QStringLiteral("SELECT DISTINCT SYS_TREE FROM sys_rela_tree WHERE SYS_TREE IS NOT NULL"), {},
                      [&chiavi](const Statement& s) {
                          chiavi.insert(s.value(0).toString());
                          return true;
                      });
    return chiavi;
}

QString citato(const QString& caption)
{
    return QLatin1Char('"') + caption + QLatin1Char('"');
}

/// Why nodi cannot be stored when a folder of letto missing from nodi (removed) still has a
/// subfolder in nodi: one under it as read, or one whose key begins with its key (added under it).
/// Empty when every removed folder went with its subfolders.
QString sottocartella_rimasta(const std::vector<NodoAlbero>& letto, const std::vector<NodoAlbero>& nodi)
{
    QSet<QString> restano;
    for (const NodoAlbero& n : nodi)
        restano.insert(n.key);
    const auto rifiuto = [](const NodoAlbero& rimossa, const NodoAlbero& rimasta) {
        return QStringLiteral("E' necessario eliminare prima i sottonodi !\n\nIl fascicolo %1 contiene ancora il "
                              "fascicolo %2.")
            .arg(citato(rimossa.caption), citato(rimasta.caption));
    };
    for (size_t i = 0; i < letto.size(); ++i) {
        if (restano.contains(letto[i].key))
            continue;
        const int livello = livello_chiave(letto[i].key);
        for (size_t j = i + 1; j < letto.size() && livello_chiave(letto[j].key) > livello; ++j) {
            if (restano.contains(letto[j].key))
                return rifiuto(letto[i], letto[j]);
        }
        for (const NodoAlbero& n : nodi) {
            if (n.key.startsWith(letto[i].key))
                return rifiuto(letto[i], n);
        }
    }
    return QString();
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
    const QSet<QString> collegate = esito.ok() ? chiavi_collegate(db, &esito) : QSet<QString>();
    if (error)
        *error = esito;
    if (!esito.ok())
        return albero;
    albero.snapshot = snapshot_di(righe);

    const auto conta = [&albero](const QString& key) {
        const int livello = livello_chiave(key);
        if (livello >= 1 && livello <= kLivelloMassimo)
            albero.levelMax[livello] = std::max(albero.levelMax[livello], numero_chiave(key));
    };
    for (const QString& key : collegate)
        conta(key);
    const std::vector<int> padri = padri_righe(righe);
    for (size_t i = 0; i < righe.size(); ++i) {
        const RigaTabella& r = righe[i];
        conta(r.key);
        if (padri[i] != kNascosta)
            albero.nodi.push_back(
                {{r.key, r.caption, r.expanded, r.selected}, padri[i] < 0 ? QString() : righe[size_t(padri[i])].key});
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

std::vector<ModificaAlbero> modifiche_albero(const std::vector<NodoAlbero>& letto, const std::vector<NodoAlbero>& nodi)
{
    std::vector<ModificaAlbero> modifiche;
    QHash<QString, QString> captionLetta;
    for (const NodoAlbero& n : letto)
        captionLetta.insert(n.key, n.caption);
    QSet<QString> presenti;
    for (size_t i = 0; i < nodi.size(); ++i) {
        const NodoAlbero& n = nodi[i];
        presenti.insert(n.key);
        const auto letta = captionLetta.constFind(n.key);
        if (letta != captionLetta.constEnd()) {
            if (*letta != n.caption)
                modifiche.push_back({ModificaAlbero::Tipo::Rinomina, n.key, n.caption, *letta, {}, {}});
            continue;
        }
        // In a tree in pre-order whose depth is the key's level, the sibling before a folder is
        // the nearest folder of its level above it, unless its parent comes first.
        ModificaAlbero aggiunta {ModificaAlbero::Tipo::Aggiungi, n.key, n.caption, {}, {}, {}};
        const int livello = livello_chiave(n.key);
        for (size_t j = i; j-- > 0;) {
            const int l = livello_chiave(nodi[j].key);
            if (l == livello && aggiunta.dopo.isEmpty()) {
                aggiunta.dopo = nodi[j].key;
            } else if (l < livello) {
                aggiunta.padre = nodi[j].key;
                break;
            }
        }
        modifiche.push_back(aggiunta);
    }
    for (const NodoAlbero& n : letto) {
        if (!presenti.contains(n.key))
            modifiche.push_back({ModificaAlbero::Tipo::Rimuovi, n.key, n.caption, {}, {}, {}});
    }
    return modifiche;
}

Fusione applica_modifiche(const std::vector<NodoAlbero>& attuale, const std::vector<ModificaAlbero>& modifiche,
                          QSet<QString> occupate)
{
    Fusione f;
    std::vector<NodoAlbero>& albero = f.nodi;
    albero = attuale;
    const auto livello = [&albero](size_t i) { return livello_chiave(albero[i].key); };
    const auto indice = [&albero](const QString& key) -> std::ptrdiff_t {
        for (size_t i = 0; i < albero.size(); ++i) {
            if (albero[i].key == key)
                return std::ptrdiff_t(i);
        }
        return -1;
    };
    // The end of the subtree of folder i (the whole tree for the root, i = -1).
    const auto fine = [&](std::ptrdiff_t i) {
        if (i < 0)
            return albero.size();
        size_t j = size_t(i) + 1;
        while (j < albero.size() && livello(j) > livello(size_t(i)))
            ++j;
        return j;
    };
    const auto padreDi = [&](size_t i) -> std::ptrdiff_t {
        for (size_t j = i; j-- > 0;) {
            if (livello(j) < livello(i))
                return std::ptrdiff_t(j);
        }
        return -1;
    };
    for (const NodoAlbero& n : albero)
        occupate.insert(n.key);

    for (const ModificaAlbero& m : modifiche) {
        const std::ptrdiff_t i = indice(m.key);
        switch (m.tipo) {
        case ModificaAlbero::Tipo::Aggiungi: {
            const QString padre = f.nuoveChiavi.value(m.padre, m.padre);
            const std::ptrdiff_t p = padre.isEmpty() ? -1 : indice(padre);
            if (!padre.isEmpty() && p < 0) {
                f.nonApplicate << QStringLiteral(
                                      "il nuovo fascicolo %1: il fascicolo che lo conteneva è stato eliminato")
                                      .arg(citato(m.caption));
                break;
            }
            QString key = padre + QString::number(numero_chiave(m.key)) + QLatin1Char('\\');
            const int l = livello_chiave(key);
            if (occupate.contains(key)) {
                qint64 massimo = 0;
                for (const QString& k : occupate) {
                    if (livello_chiave(k) == l)
                        massimo = std::max(massimo, numero_chiave(k));
                }
                key = padre + QString::number(massimo + 1) + QLatin1Char('\\');
            }
            if (key != m.key)
                f.nuoveChiavi.insert(m.key, key);
            occupate.insert(key);
            // After the sibling it followed when that is still there, else first or last child.
            const QString dopo = f.nuoveChiavi.value(m.dopo, m.dopo);
            const std::ptrdiff_t d = dopo.isEmpty() ? -1 : indice(dopo);
            size_t posizione = 0;
            if (d >= 0 && livello(size_t(d)) == l && padreDi(size_t(d)) == p)
                posizione = fine(d);
            else if (dopo.isEmpty())
                posizione = size_t(p + 1);
            else
                posizione = fine(p);
            albero.insert(albero.begin() + std::ptrdiff_t(posizione), {key, m.caption});
            break;
        }
        case ModificaAlbero::Tipo::Rinomina:
            if (i < 0)
                f.nonApplicate << QStringLiteral("il nuovo nome %1 del fascicolo %2: il fascicolo è stato eliminato")
                                      .arg(citato(m.caption), citato(m.prima));
            else if (albero[size_t(i)].caption == m.prima)
                albero[size_t(i)].caption = m.caption;
            else if (albero[size_t(i)].caption != m.caption)
                f.nonApplicate << QStringLiteral(
                                      "il nuovo nome %1 del fascicolo %2: il fascicolo è stato rinominato %3")
                                      .arg(citato(m.caption), citato(m.prima), citato(albero[size_t(i)].caption));
            break;
        case ModificaAlbero::Tipo::Rimuovi:
            if (i < 0)
                break; // removed there too
            if (albero[size_t(i)].caption != m.caption) {
                f.nonApplicate << QStringLiteral("l' eliminazione del fascicolo %1: il fascicolo è stato rinominato %2")
                                      .arg(citato(m.caption), citato(albero[size_t(i)].caption));
            } else if (fine(i) > size_t(i) + 1) {
                f.nonApplicate << QStringLiteral(
                                      "l' eliminazione del fascicolo %1: il fascicolo ora contiene altri fascicoli")
                                      .arg(citato(m.caption));
            } else {
                albero.erase(albero.begin() + i);
                f.rimosse << m.key;
            }
            break;
        }
    }
    return f;
}

SalvataggioAlbero salva_albero(Connection& db, const QString& atteso, const std::vector<NodoAlbero>& letto,
                               const std::vector<NodoAlbero>& nodi)
{
    SalvataggioAlbero risultato;
    // A subfolder left without its folder would stay stored, hidden, and still take filings.
    if (const QString rifiuto = sottocartella_rimasta(letto, nodi); !rifiuto.isEmpty()) {
        risultato.error = DbResult::failure(DbError::Constraint, rifiuto);
        return risultato;
    }
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

    const VistaRighe vista = vista_righe(righe);
    std::vector<NodoAlbero> scrivere = vista.nascosti;
    QStringList rimosse;
    const bool invariato = snapshot_di(righe) == atteso;
    if (invariato) {
        scrivere.insert(scrivere.end(), nodi.begin(), nodi.end());
        QSet<QString> restano;
        for (const NodoAlbero& n : nodi)
            restano.insert(n.key);
        for (const NodoAlbero& n : letto) {
            if (!restano.contains(n.key))
                rimosse << n.key;
        }
    } else {
        QSet<QString> occupate = chiavi_collegate(db, &esito);
        if (!esito.ok()) {
            risultato.error = esito;
            return risultato;
        }
        for (const RigaTabella& r : righe)
            occupate.insert(r.key);
        Fusione fusione = applica_modifiche(vista.mostrati, modifiche_albero(letto, nodi), occupate);
        scrivere.insert(scrivere.end(), fusione.nodi.begin(), fusione.nodi.end());
        rimosse = fusione.rimosse;
        risultato.nuoveChiavi = fusione.nuoveChiavi;
        risultato.nonApplicate = fusione.nonApplicate;
    }

    bool scritto = false;
    const auto esegui = [&](const QString& sql, const QVariantList& params) {
        if (!esito.ok())
            return;
        esito = db.exec(sql, params);
        scritto = scritto || (esito.ok() && db.changes() > 0);
    };
    // A removed folder takes its links with it: no link is left naming a folder that is gone.
    for (const QString& key : rimosse)
        esegui(QStringLiteral("DELETE FROM sys_rela_tree WHERE SYS_TREE = ?"), {key});

    // Rows keep their place while the keys agree; from the first key that differs on, the rest
    // is written again so that the stored order stays the tree's order.
    size_t comune = 0;
    while (comune < righe.size() && comune < scrivere.size() && righe[comune].key == scrivere[comune].key) {
        if (righe[comune].caption != scrivere[comune].caption)
            esegui(QStringLiteral("UPDATE sys_tree SET CAPTION = ? WHERE rowid = ?"),
                   {scrivere[comune].caption, righe[comune].rowid});
        ++comune;
    }
    for (size_t i = comune; i < righe.size(); ++i)
        esegui(QStringLiteral("DELETE FROM sys_tree WHERE rowid = ?"), {righe[i].rowid});
    for (size_t i = comune; i < scrivere.size(); ++i)
        esegui(QStringLiteral("INSERT INTO sys_tree (\"KEY\", CAPTION) VALUES (?, ?)"),
               {scrivere[i].key, scrivere[i].caption});
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
    if (!invariato)
        risultato.esito = EsitoAlbero::ModificatoAltrove;
    else
        risultato.esito = scritto ? EsitoAlbero::Scritto : EsitoAlbero::NienteDaScrivere;
    return risultato;
}

} // namespace quad

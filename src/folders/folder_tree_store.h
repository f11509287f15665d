#pragma once

#include "database.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace quad {

/// The root of the folder tree: shown first in every tree, never stored.
inline const QString kRadiceFascicoli = QStringLiteral("FASCICOLI");
/// The deepest level a folder can have.
constexpr int kLivelloMassimo = 5;

/// Level of a folder key: the number of "\" in it ("3\12\" is level 2; the root is level 0).
int livello_chiave(const QString& key);
/// The number of a folder: the last component of its key (0 when it is not a number).
qint64 numero_chiave(const QString& key);

/// One folder as the table sys_tree holds it.
struct NodoAlbero
{
    QString key;
    QString caption;
    bool expanded = false;
    bool selected = false;

    bool operator==(const NodoAlbero& other) const { return key == other.key && caption == other.caption; }
    bool operator!=(const NodoAlbero& other) const { return !(*this == other); }
};

/// Running maximum number of each level, indexes 1 to 5 (0 unused). Numbers are 64-bit.
using LivelliMassimi = std::array<qint64, kLivelloMassimo + 1>;

/// The stored tree as a window loads it.
struct AlberoCaricato
{
    /// The folders to show, in stored order, each after its parent: (folder, parent key) where
    /// the parent key is "" for the root. A row of level 0 or deeper than 5, or whose parent
    /// level has no folder before it, is left out.
    std::vector<std::pair<NodoAlbero, QString>> nodi;
    LivelliMassimi levelMax {};
    /// The structure snapshot taken in the same read.
    QString snapshot;
};

/// Reads the tree in stored order (the order the rows were written). Every row of level 1 to 5
/// counts for levelMax, shown or not, and so does every key a link names, so that a new key
/// never repeats a stored one nor takes over the links of a folder that is gone.
AlberoCaricato carica_albero(Connection& db, DbResult* error);

/// The structure snapshot: every row's key, a TAB, its caption and a CR, in stored order.
/// Another station's saved change (a folder added, removed, renamed or reordered) changes it.
QString snapshot_albero(Connection& db, DbResult* error);

/// The folders of a tree text (one line per node: depth spaces, caption, "~", key, CR LF),
/// root excluded, captions trimmed. A line without "~" is skipped; the key is what follows the
/// last "~" (a key never holds one).
std::vector<NodoAlbero> nodi_da_testo(const QString& text);

/// A caption a folder may be given: not blank, without "~".
bool caption_valida(const QString& caption);

/// One edit the clerk made to the tree as it was read.
struct ModificaAlbero
{
    enum class Tipo { Aggiungi, Rinomina, Rimuovi };
    Tipo tipo = Tipo::Aggiungi;
    QString key;
    /// Aggiungi, Rinomina: the caption given. Rimuovi: the caption as read.
    QString caption;
    /// Rinomina: the caption as read.
    QString prima;
    /// Aggiungi: the parent's key ("" for the root) and the sibling it follows ("" when first).
    QString padre;
    QString dopo;
};

/// The edits that turn letto (the tree as read, as the load shows it) into nodi (the same tree as
/// the clerk left it): added folders in tree order (each after its parent), new captions, then
/// removed folders. Keys never change and folders never move, so nothing else can differ.
std::vector<ModificaAlbero> modifiche_albero(const std::vector<NodoAlbero>& letto, const std::vector<NodoAlbero>& nodi);

/// What replaying the clerk's edits on the tree now stored gave.
struct Fusione
{
    std::vector<NodoAlbero> nodi; ///< the stored tree with every edit that could be applied
    /// Added folders whose key another station's folder or link already holds: old key, new key.
    QHash<QString, QString> nuoveChiavi;
    QStringList rimosse; ///< the keys removed (their links go with them)
    QStringList nonApplicate; ///< the edits that met another station's change, as the clerk reads them
};

/// Replays modifiche on attuale (the tree as stored now, as the load shows it). An edit is left
/// out when it touches what another station changed: a rename or removal of a folder renamed or
/// removed there, a removal of a folder that got subfolders there, a folder added under one
/// removed there. An added folder whose key is in occupate (or in the tree) takes the next free
/// number of its level, and its added subfolders follow it.
Fusione applica_modifiche(const std::vector<NodoAlbero>& attuale, const std::vector<ModificaAlbero>& modifiche,
                          QSet<QString> occupate);

/// What a save did.
enum class EsitoAlbero {
    Scritto, ///< the stored tree is now the given one
    NienteDaScrivere, ///< the stored tree already was the given one
    /// Another station changed the stored tree since the snapshot: the clerk's edits were replayed
    /// on it and the ones that touch none of its changes were written (nonApplicate names the others)
    ModificatoAltrove,
    Errore ///< the archive refused: nothing written
};

struct SalvataggioAlbero
{
    EsitoAlbero esito = EsitoAlbero::Errore;
    DbResult error; ///< the cause when esito is Errore
    QString snapshot; ///< the snapshot after the save (unless esito is Errore)
    QHash<QString, QString> nuoveChiavi; ///< ModificatoAltrove: added folders given another key
    QStringList nonApplicate; ///< ModificatoAltrove: the edits not applied
};

/// Stores the clerk's tree in one immediate transaction. letto is the tree the window read (the
/// one snapshot atteso stands for), nodi the tree as the clerk left it; a folder of letto missing
/// from nodi was removed, and its links are deleted with it. When the stored snapshot is atteso,
/// nodi is written; otherwise the clerk's edits are replayed on the stored tree
/// (applica_modifiche) and that is written. Only what differs is written: captions changed in
/// place, rows from the first differing key on deleted and written again in order. Rows the load
/// cannot show are kept, first, so that no folder a link may name disappears unasked. A tree that
/// removes a folder of letto but keeps one of its subfolders (under it in letto, or with a key
/// that begins with its key) is refused (Errore, DbError::Constraint, the message names both).
/// Nothing is written on any failure.
SalvataggioAlbero salva_albero(Connection& db, const QString& atteso, const std::vector<NodoAlbero>& letto,
                               const std::vector<NodoAlbero>& nodi);

/// The message shown when another station changed the stored tree.
inline const QString kModificatoAltrove = QStringLiteral("Struttura Modificata da altro utente");

} // namespace quad

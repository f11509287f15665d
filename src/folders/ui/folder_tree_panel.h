#pragma once

#include "database.h"
#include "folder_tree_store.h"

#include <QIcon>
#include <QPointer>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace quad {

/// The tree control of the folder windows: label editing is refused on the root (and on any
/// folder shown as "FASCICOLI"), as the windows' BeforeLabelEdit does.
class FolderTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

    /// Ends an open name editor keeping the name typed, as Enter does. Buttons that take no focus
    /// leave the editor open: whatever stores or leaves the tree calls this first.
    void confermaModifica();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    QPointer<QWidget> m_editor;
};

/// The folder tree of both folder windows: the tree control TreeView1 with its tool bar
/// tool_tree, the load, the snapshot, the tree text and the save of the stored tree, and the
/// editing (add, remove, rename, expand and collapse all). Changes stay in the control until
/// SaveTree; a removal saves at once.
class FolderTreePanel : public QWidget
{
    Q_OBJECT
public:
    /// full: the folder window's tool bar (with remove, single-branch and level buttons);
    /// otherwise the filing dialog's (add, expand all, collapse all).
    FolderTreePanel(bool full, QWidget* parent);

    /// The archive the tree is stored in.
    void setConnection(std::shared_ptr<Connection> db) { m_db = std::move(db); }

    /// Loads the tree from the archive, sets LevelMax and takes the snapshot. A read that fails
    /// is shown; the tree then holds the root only and nothing will be saved over the archive.
    void stocktree1();
    /// The last stocktree1 read the stored tree.
    bool caricato() const { return m_caricato; }
    /// The stored structure now; sets *error when it cannot be read.
    QString TreeSnapshot(DbResult* error = nullptr);
    /// The tree text: one line per node from start (the whole tree when null), in pre-order.
    QString TreeViewToString(QTreeWidgetItem* start = nullptr, bool onlyVisible = false);
    /// Gives the selected folder newText (when not empty), then stores the tree when it differs
    /// from what was loaded or last saved. When another station changed the stored tree meanwhile,
    /// the edits that touch none of its changes are stored on it, the window says which could not
    /// be, and the tree shown becomes the stored one. False, after showing why, when not every
    /// edit could be stored.
    bool SaveTree(const QString& newText = QString());
    /// True when the tree differs from what was loaded or last saved.
    bool modificato();
    /// True when the folder with this key was in the tree as loaded or last saved.
    bool memorizzato(const QString& key) const;

    /// Adds a folder "after", "before" or "children" of the selected one and starts editing it.
    void AddNode(const QString& mode);
    /// Removes the selected folder (a leaf, after a question) with its links, and saves.
    void RemoveNode();
    void ExpandAll();
    void CollapseAll();
    /// Redraw of the tree on or off.
    void SetTreeRedraw(bool on);

    void tool_tree_ButtonClick(QAction* Button);
    void tool_tree_ButtonMenuClick(QAction* ButtonMenu);

    /// Tree-bar button by key, or null.
    QAction* pulsante(const QString& key) const;
    /// The selected folder (null when none).
    QTreeWidgetItem* selezionato() const { return TreeView1->currentItem(); }
    QTreeWidgetItem* radice() const { return TreeView1->topLevelItemCount() ? TreeView1->topLevelItem(0) : nullptr; }
    /// The folder with this key, or null.
    QTreeWidgetItem* nodo(const QString& key) const;
    static QString chiave(const QTreeWidgetItem* item);
    /// The texts from the root down to item, joined by "\".
    static QString percorso(const QTreeWidgetItem* item);
    /// Selects the folder with this key; false when it is not in the tree.
    bool seleziona(const QString& key);
    /// Selects item, a folder of this tree.
    void selezionaNodo(QTreeWidgetItem* item);
    /// Ends an open name editor keeping the name typed (FolderTreeView::confermaModifica).
    void confermaModifica();
    /// Picture index of ImgList: 1 a folder, 2 an open folder.
    QIcon immagine(int index) const { return ImgList.at(index); }

signals:
    /// The selected folder changed.
    void nodoSelezionato();
    /// The level button was toggled.
    void livelloCambiato();
    /// A folder was removed and the tree saved.
    void nodoRimosso();

private:
    QToolBar* tool_tree = nullptr;
    FolderTreeView* TreeView1 = nullptr;
    QMenu* add_node_menu = nullptr;
    /// Images 1 (folder) and 2 (open folder).
    std::vector<QIcon> ImgList;
    /// The snapshot of the last load or save.
    QString p_str_tree;
    /// Running maximum number of each level (1 to 5).
    LivelliMassimi LevelMax {};

    QTreeWidgetItem* nuovoNodo(const QString& key, const QString& caption);
    void testoModificato(QTreeWidgetItem* item, int column);
    void espandiSingolo();
    /// Compares the stored structure with the snapshot; false, after the message, when it differs
    /// or cannot be read.
    bool strutturaInvariata();
    /// Stores nodi as the tree (after a removal, without the folder removed). Shows what went wrong
    /// or what another station's change kept from being stored; false unless all of nodi is stored.
    bool salva(const std::vector<NodoAlbero>& nodi);
    /// Reads the tree again after a save that met another station's change, keeping the folders
    /// open and the one selected (nuoveChiavi: folders stored under another key).
    void ricarica(const QHash<QString, QString>& nuoveChiavi);
    std::vector<NodoAlbero> nodiCorrenti();

    std::shared_ptr<Connection> m_db;
    std::vector<NodoAlbero> m_salvati; ///< the tree as loaded or last saved
    bool m_caricato = false; ///< the load succeeded
    bool m_programmatico = false; ///< texts being set by the program
    int m_depth = 0;
    bool m_full = false;
};

} // namespace quad

#include "folder_tree_panel.h"

#include "message_service.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quad {

namespace {

constexpr int kRuoloChiave = Qt::UserRole;
constexpr int kRuoloTesto = Qt::UserRole + 1; ///< the last accepted text

void tuttiINodi(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& f)
{
    f(item);
    for (int i = 0; i < item->childCount(); ++i)
        tuttiINodi(item->child(i), f);
}

/// The name given to the editor of a folder's name for screen readers.
const QString kNomeEditor = QStringLiteral("Nome del fascicolo");

} // namespace

bool FolderTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // The root keeps its text: the key scheme and the save rely on it.
    if (index.isValid() && index.data().toString() == kRadiceFascicoli)
        return false;
    if (!QTreeWidget::edit(index, trigger, event))
        return false;
    if (QWidget* editor = indexWidget(index)) {
        editor->setAccessibleName(kNomeEditor);
        m_editor = editor;
    }
    return true;
}

void FolderTreeView::confermaModifica()
{
    if (!m_editor || state() != EditingState)
        return;
    QWidget* editor = m_editor;
    m_editor.clear();
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

FolderTreePanel::FolderTreePanel(bool full, QWidget* parent)
    : QWidget(parent)
    , m_full(full)
{
    setObjectName(QStringLiteral("Picture1"));
    ImgList = {QIcon(), style()->standardIcon(QStyle::SP_DirClosedIcon), style()->standardIcon(QStyle::SP_DirOpenIcon)};

    tool_tree = new QToolBar(this);
    tool_tree->setObjectName(QStringLiteral("tool_tree"));
    tool_tree->setIconSize(QSize(16, 16));
    const auto aggiungi = [this](const char* key, const QString& tip, QStyle::StandardPixmap icon, bool check) {
        QAction* a = tool_tree->addAction(style()->standardIcon(icon), tip);
        a->setObjectName(QLatin1String(key));
        a->setToolTip(tip);
        a->setCheckable(check);
        return a;
    };
    QAction* add = aggiungi("add_node", QStringLiteral("Aggiungi un nodo"), QStyle::SP_FileDialogNewFolder, false);
    add_node_menu = new QMenu(this);
    add_node_menu->setObjectName(QStringLiteral("add_node_menu"));
    const std::pair<const char*, const char*> voci[]
        = {{"new_down", "Nuovo nodo in basso"}, {"new_up", "Nuovo nodo in alto"}, {"new_child", "Nuovo sottonodo"}};
    for (const auto& [key, caption] : voci) {
        QAction* voce = add_node_menu->addAction(QString::fromUtf8(caption));
        voce->setObjectName(QLatin1String(key));
    }
    add->setMenu(add_node_menu);
    if (auto* bottone = qobject_cast<QToolButton*>(tool_tree->widgetForAction(add)))
        bottone->setPopupMode(QToolButton::MenuButtonPopup);
    if (m_full)
        aggiungi("remove_node", QStringLiteral("Rimuovi il nodo selezionato"), QStyle::SP_TrashIcon, false);
    aggiungi("open_all", QStringLiteral("Espandi tutti i nodi"), QStyle::SP_ArrowDown, false);
    aggiungi("close_all", QStringLiteral("Chiudi tutti i nodi"), QStyle::SP_ArrowUp, false);
    if (m_full) {
        aggiungi("esclusive_modo", QStringLiteral("Espandi singolo nodo"), QStyle::SP_FileDialogDetailedView, true);
        aggiungi("sel_livello", QStringLiteral("Escludi sottolivelli"), QStyle::SP_FileDialogListView, true);
    }

    TreeView1 = new FolderTreeView(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tool_tree);
    layout->addWidget(TreeView1, 1);

    connect(tool_tree, &QToolBar::actionTriggered, this, &FolderTreePanel::tool_tree_ButtonClick);
    connect(add_node_menu, &QMenu::triggered, this, &FolderTreePanel::tool_tree_ButtonMenuClick);
    connect(TreeView1, &QTreeWidget::itemChanged, this, &FolderTreePanel::testoModificato);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] {
        // A load or a removal under way: the window follows once it is done.
        if (m_programmatico)
            return;
        espandiSingolo();
        emit nodoSelezionato();
    });
    const auto immagine = [this](QTreeWidgetItem* item, bool aperto) {
        if (item != radice()) {
            QScopedValueRollback<bool> guard(m_programmatico, true);
            item->setIcon(0, ImgList[aperto ? 2 : 1]);
        }
    };
    connect(TreeView1, &QTreeWidget::itemExpanded, this, [immagine](QTreeWidgetItem* item) { immagine(item, true); });
    connect(TreeView1, &QTreeWidget::itemCollapsed, this, [immagine](QTreeWidgetItem* item) { immagine(item, false); });
}

QAction* FolderTreePanel::pulsante(const QString& key) const
{
    for (QAction* a : tool_tree->actions()) {
        if (a->objectName() == key)
            return a;
    }
    return nullptr;
}

QString FolderTreePanel::chiave(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kRuoloChiave).toString() : QString();
}

QString FolderTreePanel::percorso(const QTreeWidgetItem* item)
{
    QStringList testi;
    for (; item; item = item->parent())
        testi.prepend(item->text(0));
    return testi.join(QLatin1Char('\\'));
}

QTreeWidgetItem* FolderTreePanel::nodo(const QString& key) const
{
    QTreeWidgetItem* trovato = nullptr;
    if (QTreeWidgetItem* r = radice()) {
        tuttiINodi(r, [&](QTreeWidgetItem* item) {
            if (!trovato && chiave(item) == key)
                trovato = item;
        });
    }
    return trovato;
}

bool FolderTreePanel::seleziona(const QString& key)
{
    QTreeWidgetItem* item = nodo(key);
    if (!item)
        return false;
    TreeView1->setCurrentItem(item);
    return true;
}

void FolderTreePanel::selezionaNodo(QTreeWidgetItem* item)
{
    TreeView1->setCurrentItem(item);
}

void FolderTreePanel::confermaModifica()
{
    TreeView1->confermaModifica();
}

QTreeWidgetItem* FolderTreePanel::nuovoNodo(const QString& key, const QString& caption)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, caption);
    item->setData(0, kRuoloChiave, key);
    item->setData(0, kRuoloTesto, caption);
    item->setIcon(0, ImgList[1]);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void FolderTreePanel::stocktree1()
{
    QScopedValueRollback<bool> guard(m_programmatico, true);
    TreeView1->clear();
    p_str_tree.clear();
    m_salvati.clear();
    m_caricato = false;
    auto* root = new QTreeWidgetItem;
    root->setText(0, kRadiceFascicoli);
    root->setData(0, kRuoloChiave, kRadiceFascicoli);
    root->setData(0, kRuoloTesto, kRadiceFascicoli);
    root->setIcon(0, ImgList[1]);
    TreeView1->addTopLevelItem(root);

    DbResult error = DbResult::failure(DbError::NotFound, QStringLiteral("Archivio non collegato."));
    const AlberoCaricato albero = m_db ? carica_albero(*m_db, &error) : AlberoCaricato();
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere la struttura dei fascicoli.\n\n") + error.message);
        return;
    }
    QHash<QString, QTreeWidgetItem*> ultimo;
    ultimo.insert(QString(), root);
    std::vector<std::pair<QTreeWidgetItem*, const NodoAlbero*>> stati;
    for (const auto& [n, padre] : albero.nodi) {
        QTreeWidgetItem* item = nuovoNodo(n.key, n.caption);
        ultimo.value(padre, root)->addChild(item);
        // The parent is the folder shown last one level up, whatever its key says.
        ultimo.insert(n.key, item);
        stati.push_back({item, &n});
        m_salvati.push_back({n.key, n.caption.trimmed()});
    }
    for (const auto& [item, n] : stati) {
        item->setExpanded(n->expanded);
        item->setSelected(n->selected);
    }
    // Numbers given out in this window stay given out.
    for (int i = 1; i <= kLivelloMassimo; ++i)
        LevelMax[i] = std::max(LevelMax[i], albero.levelMax[i]);
    p_str_tree = albero.snapshot;
    m_caricato = true;
}

void FolderTreePanel::ricarica(const QHash<QString, QString>& nuoveChiavi)
{
    QSet<QString> aperti;
    tuttiINodi(radice(), [&](QTreeWidgetItem* item) {
        if (item->isExpanded())
            aperti.insert(nuoveChiavi.value(chiave(item), chiave(item)));
    });
    const QString scelto = nuoveChiavi.value(chiave(selezionato()), chiave(selezionato()));
    stocktree1();
    QScopedValueRollback<bool> guard(m_programmatico, true);
    tuttiINodi(radice(), [&](QTreeWidgetItem* item) { item->setExpanded(aperti.contains(chiave(item))); });
    QTreeWidgetItem* item = nodo(scelto);
    TreeView1->setCurrentItem(item ? item : radice());
}

QString FolderTreePanel::TreeSnapshot(DbResult* error)
{
    if (!m_db) {
        if (error)
            *error = DbResult::failure(DbError::NotFound, QStringLiteral("Archivio non collegato."));
        return QString();
    }
    return snapshot_albero(*m_db, error);
}

QString FolderTreePanel::TreeViewToString(QTreeWidgetItem* start, bool onlyVisible)
{
    if (TreeView1->topLevelItemCount() == 0)
        return QString();
    QTreeWidgetItem* item = start ? start : TreeView1->topLevelItem(0);
    QString result
        = QString(m_depth, QLatin1Char(' ')) + item->text(0) + QLatin1Char('~') + chiave(item) + QStringLiteral("\r\n");
    if (item->childCount() > 0 && (!onlyVisible || item->isExpanded())) {
        ++m_depth;
        for (int i = 0; i < item->childCount(); ++i)
            result += TreeViewToString(item->child(i), onlyVisible);
        --m_depth;
    }
    if (!start) {
        for (int i = 1; i < TreeView1->topLevelItemCount(); ++i)
            result += TreeViewToString(TreeView1->topLevelItem(i), onlyVisible);
    }
    return result;
}

std::vector<NodoAlbero> FolderTreePanel::nodiCorrenti()
{
    return nodi_da_testo(TreeViewToString(nullptr, false));
}

bool FolderTreePanel::memorizzato(const QString& key) const
{
    return std::any_of(m_salvati.begin(), m_salvati.end(), [&key](const NodoAlbero& n) { return n.key == key; });
}

bool FolderTreePanel::modificato()
{
    return nodiCorrenti() != m_salvati;
}

bool FolderTreePanel::salva(const std::vector<NodoAlbero>& nodi)
{
    const SalvataggioAlbero esito = salva_albero(*m_db, p_str_tree, m_salvati, nodi);
    switch (esito.esito) {
    case EsitoAlbero::Scritto:
    case EsitoAlbero::NienteDaScrivere:
        p_str_tree = esito.snapshot;
        m_salvati = nodi;
        return true;
    case EsitoAlbero::ModificatoAltrove: {
        QString testo = kModificatoAltrove + QStringLiteral("\n\n");
        if (esito.nonApplicate.isEmpty())
            testo += QStringLiteral("Le modifiche sono state salvate sulla struttura aggiornata.");
        else
            testo += QStringLiteral("Non è stato possibile salvare:\n- ")
                + esito.nonApplicate.join(QStringLiteral("\n- "));
        msgBox(testo);
        ricarica(esito.nuoveChiavi);
        return esito.nonApplicate.isEmpty();
    }
    case EsitoAlbero::Errore:
        break;
    }
    warn(QStringLiteral("ATTENZIONE !\n\nImpossibile salvare la struttura dei fascicoli.\n\n") + esito.error.message);
    return false;
}

bool FolderTreePanel::SaveTree(const QString& newText)
{
    TreeView1->confermaModifica();
    if (!newText.isEmpty() && selezionato() && selezionato() != radice())
        selezionato()->setText(0, newText);
    const std::vector<NodoAlbero> nodi = nodiCorrenti();
    if (nodi == m_salvati)
        return true;
    if (!m_caricato || !m_db) {
        // What the archive holds was never read: writing over it could lose folders.
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile salvare la struttura dei fascicoli.\n\n"
                            "La struttura non è stata letta dall' archivio."));
        return false;
    }
    return salva(nodi);
}

bool FolderTreePanel::strutturaInvariata()
{
    DbResult error;
    const QString ora = TreeSnapshot(&error);
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere la struttura dei fascicoli.\n\n") + error.message);
        return false;
    }
    if (!m_caricato || ora != p_str_tree) {
        msgBox(kModificatoAltrove);
        return false;
    }
    return true;
}

void FolderTreePanel::AddNode(const QString& mode)
{
    TreeView1->confermaModifica();
    if (!strutturaInvariata())
        return;
    QTreeWidgetItem* sel = selezionato() ? selezionato() : radice();
    if (!sel)
        return;
    const QString selKey = chiave(sel);
    const int livello = sel == radice() ? 0 : livello_chiave(selKey);
    const QString modo = livello == 0 ? QStringLiteral("children") : mode;
    if (modo == QLatin1String("children") && livello > kLivelloMassimo - 1) {
        msgBox(QStringLiteral("Non è consentito inserire nuove etichette oltre tale livello"));
        return;
    }

    QString key;
    QTreeWidgetItem* padre = nullptr;
    int posizione = 0;
    if (modo == QLatin1String("children")) {
        const qint64 n = ++LevelMax[livello + 1];
        key = (livello == 0 ? QString() : selKey) + QString::number(n) + QLatin1Char('\\');
        padre = sel;
        posizione = sel->childCount();
    } else {
        const qint64 n = ++LevelMax[livello];
        padre = sel->parent() ? sel->parent() : radice();
        key = (padre == radice() ? QString() : chiave(padre)) + QString::number(n) + QLatin1Char('\\');
        posizione = padre->indexOfChild(sel) + (modo == QLatin1String("before") ? 0 : 1);
    }

    QTreeWidgetItem* item = nullptr;
    {
        QScopedValueRollback<bool> guard(m_programmatico, true);
        item = nuovoNodo(key, QStringLiteral("..."));
        padre->insertChild(posizione, item);
        padre->setExpanded(true);
        item->setExpanded(false);
    }
    TreeView1->setCurrentItem(item);
    TreeView1->scrollToItem(item);
    TreeView1->editItem(item, 0);
}

void FolderTreePanel::RemoveNode()
{
    TreeView1->confermaModifica();
    QTreeWidgetItem* sel = selezionato();
    if (!sel || !m_db)
        return;
    if (sel == radice()) {
        msgBox(QStringLiteral("La rimozione del nodo FASCICOLI non è consentita"));
        return;
    }
    if (!strutturaInvariata())
        return;
    if (sel->childCount() > 0) {
        msgBox(QStringLiteral("E' necessario eliminare prima i sottonodi !"));
        return;
    }
    if (!askYesNo(QStringLiteral("Confermi l' eliminazione del nodo ") + sel->text(0)))
        return;

    // The folder, its links and every other change of the tree are stored together, or not at
    // all: the folder leaves the tree only once the archive has let it go.
    const QString key = chiave(sel);
    std::vector<NodoAlbero> nodi = nodiCorrenti();
    nodi.erase(std::remove_if(nodi.begin(), nodi.end(), [&key](const NodoAlbero& n) { return n.key == key; }),
               nodi.end());
    const QString prima = p_str_tree;
    if (salva(nodi)) {
        if (QTreeWidgetItem* rimosso = nodo(key)) {
            QScopedValueRollback<bool> guard(m_programmatico, true);
            delete rimosso;
        }
    } else if (p_str_tree == prima) {
        return; // nothing stored: the tree stays as it was
    }
    emit nodoRimosso();
}

void FolderTreePanel::SetTreeRedraw(bool on)
{
    TreeView1->setUpdatesEnabled(on);
}

void FolderTreePanel::ExpandAll()
{
    SetTreeRedraw(false);
    if (QTreeWidgetItem* r = radice())
        tuttiINodi(r, [](QTreeWidgetItem* item) { item->setExpanded(true); });
    SetTreeRedraw(true);
}

void FolderTreePanel::CollapseAll()
{
    SetTreeRedraw(false);
    // The root keeps its state.
    if (QTreeWidgetItem* r = radice()) {
        tuttiINodi(r, [r](QTreeWidgetItem* item) {
            if (item != r)
                item->setExpanded(false);
        });
    }
    SetTreeRedraw(true);
}

void FolderTreePanel::espandiSingolo()
{
    QAction* singolo = pulsante(QStringLiteral("esclusive_modo"));
    QTreeWidgetItem* sel = selezionato();
    if (!singolo || !singolo->isChecked() || !sel)
        return;
    QSet<QTreeWidgetItem*> ramo;
    for (QTreeWidgetItem* i = sel; i; i = i->parent())
        ramo.insert(i);
    tuttiINodi(radice(), [&ramo](QTreeWidgetItem* item) {
        if (!ramo.contains(item))
            item->setExpanded(false);
    });
    for (QTreeWidgetItem* i : ramo)
        i->setExpanded(true);
}

void FolderTreePanel::tool_tree_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->objectName();
    if (key == QLatin1String("add_node"))
        AddNode(QStringLiteral("after"));
    else if (key == QLatin1String("remove_node"))
        RemoveNode();
    else if (key == QLatin1String("open_all"))
        ExpandAll();
    else if (key == QLatin1String("close_all"))
        CollapseAll();
    else if (key == QLatin1String("esclusive_modo"))
        espandiSingolo();
    else if (key == QLatin1String("sel_livello"))
        emit livelloCambiato();
}

void FolderTreePanel::tool_tree_ButtonMenuClick(QAction* ButtonMenu)
{
    if (!ButtonMenu)
        return;
    const QString key = ButtonMenu->objectName();
    if (key == QLatin1String("new_down"))
        AddNode(QStringLiteral("after"));
    else if (key == QLatin1String("new_up"))
        AddNode(QStringLiteral("before"));
    else if (key == QLatin1String("new_child"))
        AddNode(QStringLiteral("children"));
}

void FolderTreePanel::testoModificato(QTreeWidgetItem* item, int column)
{
    if (m_programmatico || column != 0 || !item)
        return;
    const QString testo = item->text(0);
    if (caption_valida(testo)) {
        QScopedValueRollback<bool> guard(m_programmatico, true);
        item->setData(0, kRuoloTesto, testo);
        return;
    }
    // A blank name, or one holding "~" (the tree text's separator), is refused: the folder
    // keeps its previous name.
    {
        QScopedValueRollback<bool> guard(m_programmatico, true);
        item->setText(0, item->data(0, kRuoloTesto).toString());
    }
    warn(QStringLiteral("ATTENZIONE !\n\nIl nome del fascicolo non può essere vuoto "
                        "né contenere il carattere ~"));
}

} // namespace quad

#include "frm_add_tree.h"

#include "data_control.h"
#include "folder_links.h"
#include "folder_tree_panel.h"

#include "message_service.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frm_add_tree::frm_add_tree(const QString& connectionString, const SchedaDaArchiviare& scheda,
                           std::function<void(const QString&)> archiviata, QWidget* parent)
    : QDialog(parent)
    , m_scheda(scheda)
    , m_archiviata(std::move(archiviata))
{
    setObjectName(QStringLiteral("frm_add_tree"));
    setWindowTitle(QStringLiteral("Quadernolo"));
    setModal(true);
    resize(360, 420);

    Picture1 = new FolderTreePanel(false, this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);

    frame_msg = new QGroupBox(this);
    frame_msg->setObjectName(QStringLiteral("frame_msg"));
    lbl_msg1 = new QLabel(QStringLiteral("Associa il quadernolo al nodo :"), frame_msg);
    lbl_msg1->setObjectName(QStringLiteral("lbl_msg1"));
    lbl_msg = new QLabel(frame_msg);
    lbl_msg->setObjectName(QStringLiteral("lbl_msg"));
    cmd_msg = {new QPushButton(QStringLiteral("Conferma"), frame_msg), nullptr,
               new QPushButton(QStringLiteral("Annulla"), frame_msg)};
    auto* msgLayout = new QVBoxLayout(frame_msg);
    msgLayout->addWidget(lbl_msg1);
    msgLayout->addWidget(lbl_msg);
    auto* msgButtons = new QHBoxLayout;
    for (int i : {0, 2}) {
        cmd_msg[i]->setObjectName(QStringLiteral("cmd_msg_%1").arg(i));
        msgButtons->addWidget(cmd_msg[i]);
        connect(cmd_msg[i], &QPushButton::clicked, this, [this, i] { cmd_msg_Click(i); });
    }
    msgLayout->addLayout(msgButtons);
    frame_msg->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Picture1, 1);
    layout->addLayout(buttons);
    layout->addWidget(frame_msg);

    connect(OKButton, &QPushButton::clicked, this, &frm_add_tree::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frm_add_tree::CancelButton_Click);

    DbResult error;
    m_db = DataControl::connectionFor(connectionString, &error);
    Picture1->setConnection(m_db);
}

void frm_add_tree::Form_Load()
{
    Picture1->stocktree1();
    Picture1->ExpandAll();
    if (QTreeWidgetItem* root = Picture1->radice())
        Picture1->selezionaNodo(root);
}

void frm_add_tree::done(int result)
{
    // Every way out of the dialog stores the tree once.
    if (!m_scaricato) {
        m_scaricato = true;
        Picture1->SaveTree();
    }
    QDialog::done(result);
}

void frm_add_tree::CancelButton_Click()
{
    reject();
}

void frm_add_tree::OKButton_Click()
{
    Picture1->confermaModifica();
    QTreeWidgetItem* sel = Picture1->selezionato();
    m_chiave = FolderTreePanel::chiave(sel);
    if (m_chiave.isEmpty()) {
        msgBox(QStringLiteral("Nessun nodo selezionato !"));
        return;
    }
    if (m_chiave == kRadiceFascicoli) {
        msgBox(QStringLiteral("Non è possibile associare schede a tale livello !"));
        return;
    }
    // A folder added here is stored before an entry is filed in it, so that no link ever names a
    // folder the archive does not hold.
    if (!Picture1->memorizzato(m_chiave)) {
        if (!Picture1->SaveTree())
            return;
        // Stored over another station's change, the folder may have been given another key.
        sel = Picture1->selezionato();
        m_chiave = FolderTreePanel::chiave(sel);
        if (!Picture1->memorizzato(m_chiave))
            return;
    }
    lbl_msg->setText(FolderTreePanel::percorso(sel));
    Picture1->hide();
    OKButton->hide();
    CancelButton->hide();
    frame_msg->show();
    // The form takes the height of its message and buttons, with no empty space around them.
    layout()->activate();
    setFixedHeight(sizeHint().height());
    cmd_msg_Click(0);
}

void frm_add_tree::cmd_msg_Click(int Index)
{
    if (Index == 0) {
        QTreeWidgetItem* sel = Picture1->nodo(m_chiave);
        const QString percorso = FolderTreePanel::percorso(sel);
        if (askYesNo(
                QStringLiteral("Confermi l' inserimento del quadernolo N. %1\n\nnel fascicolo ").arg(m_scheda.numero)
                    + (sel ? sel->text(0) : QString()),
                QStringLiteral("Quadernolo"))) {
            const DbResult esito = m_db
                ? archivia_scheda(*m_db, m_chiave, m_scheda.numero, m_scheda.tipo, percorso)
                : DbResult::failure(DbError::NotFound, QStringLiteral("Archivio non collegato."));
            if (esito.code == DbError::NotFound)
                warn(QStringLiteral("ATTENZIONE !\n\n") + esito.message
                     + QStringLiteral("\n\nIl quadernolo non è stato collegato."));
            else if (!esito.ok())
                msgBox(QStringLiteral("Si è verificato un errore !\n\n") + esito.message);
            else if (m_archiviata)
                m_archiviata(percorso);
        }
    }
    accept();
}

void apri_frm_add_tree(QWidget* parent, const QString& connectionString, const SchedaDaArchiviare& scheda,
                       const std::function<void(const QString&)>& archiviata)
{
    frm_add_tree dialogo(connectionString, scheda, archiviata, parent);
    dialogo.Form_Load();
    dialogo.exec();
}

} // namespace quad

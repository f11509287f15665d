#pragma once

#include "database.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;

namespace quad {

class FolderTreePanel;

/// The entry the filing dialog files: its number and direction.
struct SchedaDaArchiviare
{
    qint64 numero = 0;
    QString tipo; ///< "E" or "U"
};

/// The filing dialog: files one register entry into the folder chosen in its tree, after a
/// question, writing the link and the entry's folder path together. Folders can be added in it;
/// the tree is saved when it closes.
class frm_add_tree : public QDialog
{
    Q_OBJECT
public:
    /// archiviata runs after a filing was stored, with the folder's full path.
    frm_add_tree(const QString& connectionString, const SchedaDaArchiviare& scheda,
                 std::function<void(const QString&)> archiviata, QWidget* parent);

    /// Loads the tree, expands it and selects the root.
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    /// 0 files the entry; every index then closes the dialog.
    void cmd_msg_Click(int Index);

    void done(int result) override;

private:
    FolderTreePanel* Picture1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QGroupBox* frame_msg = nullptr;
    QLabel* lbl_msg1 = nullptr;
    QLabel* lbl_msg = nullptr;
    std::vector<QPushButton*> cmd_msg; ///< 0 "Conferma", 2 "Annulla" (1 unused)

    std::shared_ptr<Connection> m_db;
    SchedaDaArchiviare m_scheda;
    std::function<void(const QString&)> m_archiviata;
    QString m_chiave; ///< the folder chosen by OK
    bool m_scaricato = false;
};

/// Opens the filing dialog over parent for scheda; returns when it closed.
void apri_frm_add_tree(QWidget* parent, const QString& connectionString, const SchedaDaArchiviare& scheda,
                       const std::function<void(const QString&)>& archiviata);

} // namespace quad

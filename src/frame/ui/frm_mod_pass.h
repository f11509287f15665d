#pragma once

#include "working_state.h"

#include <QDialog>
#include <QString>

#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace quad {

/// The start menu's "Database": asks "Compattare il database?" (titled with owner's window caption),
/// chooses the archive (a historical one in the chooser when there are any, otherwise the live one),
/// compacts it and shows how it went.
void cmd_menu_database(QWidget* owner, WorkingState& s);

/// The settings dialog "Quadernolo - Impostazioni programma": the station's role, the network
/// register switch, the back-up at exit and its folder, the removal of a stale issuing lock
/// (panel "Generale"), the password change (panel "Password") and the office list (panel
/// "Elenco A.O.O.", Server stations only). Every closing writes the General panel's five keys.
class frm_mod_pass : public QDialog
{
    Q_OBJECT
public:
    frm_mod_pass(WorkingState& state, QWidget* parent);

    /// Fills the office list from the working state.
    void visualizza_txt_percorso();

    // Handlers. Key handlers take Qt key codes and return true when they used the key.
    void Form_Load();
    void TabStrip1_Click();
    void Option1_Click(int Index);
    bool txt_server_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void cmd_back_up_Click();
    void cmd_kill_Click();
    void Command4_Click();
    void Form_Unload();

    void Command1_Click();
    void Command2_Click();

    void List1_Click();
    void List1_DblClick();
    void List1_GotFocus();
    void List1_LostFocus();
    bool List1_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void cmd_add_uffici_Click();
    void cmd_del_uff_Click();
    void cmd_corr_uff_Click();
    void cmd_corr_Click(int Index);
    bool txt_corr_KeyPress(int KeyAscii);
    void pic_sfoglia_Click();
    bool txt_percorso_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void Command3_Click();

    /// The folder of the archive file the user picks, or "" (another file, a missing one, cancel).
    QString scegli_archivio();
    /// A folder picked in the folder chooser starting at start, or "" on cancel.
    QString sfoglia_cartella(const QString& start);
    void mostra_percorso(int index);
    void salva_elenco_uffici();
    void avvia_correzione_uffici();

    /// The selected row of List1, -1 when none is selected.
    int listIndex() const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Tab strip: "Generale", "Password", "Elenco A.O.O.".
    QTabBar* TabStrip1 = nullptr;

    // General panel.
    QFrame* Frame2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QCheckBox* chk_back_up = nullptr;
    QPushButton* cmd_back_up = nullptr;
    QLabel* lbl_back_up = nullptr;
    QGroupBox* frame_postazione = nullptr;
    std::vector<QRadioButton*> Option1; ///< 0 "Server", 1 "Client"
    QLabel* lbl_server = nullptr;
    QLineEdit* txt_server = nullptr;
    QFrame* Frame6 = nullptr;
    QPushButton* cmd_kill = nullptr;
    QCheckBox* chk_rete = nullptr;
    QPushButton* Command4 = nullptr;

    // Password panel.
    QFrame* Frame4 = nullptr;
    QFrame* Frame3 = nullptr;
    QLineEdit* Text4 = nullptr; ///< current password
    QLineEdit* Text2 = nullptr; ///< new password
    QLineEdit* Text3 = nullptr; ///< confirmation
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    // Office list panel.
    QFrame* Frame1 = nullptr;
    QListWidget* List1 = nullptr; ///< each row's item data is its slot in percorsi_uffici
    QLabel* lbl_percorso = nullptr;
    QLineEdit* txt_percorso = nullptr;
    QPushButton* pic_sfoglia = nullptr;
    QPushButton* cmd_add_uffici = nullptr;
    QPushButton* cmd_del_uff = nullptr;
    QPushButton* cmd_corr_uff = nullptr;
    QPushButton* Command3 = nullptr;
    QFrame* frm_corr = nullptr;
    QLabel* lbl_corr = nullptr;
    QLineEdit* txt_corr = nullptr;
    std::vector<QPushButton*> cmd_corr; ///< 0 "Salva", 1 "Annulla"
    std::vector<QString> percorsi_uffici; ///< one folder per office as loaded

    void buildGeneral();
    void buildPassword();
    void buildOffices();
    void mostra_generale();
    /// F2 in box: the folder of the archive file the user picks replaces its text; another file or
    /// a cancel leaves it. True when the key was F2.
    bool archivio_con_f2(QLineEdit* box, int KeyCode);
    void termina_correzione();
    int slotOf(int row) const;
    void selectRow(int row);
    void unload();

    WorkingState& m_state;
    bool m_unloaded = false;
};

} // namespace quad

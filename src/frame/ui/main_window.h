#pragma once

#include "database.h"
#include "print_panel.h"
#include "recordset.h"
#include "register_widget.h"
#include "window_parts.h"
#include "working_state.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QPushButton;

namespace quad {

/// The main window: the start frame with its menu, the tool strip, the two views of the open
/// register (the grid and the entry mask), the pop-up panels, the data controls over the open
/// register and the session's state.
///
/// The window composes parts that own their controls (window_parts.h, the grid MainGrid, the
/// mask's MaskController and MaskPickers, the print and address-book panels); each part carries
/// the name the program gives its container, and its controls keep theirs as objectName. The
/// window's own handlers are spread over files by concern: start-up and login, opening the
/// register, the tool bars, the data controls, the entries, the folders and notifications, the
/// layout and the exit.
class Quadernolo : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);
    ~Quadernolo() override;

    /// The session's state: settings, historical archives, the archive in use.
    WorkingState state;

    // --- parts --------------------------------------------------------------------------------
    StartFrame* Frame1 = nullptr; ///< the start frame, with the archive button Command1
    StartMenu* frm_menu = nullptr; ///< the start menu, with cmd_menu
    FrameScroll* m_scorrimento = nullptr; ///< VScroll1, HScroll1 and their corner cmd_scroll
    ToolStrip* pic_tool_orizz = nullptr; ///< the tool strip, with Toolbar1, Toolbar2 and their images
    PopupButtons* Picture4 = nullptr; ///< new-entry pop-up: cmd_ins 0 "ENTRATA", 1 "USCITA"
    PrintPanel* Picture1 = nullptr; ///< print pop-up, with cmd_print
    StatusArea* m_stato = nullptr; ///< Frame3 with the archive in use, frm_label, lbl_msg
    /// The register's window: the grid, the mask and everything that shows the open register.
    RegisterWidget* m_registro = nullptr;
    RegisterTimers* m_timers = nullptr; ///< Timer1 and Timer2

    // --- start-up and login (startup.cpp) -------------------------------------------------
    /// The start sequence: logo, settings, login (three attempts), historical archives, start
    /// menu. False when the login failed and the program was ended.
    bool Form_Load();
    /// Copies the template to the live archive when that is missing. False, with the cause in
    /// *why, when the copy could not be made (nothing of it is left).
    bool percorso_arch_base(QString* why);
    /// True when the live archive opens with p_password. False otherwise; when the live archive
    /// could not even be made from the template, *why says so and why (the password has no part).
    bool prova_apertura_archivio(QString* why);
    /// Lists the SUB_ folders of the program folder into p_sub_use / p_sub_dir.
    void raccogli_archivi_storici();
    /// Shows the login dialog once; p_password changes only on OK.
    void mostra_login();
    /// Shows the login dialog once; true, with the password typed, on OK.
    bool chiedi_password(QString* password);
    /// Ends the program. Tests override it to observe the end instead.
    virtual void termina_programma();

    // --- opening the register (archive_open.cpp) ------------------------------------------
    void Command1_Click();
    /// True when the archive of p_path_cartella (the program folder when empty) exists or the
    /// clerk located it.
    bool verifica_archivio();
    bool scegli_cartella_archivio();
    void imposta_modo_storico();
    /// The archive file of a data folder as stored in p_path_cartella.
    QString percorso_archivio(const QString& cartella) const;
    /// The key that opens archive: p_password, or for an archive keyed otherwise the password
    /// the clerk types for it (asked again while it does not open), with the program's connection
    /// it opened in *aperta. Only a password that opens the live archive becomes the session's.
    /// False when the clerk closed the dialog.
    bool chiave_archivio(const QString& archivio, QString* chiave, std::shared_ptr<Connection>* aperta);
    /// The password of the archive in use asked while the register is open, when the key it was
    /// opened with no longer opens it: asked again until one opens it, which the register reads
    /// and writes it with from now on (true); the session's p_password stays. False when the
    /// clerk closed the dialog (*rinuncia) or the archive could not be read (the clerk was told):
    /// nothing changed.
    bool chiave_archivio_in_uso(bool* rinuncia);
    /// chiave_archivio_in_uso when a read of the register met the key: a cancel leaves the
    /// register as it is, with a message.
    void chiedi_chiave_archivio_in_uso();
    /// True while a historical archive (a SUB_ folder) is in use: nothing is registered into it.
    bool archivio_storico_in_uso() const;

    // --- start menu and tool bars (toolbar_dispatch.cpp) ----------------------------------
    void cmd_menu_Click(int Index);
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar2_ButtonClick(QAction* Button);
    /// Leaves the register for the start menu.
    void ripristina_menu();
    void Timer1_Timer();
    /// Hides the print and new-entry pop-ups.
    void nascondi_popup();
    /// The tb_modo button and the filing button as the view shown asks.
    void vista_cambiata(bool maschera);

    // --- dialogs of the start menu (hooks.cpp) ------------------------------------------
    void apri_impostazioni();
    void compatta_archivi();
    void esegui_back_up();

    // --- folders (folder_actions.cpp) -----------------------------------------------------
    void apri_fascicoli();
    void apri_collega_fascicolo();
    /// The list of the current entry's folders.
    void cmd_tree_Click();

    // --- office notification and transfer file (notification_actions.cpp) ------------------
    /// picOpenWWW(1): on a "Server" station, forwards the undelivered rows of the competent
    /// office of the entry on screen, then saves the entry and moves to the last row.
    void inoltra_ufficio_competente();
    /// modo 1: the notification file of ufficio's rows; modo 0: the transfer file of the rows
    /// selected in the grid (ufficio only shows in the question); other values do nothing.
    void esporta_notifica(int modo, const QString& ufficio);
    /// Imports a received notification file: true when it went in (or another station took it
    /// meanwhile), false with the reason in *perche when it did not.
    virtual bool importa_notifica(const QString& path, QString* perche);
    /// Reads a transfer file (named relative to the program folder) into the archive; true when
    /// it went in.
    bool importa_file_trasferimento(const QString& nome);
    /// The writer's progress in lbl_msg.
    void mostra_messaggio_stato(int modo, int n);

    // --- leaving the register (exit.cpp) ------------------------------------------------------
    /// Leaves the open register for the start menu, asking to save a modified entry; false when
    /// the register stays (incomplete entry, failed save).
    bool lascia_registro();
    /// Puts the register's window away and the start menu back.
    void chiudi_registro();

    // --- layout (layout.cpp) --------------------------------------------------------------
    void Form_Resize();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaControlli();
    void creaPannelli();
    void collegaSegnali();
    void caricaLogo();
    /// Puts back what a failed opening had started.
    void annulla_apertura(const QString& cartellaPrecedente);

    QWidget* m_centrale = nullptr;
};

} // namespace quad

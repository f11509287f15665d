#pragma once

#include "working_state.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QAction;

namespace quad {

class ArchiveOpening;
class FolderActions;
class FrameScroll;
class NotificationActions;
class PopupButtons;
class PrintPanel;
class RegisterWidget;
class StartFrame;
class StartMenu;
class StartupLogin;
class StatusArea;
class ToolStrip;

/// The main window, the roof over the register's window: it composes the register's window
/// (RegisterWidget: the grid, the mask and the open register) with the start frame and its menu,
/// the tool strip, the new-entry and print pop-ups, the status area and the area's scroll bars, and
/// dispatches the tool bars and the start menu to the register's window's slots and to its own
/// parts: start-up and login (StartupLogin), the opening of an archive (ArchiveOpening), the
/// notifications and the transfer file with their timers (NotificationActions) and the folders
/// (FolderActions). Its own handlers are the menu and tool-bar dispatch, the layout and the exit.
class Quadernolo : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);
    ~Quadernolo() override;

    /// The session's state: settings, historical archives, the archive in use.
    WorkingState state;

    /// The start sequence: logo, settings, login (three attempts), historical archives, start
    /// menu. False when the login failed and the program was ended.
    bool Form_Load();
    /// Ends the program. Tests override it to observe the end instead.
    virtual void termina_programma();
    /// Imports a received notification file: true when it went in (or another station took it
    /// meanwhile), false with the reason in *perche when it did not. Tests override it to observe
    /// the timed look instead.
    virtual bool importa_notifica(const QString& path, QString* perche);

    // --- start menu and tool bars (main_window_toolbars.cpp) -------------------------------------
    void Command1_Click();
    void cmd_menu_Click(int Index);
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar2_ButtonClick(QAction* Button);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void crea_controlli();
    void collega_segnali();
    /// The register just opened takes the start menu's place: the tool bars, the views, the
    /// timers, the archive in use.
    void mostra_registro();
    /// Hides the print and new-entry pop-ups.
    void nascondi_popup();
    /// Places the window's regions whenever it changes size (main_window_layout.cpp).
    void Form_Resize();

    // --- leaving the register (main_window_exit.cpp) ---------------------------------------------
    /// Leaves the open register for the start menu, asking to save a modified entry; false when
    /// the register stays (incomplete entry, failed save).
    bool lascia_registro();
    /// Stops the timers and hides the pop-ups and the tool bars.
    void ripristina_menu();
    /// Puts the register's window away and the start menu back.
    void chiudi_registro();

    QWidget* m_centrale = nullptr;
    /// The register's window: the grid, the mask and everything that shows the open register.
    RegisterWidget* m_finestraRegistro = nullptr;
    StartFrame* Frame1 = nullptr; ///< the start frame, with the archive button Command1
    StartMenu* frm_menu = nullptr; ///< the start menu, with cmd_menu
    FrameScroll* m_scorrimento = nullptr; ///< VScroll1, HScroll1 and their corner cmd_scroll
    ToolStrip* pic_tool_orizz = nullptr; ///< the tool strip, with Toolbar1, Toolbar2 and their images
    PopupButtons* Picture4 = nullptr; ///< new-entry pop-up: cmd_ins 0 "ENTRATA", 1 "USCITA"
    PrintPanel* Picture1 = nullptr; ///< print pop-up, with cmd_print
    StatusArea* m_stato = nullptr; ///< Frame3 with the archive in use, frm_label, lbl_msg
    std::unique_ptr<StartupLogin> m_avvio;
    ArchiveOpening* m_apertura = nullptr;
    NotificationActions* m_notifiche = nullptr;
    FolderActions* m_fascicoli = nullptr;
};

} // namespace quad

#pragma once
// The regions of the main window that hold controls of their own: each is the container the
// program names, with its controls as members named as the program names them.

#include "control_factory.h"

#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QStringList>

#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolBar;
class QTimer;
class QToolButton;

namespace quad {

/// The main window's minimum outer size, in pixels.
constexpr int kDimensioneMinima = tw(2500);

/// The start frame Frame1: the archive button, the logo and the decorative picture of the two
/// directions (never shown).
class StartFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit StartFrame(QWidget* parent);

    QPushButton* Command1 = nullptr; ///< "ARCHIVIO": opens the register
    QLabel* Img_logo = nullptr;
    QWidget* Picture5 = nullptr;
    QPushButton* cmd_entrata = nullptr;
    QPushButton* cmd_uscita = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};

/// The start-menu strip frm_menu with its buttons cmd_menu (0..5; none at 2, 3 hidden).
class StartMenu : public QFrame
{
    Q_OBJECT
public:
    explicit StartMenu(QWidget* parent);

    std::vector<QToolButton*> cmd_menu;

    /// Packs "Esci" and "Manuale" against the right edge of a strip width wide.
    void dispose(int width);

signals:
    void clicked(int Index);
};

/// The tool strip pic_tool_orizz: Toolbar1 with the register's commands and, at its right end,
/// Toolbar2 with the one-field filter and the manual; the image lists of both.
class ToolStrip : public QWidget
{
    Q_OBJECT
public:
    explicit ToolStrip(QWidget* parent);

    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    /// Images of both tool bars, 1-based as the buttons address them (index 0 unused).
    std::vector<QIcon> ImageList1;
    QStringList ImageList1Keys; ///< keys, same indexes
    std::vector<QIcon> ImageList2;
    QComboBox* ImageCombo1 = nullptr;

    /// Tool-bar button by its 1-based index, or nullptr.
    QAction* Toolbar1_Buttons(int index) const;
    QAction* Toolbar2_Buttons(int index) const;
    /// Tool-bar button (of either bar) by key, or nullptr.
    QAction* toolbarButton(const QString& key) const;
    /// Spreads the strip over width: Toolbar2 at the right end, Toolbar1 over the rest.
    void dispose(int width);
    /// The one-field filter button "tb_filtro_off" pressed ("Filtro off", "Disattiva filtro") or
    /// released ("Filtro on", "Imposta filtro").
    void mostra_filtro(bool premuto);
};

/// A pop-up of buttons under a tool-bar button: the new-entry pop-up Picture4 with cmd_ins.
class PopupButtons : public QFrame
{
    Q_OBJECT
public:
    /// One button per caption, named name_0, name_1, ..., stacked, each height high.
    PopupButtons(const QString& objectName, const char* buttonName, const QStringList& captions, int width, int height,
                 QWidget* parent);

    std::vector<QPushButton*> buttons;

signals:
    void clicked(int Index);
};

/// The frame Frame3, just above the bottom bar, with the name of the archive in use lbl_sub_arch.
class ArchiveCaption : public QGroupBox
{
    Q_OBJECT
public:
    explicit ArchiveCaption(QWidget* parent);

    QLabel* lbl_sub_arch = nullptr;
};

/// The banner frm_label of a historical archive's consultation, with lbl_storico.
class HistoricalBanner : public QFrame
{
    Q_OBJECT
public:
    explicit HistoricalBanner(QWidget* parent);

    QLabel* lbl_storico = nullptr;
};

/// The two timers of the open register, Timer1 (the look for received notifications, 65535 ms)
/// and Timer2 (1000 ms, without an action), and the state of that look.
class RegisterTimers : public QObject
{
    Q_OBJECT
public:
    explicit RegisterTimers(QObject* parent);

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    /// A look, an import or an export is under way: a tick does nothing meanwhile.
    bool inCorso = false;
    /// Notification files already told as unreadable.
    QStringList illeggibili;
};

/// The scroll bars of the window's area: VScroll1 moves the start frame when the window is too
/// low for it (the mask when the start frame is hidden, through scorrimento()); HScroll1 is never
/// shown; cmd_scroll fills the corner below them.
class FrameScroll : public QObject
{
    Q_OBJECT
public:
    FrameScroll(QWidget* area, QWidget* startFrame);

    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* cmd_scroll = nullptr;

signals:
    /// VScroll1 moved to value while the start frame is hidden: the mask follows it.
    void scorrimento(int value);

private:
    void VScroll1_Change(int value);

    QWidget* m_startFrame;
};

/// The status of the window: the archive in use (Frame3), the banner of a historical archive
/// (frm_label) and the message line lbl_msg of the notifications.
class StatusArea : public QObject
{
    Q_OBJECT
public:
    explicit StatusArea(QWidget* area);

    ArchiveCaption* Frame3 = nullptr;
    HistoricalBanner* frm_label = nullptr;
    QLabel* lbl_msg = nullptr;
};

} // namespace quad

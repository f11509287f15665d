#pragma once
// The regions of the main window that hold controls of their own: each is the container the
// program names, with its controls named as the program names them, kept to itself.

#include "control_factory.h"

#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QStringList>

#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QPixmap;
class QPushButton;
class QScrollBar;
class QToolBar;
class QToolButton;

namespace quad {

/// The main window's minimum outer size, in pixels.
constexpr int kDimensioneMinima = tw(2500);

/// The start frame Frame1: the archive button Command1, the logo Img_logo and the decorative
/// picture of the two directions (never shown).
class StartFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit StartFrame(QWidget* parent);

    void mostra_logo(const QPixmap& logo);
    /// The archive button in front of the frame's other controls.
    void alza_archivio();

signals:
    /// "ARCHIVIO": the register is asked to open.
    void archivio_richiesto();

private:
    QPushButton* Command1 = nullptr;
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

    /// Packs "Esci" and "Manuale" against the right edge of a strip width wide.
    void dispose(int width);

signals:
    void clicked(int Index);

private:
    std::vector<QToolButton*> cmd_menu;
};

/// The tool strip pic_tool_orizz: Toolbar1 with the register's commands and, at its right end,
/// Toolbar2 with the one-field filter and the manual; the image lists of both.
class ToolStrip : public QWidget
{
    Q_OBJECT
public:
    explicit ToolStrip(QWidget* parent);

    /// Tool-bar button by its 1-based index, or nullptr.
    QAction* Toolbar1_Buttons(int index) const;
    QAction* Toolbar2_Buttons(int index) const;
    /// Tool-bar button (of either bar) by key, or nullptr.
    QAction* toolbarButton(const QString& key) const;
    /// Image index of the first image list (1-based, as the buttons address them).
    QIcon immagine(int index) const;
    /// The keys of the first image list, same indexes (index 0 unused).
    QStringList chiavi_immagini() const { return ImageList1Keys; }
    /// The width both tool bars' buttons take.
    int larghezza_barre() const;
    /// Spreads the strip over width: Toolbar2 at the right end, Toolbar1 over the rest.
    void dispose(int width);
    /// Both tool bars shown or hidden.
    void mostra_barre(bool mostra);
    /// Both tool bars and the filing button in use, or out of use.
    void abilita_barre(bool abilitate);
    /// The view switch tb_modo as the view shown asks (from the mask to the grid, or back), and the
    /// filing button tb_add_tree, which files the entry of the mask only.
    void mostra_vista(bool maschera);
    /// The one-field filter button "tb_filtro_off" pressed ("Filtro off", "Disattiva filtro") or
    /// released ("Filtro on", "Imposta filtro").
    void mostra_filtro(bool premuto);

signals:
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar2_ButtonClick(QAction* Button);
    /// A click on a tool bar beside its buttons.
    void clic_sulle_barre();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    /// Images of both tool bars, 1-based as the buttons address them (index 0 unused).
    std::vector<QIcon> ImageList1;
    QStringList ImageList1Keys; ///< keys, same indexes
    std::vector<QIcon> ImageList2;
    QComboBox* ImageCombo1 = nullptr;
};

/// A pop-up of buttons under a tool-bar button: the new-entry pop-up Picture4 with cmd_ins.
class PopupButtons : public QFrame
{
    Q_OBJECT
public:
    /// One button per caption, named name_0, name_1, ..., stacked, each height high.
    PopupButtons(const QString& objectName, const char* buttonName, const QStringList& captions, int width, int height,
                 QWidget* parent);

signals:
    void clicked(int Index);

private:
    std::vector<QPushButton*> buttons;
};

/// The scroll bars of the window's area: VScroll1 moves the start frame when the window is too
/// low for it (it is hidden while the start frame is); HScroll1 is never shown; cmd_scroll fills
/// the corner below them.
class FrameScroll : public QObject
{
    Q_OBJECT
public:
    FrameScroll(QWidget* area, QWidget* startFrame);

    /// While the start frame shows: VScroll1 along the right edge of an area cw x ch, below the
    /// tool strip (barra high), when the frame does not fit; hidden when it does, and while the
    /// start frame is hidden.
    void adatta(int cw, int ch, int barra);
    /// The corner button at the area's bottom right, shown while a scroll bar is.
    void disponi_angolo(int cw, int ch);

private:
    void VScroll1_Change(int value);

    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* cmd_scroll = nullptr;
    QWidget* m_startFrame;
};

/// The status of the window: the archive in use (Frame3 with lbl_sub_arch, just above the bottom
/// bar), the banner of a historical archive's consultation (frm_label with lbl_storico) and the
/// message line lbl_msg of the notifications.
class StatusArea : public QObject
{
    Q_OBJECT
public:
    explicit StatusArea(QWidget* area);

    /// "testo" as the archive in use.
    void mostra_archivio(const QString& testo);
    /// The archive in use beneath the widget sopra, whose lists and panels are then drawn over it;
    /// with none, in front of everything.
    void poni_archivio_sotto(QWidget* sopra);
    void nascondi_archivio();
    void nascondi_storico();
    /// The message line's text; at once drawn when subito.
    void mostra_messaggio(const QString& testo, bool subito);
    /// The archive in use just above the bar at the foot of an area altezza high.
    void disponi(int altezza, int altezzaFondo);

private:
    QGroupBox* Frame3 = nullptr;
    QLabel* lbl_sub_arch = nullptr;
    QFrame* frm_label = nullptr;
    QLabel* lbl_storico = nullptr;
    QLabel* lbl_msg = nullptr;
};

} // namespace quad

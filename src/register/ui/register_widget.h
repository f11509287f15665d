#pragma once

#include "open_register.h"
#include "recordset.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QIcon;
class QPixmap;

namespace quad {

class AddressBookPanel;
class AXDbAutoComplete;
class DataControl;
class EntryActions;
class EntryMask;
class FieldBinder;
class MainGrid;
class MaskController;
class MaskPickers;
class MaskViewport;
class NavigationStrip;
struct RegisterSettings;

/// The register's window: the open register (OpenRegister, the model without widgets) shown as
/// the register grid DataGrid1 or as the entry mask Frm_mask in its viewport Pic_mask, with the
/// register's data control Adodc1 and the navigation strip pic_move at the foot, the pickers and
/// the address-book panel Pic_nomi, the field binder, the focus sink cmd_focus, the mask's
/// handlers (MaskController) and the entries' actions (EntryActions). It owns all of them; it
/// covers the window's area, its controls in the places the window gives them.
///
/// It offers the clerk's intents as slots (a new entry in a direction, save if modified, move,
/// leave, show the mask or the grid, open and close over an archive, find and filter) and tells
/// what happened by its signals; the window around it owns the tool bars, the pop-ups, the menus
/// and the timers, and reads and asks the open register (registro()) for its other actions.
class RegisterWidget : public QWidget
{
    Q_OBJECT
public:
    /// impostazioni: the session's settings the window works with, read when needed (the column
    /// chooser writes its mask back); they outlive the widget. cartellaDati gives the data folder
    /// of the archive in use (where the issuing lock lives).
    RegisterWidget(RegisterSettings& impostazioni, std::function<QString()> cartellaDati, QWidget* parent);
    ~RegisterWidget() override;

    /// The register open in the window (object name "registro_aperto"), its data sources and its
    /// entry session.
    OpenRegister& registro() { return *m_registro; }

    // --- what the window reads ------------------------------------------------------------------
    /// True while the register is shown in the window and read.
    bool aperto() const;
    /// True while a new entry is typed.
    bool inserimento_in_corso() const;
    /// True (after telling the clerk that nothing else can be done meanwhile) while a new entry
    /// is typed.
    bool rifiuta_durante_inserimento() const;
    /// True while the grid is the view shown.
    bool griglia_visibile() const;
    /// True while either view is shown.
    bool vista_visibile() const;
    /// The competent office of the entry shown, as its box shows it.
    QString ufficio_competente() const;
    /// Bookmarks of the rows selected in the grid, in the order of the selection.
    std::vector<Bookmark> righe_scelte() const;
    /// The height of the bar at the window's foot (the data control or the navigation strip).
    int altezza_fondo() const;
    /// The width the mask takes (the window is at least as wide at its first size).
    int larghezza_maschera() const;

public slots:
    // --- the window's layout ----------------------------------------------------------------------
    /// The pictures of the mask's folders button and of the images beside its link box.
    void imposta_icone(const QIcon& fascicoli, const std::vector<QPixmap>& collegamento);
    /// The height of the tool bars above the views.
    void imposta_barra(int altezza);
    /// Places the views and the bar at the foot in the widget's size (as the window's area).
    void disponi();
    /// The focus to the focus sink, out of sight: no box keeps it.
    void parcheggia_fuoco();

    // --- opening and closing (register_widget_view.cpp) ------------------------------------------
    /// Opens the register of archiveFile with key (OpenRegister::open); nothing is shown yet.
    OpenResult apri(const QString& archiveFile, const QString& key, const QString& settingsDatabase);
    /// Shows the register just opened: the grid, then the mask on the last entry, locked.
    void mostra_registro();
    /// Checks what leaving asks: a modified entry is saved or given up as the clerk answers. False
    /// when the register stays (an incomplete entry, a failed save).
    bool lascia_registro();
    /// Hides the views, lets the boxes go and closes the register.
    void chiudi();

    // --- the views (register_widget_view.cpp) ----------------------------------------------------
    /// The view switch: the mask from the grid, the grid from the mask.
    void cambia_vista();
    void mostra_maschera();
    void mostra_griglia();
    /// Hides the office and document-type lists.
    void nascondi_elenchi();

    // --- the entries ---------------------------------------------------------------------------------
    /// A new entry: 0 incoming ("ENTRATA"), 1 outgoing ("USCITA").
    void cmd_ins_Click(int Index);
    /// The pending-changes check made before an action: the entry on screen, when modified, is
    /// saved (or reported incomplete and given up). False when its save failed: the cause was
    /// shown and the entry stays modified, so the action must not go on.
    bool salva_se_modificata();
    /// Gives up a new entry being typed (nothing of it is written, its lock goes).
    void abbandona_inserimento();
    /// A move of the register (0 first, 1 previous, 2 next, 3 last) from the entry shown, once it
    /// is saved when changed: the navigation strip's buttons.
    void cmd_move_Click(int Index);
    /// Reads the register again after a write made elsewhere, keeping its filter, order and the
    /// entry shown (only entry numero's rows when soloScheda).
    void rileggi_registro(qint64 numero, bool soloScheda = false);
    /// The folder of the entry shown, as the register holds it / as a filing just wrote it.
    void mostra_nodo_corrente();
    void mostra_nodo(const QString& nodo);

    // --- finding and filtering (register_widget_filters.cpp) -------------------------------------
    /// The search dialog over the register.
    void cerca();
    /// The one-field filter button, pressed (the filter on the current cell or box) or released
    /// (the whole register again).
    void filtro_campo(bool premuto);

signals:
    /// The view shown changed: the mask (maschera) or the grid.
    void vista_cambiata(bool maschera);
    /// A new entry of registro ("Entrata" or "Uscita") is about to be typed.
    void inserimento_iniziato(const QString& registro);
    /// Back to browsing after a new entry.
    void inserimento_finito();
    /// The clerk is done with the window's pop-ups (a click on the mask, a move, a box entered).
    void popup_lasciati();
    /// The one-field filter button is to show pressed or released.
    void pulsante_filtro(bool premuto);
    /// The list of the folders of the entry shown is asked.
    void elenco_fascicoli_richiesto();
    /// The entry shown is to be forwarded to its competent office.
    void inoltro_richiesto();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void crea_controlli();
    void collega_segnali();
    /// The switch to the mask as the view switch makes it from the grid (the pending changes
    /// checked, the pop-ups and lists closed).
    void passa_alla_maschera();
    /// The filter button shown pressed or released, and the grid's colour with it.
    void imposta_pulsante_filtro(bool premuto);
    /// A typed value its field cannot hold is refused aloud; the box keeps it, and gets the focus
    /// back, for the clerk to mend.
    void valore_rifiutato(QWidget* box, const DbResult& refusal);

    RegisterSettings& m_impostazioni;
    std::unique_ptr<OpenRegister> m_registro;
    FieldBinder* m_binder = nullptr;
    MainGrid* m_griglia = nullptr;
    MaskViewport* Pic_mask = nullptr;
    EntryMask* Frm_mask = nullptr;
    QWidget* cmd_focus = nullptr;
    DataControl* Adodc1 = nullptr;
    DataControl* ado_mittenti = nullptr;
    DataControl* Ado_nomi = nullptr;
    NavigationStrip* pic_move = nullptr;
    AddressBookPanel* Pic_nomi = nullptr;
    MaskPickers* m_selettori = nullptr;
    AXDbAutoComplete* AXDbAutoComplete1 = nullptr;
    EntryActions* m_azioniSchede = nullptr;
    MaskController* m_controlloMaschera = nullptr;
    /// The height of the tool bars above the views.
    int m_barra = 0;
    /// The register is shown in the window (the start frame hidden).
    bool m_inVista = false;
};

} // namespace quad

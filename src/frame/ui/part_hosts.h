#pragma once
// The main window as the parts it is made of see it: each part reaches the window through the
// narrow interface of its own header, which one of these classes implements over the window.

#include "address_book_panel.h"
#include "entry_actions.h"
#include "main_grid.h"
#include "mask_controller.h"
#include "mask_pickers.h"

namespace quad {

class Quadernolo;

/// The address-book panel's view of the main window: the entry mask and its correspondent boxes.
class RubricaPrincipale : public AddressBookPanelHost
{
public:
    explicit RubricaPrincipale(Quadernolo& window)
        : m_w(window)
    {
    }
    QLineEdit* casella(int index) const override;
    QWidget* maschera() const override;

private:
    Quadernolo& m_w;
};

/// The pickers' view of the main window: the suggestions of the name box.
class SelettoriPrincipale : public MaskPickersHost
{
public:
    explicit SelettoriPrincipale(Quadernolo& window)
        : m_w(window)
    {
    }
    void nascondi_suggerimenti() override;

private:
    Quadernolo& m_w;
};

/// The main grid's view of the main window: the filter button, the column mask and chooser, the
/// switch to the mask, the focus sink, the start frame and the bars around the grid.
class GrigliaPrincipale : public MainGridHost
{
public:
    explicit GrigliaPrincipale(Quadernolo& window)
        : m_w(window)
    {
    }
    bool filtroPremuto() const override;
    QString mascheraColonne() const override;
    void scegliColonne() override;
    void mostraMaschera() override;
    void recordTrovato() override;
    QWidget* fuoco() const override;
    QWidget* cornice() const override;
    int altezzaBarre() const override;
    int altezzaFondo() const override;

private:
    Quadernolo& m_w;
};

/// The mask handlers' view of the main window: its entries' and folders' actions, the reading of
/// the register after a write, the link's file choice, the pop-ups and the grid.
class MascheraPrincipale : public MaskControllerHost
{
public:
    explicit MascheraPrincipale(Quadernolo& window)
        : m_w(window)
    {
    }
    void cmd_new_ins_Click(int Index) override;
    void cmd_tree_Click() override;
    void nascondi_popup() override;
    void collega_campi_maschera() override;
    void collega_gestori_schede() override;
    void mostra_intestazione() override;
    void rileggi_registro(qint64 numero, bool soloScheda) override;
    QString scegli_file_collegamento() override;
    void inoltra_ufficio_competente() override;
    bool verifica_modifiche_in_sospeso() override;
    QWidget* griglia() const override;

private:
    Quadernolo& m_w;
};

/// The entries' view of the main window: the switch to the mask, the historical archive, the
/// password of the archive in use and the filter button.
class SchedePrincipale : public EntryActionsHost
{
public:
    explicit SchedePrincipale(Quadernolo& window)
        : m_w(window)
    {
    }
    void Toolbar1_ButtonClick(QAction* Button) override;
    bool archivio_storico_in_uso() const override;
    void chiedi_chiave_archivio_in_uso() override;
    void rilascia_pulsante_filtro() override;

private:
    Quadernolo& m_w;
};

/// The views of the main window that its parts are given.
struct PartHosts
{
    explicit PartHosts(Quadernolo& window)
        : rubrica(window)
        , selettori(window)
        , griglia(window)
        , maschera(window)
        , schede(window)
    {
    }
    RubricaPrincipale rubrica;
    SelettoriPrincipale selettori;
    GrigliaPrincipale griglia;
    MascheraPrincipale maschera;
    SchedePrincipale schede;
};

} // namespace quad

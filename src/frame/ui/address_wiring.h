#pragma once
// The main window's side of the address book and of the autocomplete control: which source the
// control serves for each mask box, the keys and typing handed to it, the town pick written
// into the current correspondent row, and the address-book panel's controls.

#include <QObject>
#include <QString>

#include <vector>

class QKeyEvent;
class QLineEdit;

namespace quad {

class Quadernolo;

/// Watches the entry mask's boxes for the autocomplete and the name look-up, with its own event
/// filter and textEdited connections (the mask's own handlers are left to the mask's rules).
/// One lives on the window, made by Quadernolo::collega_rubrica().
class AddressWiring : public QObject
{
    Q_OBJECT
public:
    explicit AddressWiring(Quadernolo* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(QObject* box) const;
    /// A box got the focus: the control is given the box's source (connection, table, field).
    void casellaAttiva(int index);
    /// A key in a box: true when the control used it and the box must not have it.
    bool tasto(int index, QKeyEvent* event);
    /// The clerk changed a box's text.
    void testoDigitato(int index);
    /// A town was picked in the list: its data go into the current correspondent row.
    void comuneScelto(const QString& citta, const QString& prov, const QString& stato, const QString& cap);
    /// The register was closed: the control lets its database go.
    void registroChiuso();

    Quadernolo* m_w;
    /// The window's mask boxes, compared by address only.
    std::vector<QLineEdit*> m_caselle;
};

/// Places the panel's grid and buttons as the window's design wants them.
void prepara_pannello_rubrica(Quadernolo& window);

} // namespace quad

#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

class SearchCaller;
struct EsitoRicerca;

/// The older find dialog: a field picked from a list, a value typed, "Ricerca" finds the first
/// matching row of the caller's register from the top and "Continua ricerca" the next one after
/// the current row. The dialog writes the caller's mark into Label1 ("Quadernolo" for the main
/// window, anything else for the folder window); the caller runs Form_Load before showing it.
class Ricerca : public QDialog
{
    Q_OBJECT
public:
    Ricerca(SearchCaller& caller, QWidget* parent);

    /// Fills the field list: every field of the main window's register; the folder window's
    /// fields but those beginning with "SYS" (any case). A register of fewer than 3 fields
    /// leaves it empty.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QGroupBox* Frame1 = nullptr;

    SearchCaller& m_caller;
};

/// Shows the outcome of a find by one field (a refusal with the exclamation icon, the end of the
/// search as a plain box) and lets the caller follow its current row.
void mostra_esito_ricerca(const EsitoRicerca& esito, SearchCaller& caller);

} // namespace quad

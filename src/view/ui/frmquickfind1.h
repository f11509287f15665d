#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

class Recordset;

/// The quick find: looks for the next row of the caller's recordset whose field campo matches
/// the text typed, wrapping around to the first row; with no match anywhere it says
/// "Non trovato !" and goes to the first row. It stays open for the next "Cerca".
/// A value that does not fit the field, or a criterion the recordset refuses, is reported and
/// the current row is kept.
class frmquickfind1 : public QDialog
{
    Q_OBJECT
public:
    frmquickfind1(std::shared_ptr<Recordset> recordset, const QString& campo, QWidget* parent);

    /// "Cerca".
    void cmdOK_Click();
    /// The search for value (already prepared by "Cerca").
    void cerca_successivo(const QString& value);

    QString campo() const { return m_campo; }
    /// The caller's mark: "" for the register grid, the mask box's index as text, "treeview"
    /// for the folder window.
    QString p_chiamante() const { return m_chiamante; }

    /// Readies the window as the register's quick find for the caller's mark chiamante: caption
    /// "Campo : " + campo (which also names the box for screen readers), lbl_form "Quadernolo",
    /// text in the box with the caret after it.
    void prepara(const QString& text, const QString& chiamante);

signals:
    /// After every "Cerca", whether or not a row was found (the main window refreshes its
    /// folder label from the current row).
    void ricerca_eseguita();

private:
    QLineEdit* txtQuickFind = nullptr;
    QCheckBox* chk_parte = nullptr;
    QCheckBox* chk_modo = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmd_esci = nullptr;
    QLabel* lbl_form = nullptr;

    std::shared_ptr<Recordset> m_rs;
    QString m_campo;
    QString m_chiamante;
};

/// Opens the quick find over parent for field campo of recordset, with text as the start text
/// (caret after it), caption "Campo : " + campo, lbl_form "Quadernolo" and the caller's mark.
/// Opens nothing (and returns false) when the recordset is empty, campo is blank or not one of
/// its fields, or text is empty or holds a character that does not print. Returns after the
/// window closed. onSearch, when given, runs after every search.
bool apri_ricerca_rapida(QWidget* parent, std::shared_ptr<Recordset> recordset, const QString& campo,
                         const QString& text, const QString& chiamante = QString(),
                         const std::function<void()>& onSearch = {});

} // namespace quad

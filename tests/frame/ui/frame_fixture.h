#pragma once

#include "address_book_panel.h"
#include "data_control.h"
#include "entry_actions.h"
#include "entry_mask.h"
#include "field_binding.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "mask_controller.h"
#include "notification_actions.h"
#include "print_panel.h"
#include "register_grid.h"
#include "register_widget.h"
#include "scripted_messages.h"
#include "temp_program.h"
#include "window_parts.h"

#include "database.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>

#include <gtest/gtest.h>

namespace quad::test {

/// The main window with the program's end and the notification import observed.
class TestQuadernolo : public Quadernolo
{
public:
    int ended = 0;
    QStringList imported;
    bool importOk = false;

    void termina_programma() override { ++ended; }
    bool importa_notifica(const QString& path, QString*) override
    {
        imported << path;
        return importOk;
    }
};

/// The main window with nothing of it replaced but the program's end.
class Finestra : public Quadernolo
{
public:
    void termina_programma() override { }
};

// The main window's controls, found by the names the program gives them.
inline QWidget* shown(const QWidget& w, const char* name)
{
    return control<QWidget>(const_cast<QWidget*>(&w), QLatin1String(name));
}
inline RegisterGrid* grid(const QWidget& w)
{
    return control<RegisterGrid>(const_cast<QWidget*>(&w), QStringLiteral("DataGrid1"));
}
inline EntryMask* mask(const QWidget& w)
{
    return control<EntryMask>(const_cast<QWidget*>(&w), QStringLiteral("Frm_mask"));
}
/// Box index of the entry mask (txt_mask1_<index>).
inline QLineEdit* casella(const QWidget& w, int index)
{
    return control<QLineEdit>(&w, QStringLiteral("txt_mask1_%1").arg(index));
}
/// The register's window: the grid, the mask and the open register.
inline RegisterWidget* vista(const QWidget& w)
{
    auto* registro = w.findChild<RegisterWidget*>();
    EXPECT_TRUE(registro);
    return registro;
}
/// The window's tool strip, with both tool bars and their images.
inline ToolStrip* strumenti(const QWidget& w)
{
    return control<ToolStrip>(&w, QStringLiteral("pic_tool_orizz"));
}
/// The window's notifications and transfer file, with the timed look for notifications.
inline NotificationActions* notifiche(const QWidget& w)
{
    auto* parte = w.findChild<NotificationActions*>();
    EXPECT_TRUE(parte);
    return parte;
}
/// The handlers of the window's entry mask.
inline MaskController* regole(const QWidget& w)
{
    return w.findChild<MaskController*>();
}
/// The window's entries: its data controls' handlers, the new entry, the save, the moves.
inline EntryActions* schede(const QWidget& w)
{
    return w.findChild<EntryActions*>();
}
/// The register open in the window (the part "registro_aperto" of its register's window), with the
/// life of the entry shown: its changes, a new entry and its issuing lock.
inline OpenRegister& registroAperto(const QWidget& w)
{
    auto* registro = w.findChild<OpenRegister*>(QStringLiteral("registro_aperto"));
    EXPECT_TRUE(registro);
    return *registro;
}
inline const EntrySession& sessione(const QWidget& w)
{
    return registroAperto(w).session();
}
/// A data control of the window: "Adodc1" (the register), "ado_mittenti", "Ado_nomi".
inline DataControl* dati(const QWidget& w, const char* name)
{
    return control<DataControl>(const_cast<QWidget*>(&w), QLatin1String(name));
}

/// Answers the login dialog with each password in turn.
inline void scriptLogin(ModalScript& script, const QStringList& passwords)
{
    for (const QString& pw : passwords) {
        script.then(QStringLiteral("frm_password"), [pw](QDialog* d) {
            typeInto(d, QStringLiteral("txt_password"), pw);
            click(d, QStringLiteral("OKButton"));
        });
    }
}

/// Starts the window with the right password and shows it at the start menu.
inline bool startWindow(Quadernolo& w)
{
    ModalScript script;
    scriptLogin(script, {QString::fromLatin1(kPassword)});
    const bool ok = w.Form_Load();
    script.waitDone();
    if (ok)
        w.show();
    return ok;
}

/// Opens the register from the start menu (no historical archives).
inline void openRegister(TestQuadernolo& w)
{
    click(&w, QStringLiteral("Command1"));
}

/// Switches the open register from the mask, where it opens, to the grid.
inline void showGrid(TestQuadernolo& w)
{
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    ASSERT_TRUE(trigger(&w, QStringLiteral("tb_modo")));
    ASSERT_TRUE(grid(w)->isVisible());
}

/// Writes entries 1..count into an archive, one correspondent each (two for entry 2),
/// incoming for odd numbers and outgoing for even ones; entry 3 is annulled.
inline void seedRegister(const QString& archive, int count)
{
    DbResult err;
    auto db = Connection::open(archive, QByteArray(kPassword), &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    for (int n = 1; n <= count; ++n) {
        const QString tipo = n % 2 ? QStringLiteral("E") : QStringLiteral("U");
        const QDate data = QDate(2024, 3, 1).addDays(n);
        ASSERT_TRUE(db->exec(QStringLiteral("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, "
                                            "Tipo_documento, Numero_documenti, Oggetto, Orario, Annullato, "
                                            "Nota_annulla, sys_nodo) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                             {n, tipo, data, data.year(), QStringLiteral("Lettera"), n % 3,
                              QStringLiteral("Oggetto n. %1 dell'ufficio").arg(n), QStringLiteral("09:30:00"),
                              n == 3 ? -1 : 0, n == 3 ? QVariant(QStringLiteral("Errore")) : QVariant(),
                              QStringLiteral("Radice/Cartella %1").arg(n)})
                        .ok());
        const int rows = n == 2 ? 2 : 1;
        for (int r = 0; r < rows; ++r) {
            ASSERT_TRUE(db->exec(QStringLiteral("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Citta) "
                                                "VALUES (?,?,?,?)"),
                                 {n, tipo, QStringLiteral("Mittente %1-%2").arg(n).arg(r), QStringLiteral("Roma")})
                            .ok());
        }
    }
}

inline QString text(QWidget* root, const QString& name)
{
    auto* edit = control<QLineEdit>(root, name);
    return edit ? edit->text() : QString();
}

/// A new entry is being typed, as the clerk sees it: "Conferma ed Esci" and "Annulla" in the mask,
/// the tool bars and the navigation strip out of use.
inline bool nuovaSchedaInCorso(Quadernolo& w)
{
    return !control<QFrame>(&w, "Frame_new_ins")->isHidden() && !control<QToolBar>(&w, "Toolbar1")->isEnabled()
        && !control<QToolBar>(&w, "Toolbar2")->isEnabled() && !shown(w, "pic_move")->isEnabled();
}

} // namespace quad::test

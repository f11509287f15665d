#pragma once
// The main window at a fixed moment with the register open, for new entries, saving, moving and
// leaving.

#include "../../frame/ui/frame_fixture.h"

#include "clock.h"
#include "entry_store.h"
#include "numbering.h"
#include "program_folder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace quad::test {

class EntriesTest : public ::testing::Test
{
protected:
    EntriesTest() { Clock::install(&clock); }
    ~EntriesTest() override { Clock::install(nullptr); }

    /// Seeds count entries (see seedRegister), starts the window and opens the register.
    void apri(int count)
    {
        if (count > 0)
            seedRegister(program.archive(), count);
        ASSERT_TRUE(startWindow(w));
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        openRegister(w);
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    }

    /// "Nuovo" clicked, then "ENTRATA" (0) or "USCITA" (1), answering Yes to the question.
    void nuovo(int index)
    {
        QWidget* pulsante = control<QToolBar>(&w, "Toolbar1")->widgetForAction(findAction(&w, "tb_insert"));
        ASSERT_TRUE(pulsante && pulsante->isEnabled() && pulsante->isVisible());
        QTest::mouseClick(pulsante, Qt::LeftButton);
        messages.answer(MsgAnswer::Yes);
        ASSERT_TRUE(click(&w, index == 0 ? "cmd_ins_0" : "cmd_ins_1"));
    }

    /// Types the three required fields of the entry on screen.
    void compila(const QString& tipo, const QString& oggetto, const QString& nome)
    {
        typeInto(&w, "txt_mask1_3", tipo);
        typeInto(&w, "txt_mask1_7", oggetto);
        typeInto(&w, "txt_mask1_8", nome);
    }

    QString lock() const { return program.file(QString::fromLatin1(kLockFile)); }
    QByteArray lockContent() const
    {
        QFile f(lock());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::shared_ptr<Connection> archivio() const
    {
        DbResult err;
        auto db = Connection::shared(program.archive(), QByteArray(kPassword), &err);
        EXPECT_TRUE(db) << err.message.toStdString();
        return db;
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const
    {
        auto db = archivio();
        return db ? db->scalar(sql, params) : QVariant();
    }
    int conta(const QString& sql, const QVariantList& params = {}) const { return scalar(sql, params).toInt(); }

    std::shared_ptr<Recordset> registro() const { return dati(w, "Adodc1")->Recordset(); }
    int corrente() const
    {
        return registro()->eof() || registro()->bof() ? -1 : registro()->value("Progressivo").toInt();
    }
    QLineEdit* box(int index) const { return casella(w, index); }

    /// Shows the mask on entry n.
    void maschera(int n)
    {
        if (grid(w)->isVisible()) {
            ASSERT_TRUE(trigger(&w, "tb_modo"));
        }
        ASSERT_TRUE(
            registro()->find(QStringLiteral("Progressivo = %1").arg(n), 0, SearchDirection::Forward, kBookmarkFirst));
        schede(w)->mostra_intestazione();
    }

    /// The register's tool bars and navigation are usable (the browsing state).
    void attesoConsultazione()
    {
        EXPECT_FALSE(nuovaSchedaInCorso(w));
        EXPECT_FALSE(control<QFrame>(&w, "Frame_new_ins")->isVisibleTo(mask(w)));
        EXPECT_TRUE(control<QToolBar>(&w, "Toolbar1")->isEnabled());
        EXPECT_TRUE(control<QToolBar>(&w, "Toolbar2")->isEnabled());
        EXPECT_TRUE(shown(w, "pic_move")->isEnabled());
        EXPECT_TRUE(findAction(&w, "tb_add_tree")->isEnabled());
        EXPECT_TRUE(dati(w, "Adodc1")->isEnabled());
        EXPECT_TRUE(box(7)->isReadOnly());
    }

    FixedClock clock {QDateTime(QDate(2025, 6, 14), QTime(10, 20, 30))};
    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
};

} // namespace quad::test

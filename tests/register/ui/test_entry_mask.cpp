// The entry mask on its own, without the main window: its controls as the clerk sees them and
// the events it hands to whoever shows it.
#include "entry_mask.h"

#include "gui_helpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// Records which handler got which event.
class Registro : public EntryMaskEvents
{
public:
    QStringList eventi;
    bool txt_mask1_KeyDown(int i, QKeyEvent*) override { return annota("KeyDown", i), false; }
    bool txt_mask1_KeyPress(int i, QKeyEvent*) override { return annota("KeyPress", i), i == 0; }
    void txt_mask1_GotFocus(int i) override { annota("GotFocus", i); }
    void txt_mask1_LostFocus(int i) override { annota("LostFocus", i); }
    void txt_mask1_Change(int i) override { annota("Change", i); }
    bool txt_mask1_Validate(int i) override { return annota("Validate", i), true; }
    void txt_mask1_DblClick(int i) override { annota("DblClick", i); }
    void txt_mask1_OLEDragDrop(int i, const QString& testo) override { annota("Drop " + testo, i); }
    void picOpenWWW_Click(int i) override { annota("picOpenWWW", i); }
    void Image1_DblClick() override { annota("Image1", -1); }
    void cmd_new_ins_Click(int i) override { annota("cmd_new_ins", i); }
    void cmd_mitt_Click(int i) override { annota("cmd_mitt", i); }
    void cmd_altri_Click() override { annota("cmd_altri", -1); }
    void cmd_annulla_Click() override { annota("cmd_annulla", -1); }
    void cmd_annullato_Click() override { annota("cmd_annullato", -1); }
    void cmd_tree_Click() override { annota("cmd_tree", -1); }
    void CalendarVB1_DateDblClick() override { annota("Calendar", -1); }
    void CalendarVB1_Close() override { annota("CalendarClose", -1); }
    void nascondi_popup() override { annota("popup", -1); }

private:
    void annota(const QString& nome, int i) { eventi << (i >= 0 ? QString("%1 %2").arg(nome).arg(i) : nome); }
};

class EntryMaskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mask = new EntryMask(&finestra);
        mask->setEvents(&registro);
        finestra.resize(700, 480);
        finestra.show();
        finestra.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&finestra));
    }

    /// A control of the mask by its name.
    template <class T> T* parte(const QString& name) const
    {
        T* found = mask->findChild<T*>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }

    QWidget finestra;
    EntryMask* mask = nullptr;
    Registro registro;
};

TEST_F(EntryMaskTest, ControlsAreNamedAndCaptionedAsDesigned)
{
    EXPECT_EQ(mask->objectName(), "Frm_mask");
    ASSERT_EQ(mask->caselle().size(), 27u);
    for (int i = 0; i <= 26; ++i) {
        ASSERT_TRUE(mask->casella(i));
        EXPECT_EQ(mask->casella(i)->objectName(), QString("txt_mask1_%1").arg(i));
        EXPECT_EQ(mask->indexOf(mask->casella(i)), i);
    }
    EXPECT_EQ(parte<QLabel>("lbl_mask1_8")->text(), "Mittente");
    EXPECT_EQ(parte<QLabel>("lbl_mask1_16")->text(), "A.O.O. competente");
    EXPECT_EQ(mask->findChild<QLabel*>("lbl_mask1_26"), nullptr);
    EXPECT_EQ(parte<QCheckBox>("Check2")->text(), "Riservato");
    EXPECT_EQ(parte<QPushButton>("cmd_new_ins_0")->text(), "Conferma ed Esci");
    EXPECT_EQ(parte<QLabel>("lbl_filtro_ins")->text(), "[Filtro attivato]");
    EXPECT_FALSE(parte<QLabel>("lbl_filtro_ins")->isVisible());
    EXPECT_FALSE(parte<QFrame>("Frame_calendar")->isVisible());
    // Only the link box takes drops; the design's locked boxes are locked.
    for (int i = 0; i <= 26; ++i)
        EXPECT_EQ(mask->casella(i)->acceptDrops(), i == 19) << i;
    for (int i : {0, 1, 20, 21, 22, 23})
        EXPECT_TRUE(mask->casella(i)->isReadOnly()) << i;
}

TEST_F(EntryMaskTest, TheAnnulledBoxCannotBeTickedByTheClerk)
{
    EXPECT_FALSE(parte<QCheckBox>("Check1")->isEnabled());
    QTest::mouseClick(parte<QCheckBox>("Check1"), Qt::LeftButton);
    EXPECT_FALSE(parte<QCheckBox>("Check1")->isChecked());
}

TEST_F(EntryMaskTest, EventsReachTheHandlersByIndex)
{
    mask->casella(7)->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(mask->casella(7), "a");
    mask->casella(8)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(
        registro.eventi,
        QStringList({"GotFocus 7", "KeyDown 7", "KeyPress 7", "Change 7", "Validate 7", "LostFocus 7", "GotFocus 8"}));

    // A key the handler swallows does not reach the box.
    QTest::keyClicks(mask->casella(0), "9");
    EXPECT_TRUE(mask->casella(0)->text().isEmpty());

    registro.eventi.clear();
    parte<QPushButton>("cmd_new_ins_1")->click();
    parte<QPushButton>("cmd_mitt_2")->click();
    parte<QPushButton>("cmd_altri")->click();
    QTest::mouseClick(parte<QLabel>("picOpenWWW_1"), Qt::LeftButton);
    QTest::mouseDClick(parte<QLabel>("Image1"), Qt::LeftButton);
    QTest::mouseDClick(mask->casella(19), Qt::LeftButton);
    QTest::mouseClick(mask, Qt::LeftButton, {}, QPoint(690, 470));
    EXPECT_EQ(registro.eventi.last(), "popup") << "a click on the mask dismisses the pop-ups";
    QStringList azioni;
    for (const QString& e : registro.eventi) {
        if (!e.startsWith("popup") && !e.contains("Focus") && !e.startsWith("Validate"))
            azioni << e;
    }
    EXPECT_EQ(azioni,
              QStringList({"cmd_new_ins 1", "cmd_mitt 2", "cmd_altri", "picOpenWWW 1", "Image1", "DblClick 19"}));
}

TEST_F(EntryMaskTest, WithoutHandlersNothingIsHandedOn)
{
    mask->setEvents(nullptr);
    mask->casella(7)->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(mask->casella(7), "abc");
    parte<QPushButton>("cmd_altri")->click();
    EXPECT_TRUE(registro.eventi.isEmpty());
    EXPECT_EQ(mask->casella(7)->text(), "abc");
    // The mask goes with focus in one of its boxes: nothing reaches a handler on the way.
    delete mask;
    EXPECT_TRUE(registro.eventi.isEmpty());
}

} // namespace

TEST_F(EntryMaskTest, AFocusSinkGoneBeforeTheMaskIsNeverReached)
{
    // As a window is taken down, its focus sink may go before the mask that hides a button.
    auto* fuoco = new QPushButton(&finestra);
    auto* maschera = new EntryMask(&finestra, fuoco);
    maschera->show();
    maschera->mostra_annullamento(false);
    auto* annulla = maschera->findChild<QPushButton*>("cmd_annulla");
    annulla->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(annulla->hasFocus());
    delete fuoco;
    maschera->mostra_annullamento(true);
    EXPECT_TRUE(maschera->findChild<QFrame*>("Frame_annullato")->isVisible());
    EXPECT_FALSE(annulla->isVisible());
    delete maschera;
}

TEST_F(EntryMaskTest, EveryBoxIsAnnouncedByItsCaption)
{
    const auto nome = &test::announcedName;
    for (int i : {0, 1, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 25})
        EXPECT_EQ(nome(mask->casella(i)), parte<QLabel>(QStringLiteral("lbl_mask1_%1").arg(i))->text()) << i;
    EXPECT_EQ(nome(mask->casella(7)), "Oggetto");
    EXPECT_EQ(nome(mask->casella(26)), "Nota Annulla");
    // Boxes whose captions repeat are told apart by what they hold.
    EXPECT_EQ(nome(mask->casella(2)), "Data quadernolo");
    EXPECT_EQ(nome(mask->casella(6)), "Data quad. rif.");
    EXPECT_EQ(nome(mask->casella(24)), "Ora quadernolo");
    EXPECT_EQ(nome(mask->casella(21)), "Ora consegna");
    EXPECT_EQ(nome(mask->casella(23)), "Ora restituzione");
    EXPECT_EQ(nome(parte<QCheckBox>("Check1")), "Annullato");
    QStringList nomi {nome(parte<QCheckBox>("Check1")), nome(parte<QCheckBox>("Check2"))};
    for (QLineEdit* box : mask->caselle())
        nomi << nome(box);
    EXPECT_FALSE(nomi.contains(""));
    EXPECT_EQ(nomi.removeDuplicates(), 0) << nomi.join(",").toStdString();
    // The caption that follows the direction names its box as it reads.
    parte<QLabel>("lbl_mask1_8")->setText("Destinatario");
    EXPECT_EQ(nome(mask->casella(8)), "Destinatario");
}

TEST_F(EntryMaskTest, ButtonsAndImagesWithAPictureAreAnnouncedByWhatTheyDo)
{
    const auto nome = &test::announcedName;
    EXPECT_EQ(nome(parte<QPushButton>("cmd_tree")), "Fascicoli del quadernolo");
    EXPECT_EQ(nome(parte<QPushButton>("cmd_mitt_0")), "Nominativo precedente");
    EXPECT_EQ(nome(parte<QPushButton>("cmd_mitt_1")), "Nominativo successivo");
    EXPECT_EQ(nome(parte<QPushButton>("cmd_mitt_2")), "Visualizza nominativi in griglia");
    EXPECT_EQ(nome(parte<QLabel>("picOpenWWW_0")), "Apri collegamento ipertestuale");
    EXPECT_EQ(nome(parte<QLabel>("picOpenWWW_1")), "Inoltra all' A.O.O. competente");
    EXPECT_EQ(nome(parte<QLabel>("picOpenWWW_2")), "Inserisci file");
}

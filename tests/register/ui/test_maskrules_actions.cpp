// What the clerk does to registered entries through the real window: the quick find from the
// grid and from a mask box, the annulment, the subject correction, the linked file.
#include "test_maskrules_fixture.h"

#include "frm_view.h"
#include "my_func.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

using namespace quad;
using namespace quad::test;

namespace {

/// Subjects beginning with "Ricorso": entries 2 (two rows), 4 and 5.
class MaskActionsTest : public MaskRulesTest
{
protected:
    void prepareArchive(Connection& db) override
    {
        ASSERT_TRUE(
            db.exec("UPDATE entrata SET Oggetto = 'Ricorso n. ' || Progressivo WHERE Progressivo IN (2, 4, 5)").ok());
    }
};

/// Presses "Cerca" and says which entry the register is on.
int cerca(QDialog* d, TestQuadernolo& w)
{
    click(d, "cmdOK");
    const auto rs = dati(w, "Adodc1")->Recordset();
    return rs->eof() || rs->bof() ? -1 : rs->value("Progressivo").toInt();
}

} // namespace

// --- quick find --------------------------------------------------------------------------

TEST_F(MaskActionsTest, QuickFindFromAMaskBoxCyclesThroughTheMatches)
{
    QList<int> found;
    QString title;
    QString start;
    int caret = -1;
    ModalScript script;
    script.then("frmquickfind1", [&](QDialog* d) {
        title = d->windowTitle();
        start = text(d, "txtQuickFind");
        caret = control<QLineEdit>(d, "txtQuickFind")->cursorPosition();
        typeInto(d, "txtQuickFind", "ricorso");
        for (int i = 0; i < 5; ++i)
            found << cerca(d, w);
        typeInto(d, "txtQuickFind", "zzz");
        found << cerca(d, w);
        click(d, "cmd_esci");
    });
    QTest::keyClick(box(7), 'r');
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(title, "Campo : Oggetto");
    EXPECT_EQ(start, "r");
    EXPECT_EQ(caret, 1);
    // Entry 2 has two rows; after the last match the search starts again from the top.
    EXPECT_EQ(found, QList<int>({2, 2, 4, 5, 2, 1}));
    EXPECT_EQ(messages.texts(), QStringList {"Non trovato !"});
    EXPECT_EQ(text(&w, "txt_mask1_0"), "1") << "the mask follows the register";
}

TEST_F(MaskActionsTest, QuickFindFromTheMaskShowsTheCaptionsOfTheEntryFound)
{
    schede(w)->mostra_intestazione();
    ASSERT_EQ(control<QLabel>(&w, "lbl_modo")->text(), "Quadernolo in ENTRATA");
    QStringList modo, nome, altri;
    QList<bool> riservato;
    const auto captions = [&] {
        modo << control<QLabel>(&w, "lbl_modo")->text();
        nome << control<QLabel>(&w, "lbl_mask1_8")->text();
        altri << control<QPushButton>(&w, "cmd_altri")->text();
        riservato << control<QCheckBox>(&w, "Check2")->isVisibleTo(mask(w));
    };
    ModalScript script;
    script.then("frmquickfind1", [&](QDialog* d) {
        typeInto(d, "txtQuickFind", "Ricorso n. 4"); // outgoing
        EXPECT_EQ(cerca(d, w), 4);
        captions();
        typeInto(d, "txtQuickFind", "Oggetto n. 3"); // incoming
        EXPECT_EQ(cerca(d, w), 3);
        captions();
        click(d, "cmd_esci");
    });
    QTest::keyClick(box(7), 'r');
    ASSERT_TRUE(script.waitDone());
    EXPECT_EQ(modo, QStringList({"Quadernolo in USCITA", "Quadernolo in ENTRATA"}));
    EXPECT_EQ(nome, QStringList({"Destinatario", "Mittente"}));
    EXPECT_EQ(altri, QStringList({"Altri destinatari", "Altri mittenti"}));
    EXPECT_EQ(riservato, QList<bool>({false, true}));
}

TEST_F(MaskActionsTest, QuickFindOnTheNumberAndOnlyForPrintableCharacters)
{
    QString title;
    int found = 0;
    {
        ModalScript script;
        script.then("frmquickfind1", [&](QDialog* d) {
            title = d->windowTitle();
            found = cerca(d, w);
            click(d, "cmd_esci");
        });
        QTest::keyClick(box(0), '5');
        EXPECT_TRUE(script.waitDone());
    }
    EXPECT_EQ(title, "Campo : Progressivo");
    EXPECT_EQ(found, 5);

    // No dialog for "$", "{", a box without a field, or the note (which takes the typing).
    ModalScript none;
    QTest::keyClick(box(7), '$');
    QTest::keyClick(box(7), '{');
    QTest::keyClick(box(20), 'a');
    EXPECT_EQ(corrente(), 5);
    box(18)->setReadOnly(false);
    QTest::keyClicks(box(18), "nota");
    EXPECT_EQ(box(18)->text(), "nota");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(MaskActionsTest, QuickFindRefusesWhatTheFieldCannotHoldAndSearchesPartOfATextField)
{
    vai(3);
    int found = 0;
    ModalScript script;
    // A letter typed on the number: no criterion, a message, and the entry stays.
    script.then("frmquickfind1", [&](QDialog* d) {
        found = cerca(d, w);
        click(d, "cmd_esci");
    });
    // "Parte del campo" on the subject finds the text inside it.
    script.then("frmquickfind1", [&](QDialog* d) {
        typeInto(d, "txtQuickFind", "n. 5");
        control<QCheckBox>(d, "chk_parte")->setChecked(true);
        found = cerca(d, w);
        click(d, "cmd_esci");
    });
    QTest::keyClick(box(0), 'a');
    ASSERT_TRUE(messages.shown().size() == 1);
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Exclamation);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(corrente(), 3);
    QTest::keyClick(box(7), 'o');
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(found, 5);
    EXPECT_EQ(messages.shown().size(), 1);
}

TEST_F(MaskActionsTest, QuickFindFromTheGrid)
{
    vista(w)->mostra_griglia();
    ASSERT_TRUE(grid(w)->isVisible());
    const int oggetto = registro()->fieldIndex("Oggetto");
    grid(w)->setFocus();
    grid(w)->setCurrentIndex(grid(w)->model()->index(0, oggetto));

    QList<int> found;
    QString title;
    ModalScript script;
    script.then("frmquickfind1", [&](QDialog* d) {
        title = d->windowTitle();
        EXPECT_EQ(text(d, "txtQuickFind"), "R");
        typeInto(d, "txtQuickFind", "ricorso n. 4");
        found << cerca(d, w) << cerca(d, w);
        typeInto(d, "txtQuickFind", "nessuno");
        found << cerca(d, w);
        click(d, "cmd_esci");
    });
    QTest::keyClick(grid(w), 'R');
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(title, "Campo : Oggetto");
    EXPECT_EQ(found, QList<int>({4, 4, 1}));
    EXPECT_EQ(messages.texts(), QStringList {"Non trovato !"});
    EXPECT_EQ(grid(w)->currentIndex().row(), 0) << "the grid follows the register";

    // Keys that type nothing open nothing.
    ModalScript none;
    QTest::keyClick(grid(w), Qt::Key_Down);
    QTest::keyClick(grid(w), Qt::Key_F5);
    EXPECT_EQ(grid(w)->currentIndex().row(), 1);
}

TEST_F(MaskActionsTest, AQuickFindFirstSavesWhatWasChangedOnTheEntryShown)
{
    // A note typed on entry 1 and the entry annulled, then a letter typed in the subject: the
    // quick find moves the register, so the changes of entry 1 are saved before it opens.
    scrivi(18, "Da richiamare");
    messages.answer(MsgAnswer::Yes);
    ModalScript script;
    script.then("frm_annullato", [&](QDialog* d) {
        typeInto(d, "Text1", "Doppione");
        click(d, "Command1_0");
    });
    script.then("frmquickfind1", [&](QDialog* d) {
        typeInto(d, "txtQuickFind", "ricorso");
        cerca(d, w);
        click(d, "cmd_esci");
    });
    click(&w, "cmd_annulla");
    entra(7);
    QTest::keyClick(box(7), 'r');
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(corrente(), 2);
    EXPECT_EQ(archivio("Note", 1).toString(), "Da richiamare");
    EXPECT_EQ(archivio("Annullato", 1).toInt(), -1);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "Doppione");

    // Moving on from entry 2 writes nothing of entry 1 onto it.
    click(&w, "cmd_move_2");
    EXPECT_TRUE(archivio("Note", 2).isNull());
    EXPECT_EQ(archivio("Annullato", 2).toInt(), 0);
    EXPECT_EQ(archivio("Note", 1).toString(), "Da richiamare");
}

TEST_F(MaskActionsTest, AChangeThatCannotBeSavedKeepsTheEntryAndOpensNeitherFindNorCorrection)
{
    {
        DbResult err;
        auto db = Connection::shared(program.archive(), QByteArray(kPassword), &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("CREATE TRIGGER sola_lettura BEFORE UPDATE ON entrata "
                             "BEGIN SELECT RAISE(ABORT, 'archivio in sola lettura'); END;")
                        .ok());
    }
    scrivi(18, "Da richiamare");
    entra(7);
    ModalScript none;
    QTest::keyClick(box(7), 'r');
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().contains("archivio in sola lettura"));
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_EQ(messages.shown().size(), 2);
    // The change stays on screen, to be saved later.
    EXPECT_EQ(corrente(), 1);
    EXPECT_EQ(box(18)->text(), "Da richiamare");
    EXPECT_TRUE(sessione(w).p_update());
    EXPECT_TRUE(archivio("Note", 1).isNull());
}

// --- annulment ---------------------------------------------------------------------------

TEST_F(MaskActionsTest, AnnullingAsksTwiceAndIsStoredWhenTheEntryIsLeft)
{
    ASSERT_TRUE(control<QPushButton>(&w, "cmd_annulla")->isVisible());
    // The box is the annulment's own: a click does not tick it.
    ASSERT_FALSE(control<QCheckBox>(&w, "Check1")->isChecked());
    QTest::mouseClick(control<QCheckBox>(&w, "Check1"), Qt::LeftButton);
    QTest::keyClick(control<QCheckBox>(&w, "Check1"), Qt::Key_Space);
    EXPECT_FALSE(control<QCheckBox>(&w, "Check1")->isChecked());
    EXPECT_FALSE(sessione(w).p_update());
    messages.answer(MsgAnswer::Yes);
    ModalScript script;
    script.then("frm_annullato", [&](QDialog* d) {
        typeInto(d, "Text1", "  Registrato due volte");
        click(d, "Command1_0");
    });
    click(&w, "cmd_annulla");
    EXPECT_TRUE(script.waitDone());
    ASSERT_FALSE(messages.shown().isEmpty());
    EXPECT_EQ(messages.shown().first().text,
              "ATTENZIONE !\n\nUn quadernolo annullato non può essere ripristinato."
              "\n\nConfermi ?\n\n");
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown().first().buttons, MsgButtons::YesNo);

    // At once on screen, before anything is saved.
    EXPECT_TRUE(control<QCheckBox>(&w, "Check1")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(&w, "Check1")->isEnabled());
    EXPECT_EQ(box(26)->text(), "  Registrato due volte");
    EXPECT_TRUE(box(26)->isReadOnly());
    EXPECT_TRUE(control<QFrame>(&w, "Frame_annullato")->isVisible());
    EXPECT_FALSE(control<QFrame>(&w, "frame_annulla")->isVisible());
    EXPECT_TRUE(sessione(w).p_update());
    EXPECT_EQ(archivio("Annullato", 1).toInt(), 0);

    // Moving on saves it.
    click(&w, "cmd_move_2");
    EXPECT_EQ(corrente(), 2);
    EXPECT_EQ(archivio("Annullato", 1).toInt(), -1);
    EXPECT_EQ(archivio("Nota_annulla", 1).toString(), "  Registrato due volte");
    EXPECT_EQ(archivio("Annullato", 2).toInt(), 0);
}

TEST_F(MaskActionsTest, AnnulmentWithoutAReasonOrConfirmationChangesNothing)
{
    // No: no dialog at all.
    {
        ModalScript none;
        messages.answer(MsgAnswer::No);
        click(&w, "cmd_annulla");
    }
    // A blank reason is refused.
    messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok);
    ModalScript script;
    script.then("frm_annullato", [&](QDialog* d) {
        typeInto(d, "Text1", "   ");
        click(d, "Command1_0");
    });
    // "Annulla" in the dialog: nothing, and no message.
    script.then("frm_annullato", [&](QDialog* d) {
        typeInto(d, "Text1", "motivo");
        click(d, "Command1_1");
    });
    click(&w, "cmd_annulla");
    messages.answer(MsgAnswer::Yes);
    click(&w, "cmd_annulla");
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(messages.shown().size(), 4);
    EXPECT_EQ(messages.texts().at(2), "ATTENZIONE !\n\nNota non inserita ...azione annullata.");
    EXPECT_EQ(messages.shown().at(2).icon, MsgIcon::Exclamation);
    EXPECT_FALSE(control<QCheckBox>(&w, "Check1")->isChecked());
    EXPECT_TRUE(box(26)->text().isEmpty());
    EXPECT_TRUE(control<QFrame>(&w, "frame_annulla")->isVisible());
    EXPECT_FALSE(sessione(w).p_update());
}

TEST_F(MaskActionsTest, TheReasonOfAnAnnulledEntryIsShownReadOnly)
{
    vai(3); // annulled with "Errore"
    ASSERT_TRUE(control<QPushButton>(&w, "cmd_annullato")->isVisible());
    QString prompt;
    bool readOnly = false;
    bool saveShown = true;
    QString reason;
    ModalScript script;
    script.then("frm_annullato", [&](QDialog* d) {
        prompt = control<QLabel>(d, "Label1")->text();
        reason = text(d, "Text1");
        readOnly = control<QLineEdit>(d, "Text1")->isReadOnly();
        saveShown = control<QPushButton>(d, "Command1_0")->isVisibleTo(d);
        EXPECT_EQ(control<QPushButton>(d, "Command1_1")->text(), "Esci");
        click(d, "Command1_1");
    });
    click(&w, "cmd_annullato");
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(prompt, "Motivo dell' annullamento del quadernolo");
    EXPECT_EQ(reason, "Errore");
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(saveShown);
    EXPECT_EQ(archivio("Nota_annulla", 3).toString(), "Errore");
}

// --- linked file -------------------------------------------------------------------------

TEST_F(MaskActionsTest, APictureLinkIsPreviewedAndOpensTheViewer)
{
    const QString jpg = QDir(program.path()).filePath("scansione.JpG");
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(jpg, "JPG"));
    const QString jpeg = QDir(program.path()).filePath("foto.jpeg");
    ASSERT_TRUE(image.save(jpeg, "JPG"));

    box(19)->setText(jpg);
    EXPECT_FALSE(control<QLabel>(&w, "Image1")->pixmap().isNull()) << "any case of .jpg";
    box(19)->setText(jpeg);
    EXPECT_TRUE(control<QLabel>(&w, "Image1")->pixmap().isNull()) << "its last three characters are PEG";
    box(19)->setText("   ");
    EXPECT_TRUE(control<QLabel>(&w, "Image1")->pixmap().isNull());
    {
        ModalScript none;
        QTest::mouseDClick(control<QLabel>(&w, "Image1"), Qt::LeftButton);
    }

    // Moving in the grid view, then showing the mask: the preview follows the entry.
    ASSERT_TRUE(registro()->setValue("Collegamento", jpg).ok());
    EXPECT_FALSE(control<QLabel>(&w, "Image1")->pixmap().isNull());
    vista(w)->mostra_griglia();
    vai(2);
    EXPECT_TRUE(box(19)->text().isEmpty());
    EXPECT_FALSE(control<QLabel>(&w, "Image1")->pixmap().isNull()) << "the hidden mask keeps its preview";
    vista(w)->mostra_maschera();
    EXPECT_TRUE(control<QLabel>(&w, "Image1")->pixmap().isNull());

    box(19)->setText(jpg);
    QString shown;
    ModalScript script;
    script.then("frm_view", [&](QDialog* d) {
        shown = static_cast<frm_view*>(d)->p_image();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QTest::mouseDClick(control<QLabel>(&w, "Image1"), Qt::LeftButton);
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(shown, jpg);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "Esc closed the viewer";
}

TEST_F(MaskActionsTest, DroppingOnTheLinkBox)
{
    const QString first = QDir(program.path()).filePath("uno.pdf");
    const QString second = QDir(program.path()).filePath("due.pdf");
    const auto drop = [&](QMimeData* data) {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(box(19), &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, {});
            QApplication::sendEvent(box(19), &dropped);
        }
        delete data;
        return accepted;
    };

    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    files->setText(QUrl::fromLocalFile(first).toString() + "\n" + QUrl::fromLocalFile(second).toString());
    EXPECT_TRUE(drop(files));
    EXPECT_EQ(box(19)->text(), first);
    EXPECT_TRUE(sessione(w).p_update()) << "the link is a change of the entry";

    auto* address = new QMimeData;
    address->setText("https://www.example.org/atto");
    EXPECT_TRUE(drop(address));
    EXPECT_EQ(box(19)->text(), "https://www.example.org/atto");

    auto* picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(drop(picture)) << "no drop of anything else";
    EXPECT_EQ(box(19)->text(), "https://www.example.org/atto");
    EXPECT_FALSE(box(7)->acceptDrops()) << "only the link box takes drops";
}

TEST_F(MaskActionsTest, TheLinkedFileIsChosenOrOpened)
{
    const QString file = QDir(program.path()).filePath("Lettera.PDF");
    QFile(file).open(QIODevice::WriteOnly);
    QStringList opened;
    setDocumentOpener([&](const QString& path) {
        opened << path;
        return true;
    });

    // F2 and a double click choose it in either state; a cancelled choice changes nothing.
    messages.file(file);
    entra(19);
    QTest::keyClick(box(19), Qt::Key_F2);
    EXPECT_EQ(box(19)->text(), file);
    messages.file(QString());
    QTest::mouseDClick(box(19), Qt::LeftButton);
    EXPECT_EQ(box(19)->text(), file);
    inserisci();
    messages.file(QDir(program.path()).filePath("altro.pdf"));
    QTest::mouseDClick(box(19), Qt::LeftButton);
    EXPECT_EQ(box(19)->text(), QDir(program.path()).filePath("altro.pdf"));

    // "Inserisci file" and "Apri collegamento ipertestuale".
    messages.file(file);
    QTest::mouseClick(control<QLabel>(&w, "picOpenWWW_2"), Qt::LeftButton);
    EXPECT_EQ(box(19)->text(), file);
    QTest::mouseClick(control<QLabel>(&w, "picOpenWWW_0"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList {file});
    setDocumentOpener(nullptr);
}

// --- subject correction ------------------------------------------------------------------

namespace {

class SubjectCorrectionTest : public MaskRulesTest
{
protected:
    int entries() const override { return 60; }
};

} // namespace

TEST_F(SubjectCorrectionTest, F12CorrectsOnlyThatEntry)
{
    vai(58);
    QString title;
    QString shown;
    bool focused = false;
    ModalScript script;
    script.then("frm_correzione", [&](QDialog* d) {
        title = d->windowTitle();
        shown = text(d, "txt_correzione");
        focused = d->focusWidget() == control<QLineEdit>(d, "txt_correzione");
        typeInto(d, "txt_correzione", "Ricorso al TAR, l'udienza");
        click(d, "OKButton");
    });
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(title, " Quadernolo - Correzione");
    EXPECT_EQ(shown, "Oggetto n. 58 dell'ufficio");
    EXPECT_TRUE(focused);

    EXPECT_EQ(archivio("Oggetto", 58).toString(), "Ricorso al TAR, l'udienza");
    EXPECT_EQ(archivio("Oggetto", 57).toString(), "Oggetto n. 57 dell'ufficio");
    EXPECT_EQ(archivio("Oggetto", 59).toString(), "Oggetto n. 59 dell'ufficio");
    EXPECT_EQ(corrente(), 58);
    EXPECT_EQ(box(0)->text(), "58");
    EXPECT_EQ(box(7)->text(), "Ricorso al TAR, l'udienza");
    EXPECT_FALSE(sessione(w).p_update());

    // A second correction starts from the stored subject; closed without OK, it writes nothing.
    ModalScript escaped;
    escaped.then("frm_correzione", [&](QDialog* d) {
        shown = text(d, "txt_correzione");
        typeInto(d, "txt_correzione", "Mai confermato");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_TRUE(escaped.waitDone());
    EXPECT_EQ(shown, "Ricorso al TAR, l'udienza");
    EXPECT_EQ(archivio("Oggetto", 58).toString(), "Ricorso al TAR, l'udienza");
    EXPECT_EQ(box(7)->text(), "Ricorso al TAR, l'udienza");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(SubjectCorrectionTest, AnEmptiedSubjectIsRefusedWithAWordAndTheDialogStaysOnIt)
{
    vai(58);
    bool aperto = false;
    QString fuoco;
    ModalScript script;
    script.then("frm_correzione", [&](QDialog* d) {
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }));
        // Everything selected and deleted, then Return.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        pressKeyInFocus(Qt::Key_Delete);
        pressKeyInFocus(Qt::Key_Return);
        aperto = d->isVisible();
        fuoco = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        if (!aperto)
            return;
        // The clerk types the subject again in the same box, and confirms it.
        typeInFocus("Oggetto riscritto");
        pressKeyInFocus(Qt::Key_Return);
    });
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(messages.texts(), QStringList {"ATTENZIONE !\n\nL' oggetto non può essere vuoto."});
    EXPECT_TRUE(aperto);
    EXPECT_EQ(fuoco, "txt_correzione");
    EXPECT_EQ(archivio("Oggetto", 58).toString(), "Oggetto riscritto");
    EXPECT_EQ(box(7)->text(), "Oggetto riscritto");
}

TEST_F(SubjectCorrectionTest, TheRegisterKeepsItsOrderAndFilterAfterACorrection)
{
    ASSERT_TRUE(registro()->setFilter("Progressivo >= 50").ok());
    ASSERT_TRUE(registro()->setSort("Progressivo DESC").ok());
    vai(58);
    ModalScript script;
    script.then("frm_correzione", [&](QDialog* d) {
        typeInto(d, "txt_correzione", "Oggetto corretto");
        click(d, "OKButton");
    });
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_TRUE(script.waitDone());
    EXPECT_EQ(archivio("Oggetto", 58).toString(), "Oggetto corretto");
    EXPECT_EQ(corrente(), 58);
    EXPECT_EQ(box(7)->text(), "Oggetto corretto");
    EXPECT_EQ(registro()->recordCount(), 11);
    EXPECT_EQ(registro()->sort(), "Progressivo DESC");
    registro()->moveNext();
    EXPECT_EQ(corrente(), 57);
}

TEST_F(SubjectCorrectionTest, F12DoesNothingWhileAnEntryIsTyped)
{
    inserisci();
    ModalScript none;
    QTest::keyClick(box(7), Qt::Key_F12);
    EXPECT_EQ(archivio("Oggetto", 1).toString(), "Oggetto n. 1 dell'ufficio");
}

#include "annulment.h"
#include "database.h"
#include "frm_annullato.h"
#include "frm_correzione.h"
#include "frm_view.h"
#include "link_preview.h"
#include "scripted_messages.h"
#include "subject_correction.h"
#include "temp_program.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui_helpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quad;

namespace {

/// Acts on the modal dialog called name once it shows, through the shared ModalScript.
class ModalAction
{
public:
    ModalAction(const QString& name, std::function<void(QWidget*)> act)
    {
        m_script.then(name, [act](QDialog* dialog) { act(dialog); });
    }
    bool operator*() const { return m_script.done(); }

private:
    test::ModalScript m_script;
};

std::unique_ptr<ModalAction> whenModal(const QString& name, std::function<void(QWidget*)> act)
{
    return std::make_unique<ModalAction>(name, std::move(act));
}

template <typename T> T* child(QWidget* w, const QString& name)
{
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
}

void click(QWidget* dialog, const QString& name)
{
    auto* button = child<QPushButton>(dialog, name);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

// --- annulment --------------------------------------------------------------------------

TEST(Annulment, DialogLooksAsDesigned)
{
    QWidget owner;
    frm_annullato dialog(&owner);
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_EQ(child<QLabel>(&dialog, "Label1")->text(), "Inserire il motivo dell' annullamento (Obbligatorio !)");
    EXPECT_EQ(child<QPushButton>(&dialog, "Command1_0")->text(), "Salva ed Esci");
    EXPECT_EQ(child<QPushButton>(&dialog, "Command1_1")->text(), "Annulla");
    EXPECT_FALSE(child<QLineEdit>(&dialog, "Text1")->isReadOnly());
}

TEST(Annulment, ConfirmedReasonIsHandedOverAsTyped)
{
    test::ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes);
    QWidget owner;
    auto done = whenModal("frm_annullato", [](QWidget* d) {
        test::typeInto(d, "Text1", "  lettera duplicata");
        // Return in the reason's box does nothing; on the focused "Salva ed Esci" it presses it.
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), child<QPushButton>(d, "Command1_0"));
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
        if (d->isVisible())
            click(d, "Command1_1"); // the dialog must not stay open
    });
    const auto reason = chiedi_motivo_annullamento(&owner);
    EXPECT_TRUE(**done);
    ASSERT_TRUE(reason.has_value());
    EXPECT_EQ(*reason, "  lettera duplicata");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              "ATTENZIONE !\n\nUn quadernolo annullato non può essere ripristinato.\n\nConfermi ?\n\n");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown()[0].title, "Quadernolo");
}

TEST(Annulment, NoOpensNoDialog)
{
    test::ScriptedMessages messages;
    messages.answer(MsgAnswer::No);
    QWidget owner;
    bool opened = false;
    auto done = whenModal("frm_annullato", [&](QWidget* d) {
        opened = true;
        click(d, "Command1_1");
    });
    EXPECT_FALSE(chiedi_motivo_annullamento(&owner).has_value());
    EXPECT_FALSE(opened);
    EXPECT_EQ(messages.shown().size(), 1);
}

TEST(Annulment, BlankReasonIsRefusedWithItsMessage)
{
    test::ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes);
    QWidget owner;
    auto done = whenModal("frm_annullato", [](QWidget* d) {
        QTest::keyClicks(child<QLineEdit>(d, "Text1"), "   ");
        click(d, "Command1_0");
    });
    EXPECT_FALSE(chiedi_motivo_annullamento(&owner).has_value());
    EXPECT_TRUE(**done);
    EXPECT_EQ(messages.last(), "ATTENZIONE !\n\nNota non inserita ...azione annullata.");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
}

TEST(Annulment, CancelAndEscapeHandNothingBack)
{
    for (bool escape : {false, true}) {
        test::ScriptedMessages messages;
        messages.answer(MsgAnswer::Yes);
        QWidget owner;
        auto done = whenModal("frm_annullato", [escape](QWidget* d) {
            QTest::keyClicks(child<QLineEdit>(d, "Text1"), "motivo");
            if (escape)
                QTest::keyClick(child<QLineEdit>(d, "Text1"), Qt::Key_Escape);
            else
                click(d, "Command1_1");
        });
        EXPECT_FALSE(chiedi_motivo_annullamento(&owner).has_value());
        EXPECT_TRUE(**done);
        EXPECT_EQ(messages.shown().size(), 1) << "no message after a cancel";
    }
}

TEST(Annulment, OutcomeOfTheHandOver)
{
    EXPECT_EQ(esito_annullamento(false, "motivo"), EsitoAnnullamento::Rinuncia);
    EXPECT_EQ(esito_annullamento(true, " \t "), EsitoAnnullamento::NotaMancante);
    EXPECT_EQ(esito_annullamento(true, ""), EsitoAnnullamento::NotaMancante);
    EXPECT_EQ(esito_annullamento(true, " x"), EsitoAnnullamento::Annulla);
}

TEST(Annulment, ViewingTheReasonIsReadOnlyAndLeavesTheNextDialogAsDesigned)
{
    QWidget owner;
    auto done = whenModal("frm_annullato", [](QWidget* d) {
        auto* text = child<QLineEdit>(d, "Text1");
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->text(), "errore di protocollo");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Motivo dell' annullamento del quadernolo");
        EXPECT_FALSE(child<QPushButton>(d, "Command1_0")->isVisible());
        auto* esci = child<QPushButton>(d, "Command1_1");
        EXPECT_EQ(esci->text(), "Esci");
        // "Esci" stands in the middle of the dialog.
        const int centre = esci->mapTo(d, QPoint(esci->width() / 2, 0)).x();
        EXPECT_NEAR(centre, d->width() / 2, 3);
        QTest::keyClicks(text, "abc");
        EXPECT_EQ(text->text(), "errore di protocollo");
        click(d, "Command1_1");
    });
    mostra_motivo_annullamento(&owner, "errore di protocollo");
    EXPECT_TRUE(**done);

    // The next annulment starts from the design again.
    test::ScriptedMessages messages;
    messages.answer(MsgAnswer::Yes);
    auto again = whenModal("frm_annullato", [](QWidget* d) {
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Inserire il motivo dell' annullamento (Obbligatorio !)");
        EXPECT_TRUE(child<QPushButton>(d, "Command1_0")->isVisible());
        EXPECT_EQ(child<QPushButton>(d, "Command1_1")->text(), "Annulla");
        EXPECT_EQ(child<QLineEdit>(d, "Text1")->text(), "");
        click(d, "Command1_1");
    });
    chiedi_motivo_annullamento(&owner);
    EXPECT_TRUE(**again);
}

// --- subject correction ------------------------------------------------------------------

TEST(SubjectCorrection, TheBoxesOfTheDialogsAreAnnounced)
{
    QWidget owner;
    const auto nome = &test::announcedName;
    frm_correzione correzione(&owner);
    EXPECT_EQ(nome(child<QLineEdit>(&correzione, "txt_correzione")), "Oggetto");
    frm_annullato annullato(&owner);
    EXPECT_EQ(nome(child<QLineEdit>(&annullato, "Text1")), "Inserire il motivo dell' annullamento (Obbligatorio !)");
}

TEST(SubjectCorrection, OkHandsOverTheEditedSubject)
{
    QWidget owner;
    auto done = whenModal("frm_correzione", [](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), " Quadernolo - Correzione");
        auto* box = child<QLineEdit>(d, "txt_correzione");
        EXPECT_EQ(box->text(), "Richiesta contributo");
        EXPECT_EQ(d->focusWidget(), box); // activation may lag offscreen; the focus widget does not
        box->setText("Richiesta contributo 2025");
        click(d, "OKButton");
    });
    const auto text = correggi_oggetto(&owner, QVariant("Richiesta contributo"));
    EXPECT_TRUE(**done);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "Richiesta contributo 2025");
}

TEST(SubjectCorrection, BlankOrUnconfirmedTextIsNotHandedOver)
{
    QWidget owner;
    test::ScriptedMessages messages;
    // A blank subject is refused with a word, the dialog staying open on its box.
    auto blank = whenModal("frm_correzione", [&messages](QWidget* d) {
        auto* box = child<QLineEdit>(d, "txt_correzione");
        box->setText("   ");
        click(d, "OKButton");
        EXPECT_EQ(messages.texts(), QStringList {"ATTENZIONE !\n\nL' oggetto non può essere vuoto."});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), box);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(correggi_oggetto(&owner, QVariant("Oggetto")).has_value());
    EXPECT_TRUE(**blank);

    auto escape = whenModal("frm_correzione", [](QWidget* d) {
        auto* box = child<QLineEdit>(d, "txt_correzione");
        box->setText("non confermato");
        QTest::keyClick(box, Qt::Key_Escape);
    });
    // A Null subject shows as an empty box.
    EXPECT_FALSE(correggi_oggetto(&owner, QVariant()).has_value());
    EXPECT_TRUE(**escape);
}

TEST(SubjectCorrection, WriteChangesOnlyTheSubjectOfThatEntry)
{
    test::TempProgram program;
    DbResult error;
    auto db = Connection::open(program.archive(), test::kPassword, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    for (int n : {57, 58, 59}) {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto, Note) VALUES (?, 'E', ?, 'nota')",
                             {n, QString("oggetto %1").arg(n)})
                        .ok());
    }
    EXPECT_TRUE(salva_oggetto(*db, 58, CampoOggetto, "Nuovo oggetto: l'atto").ok());
    EXPECT_EQ(db->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 58").toString(), "Nuovo oggetto: l'atto");
    EXPECT_EQ(db->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 57").toString(), "oggetto 57");
    EXPECT_EQ(db->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 59").toString(), "oggetto 59");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata WHERE Note = 'nota'").toInt(), 3);
    // Another field code writes nothing; a number that is not there writes nothing.
    EXPECT_TRUE(salva_oggetto(*db, 57, 2, "x").ok());
    EXPECT_EQ(db->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 57").toString(), "oggetto 57");
    EXPECT_TRUE(salva_oggetto(*db, 999, CampoOggetto, "x").ok());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 3);
}

// --- linked-file preview and viewer ------------------------------------------------------

namespace {

QString writePicture(const QTemporaryDir& dir, const QString& name, const char* format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, format)) << name.toStdString();
    return path;
}

} // namespace

TEST(LinkPreview, PictureExtensionsAreTheLastThreeCharactersInAnyCase)
{
    for (const char* link : {"a.jpg", "A.JPG", "b.Bmp", "c.gif", "e.ico", "f.cur", "g.wmf", "h.EMF", "x.jpg "})
        EXPECT_TRUE(collegamento_immagine(link)) << link;
    for (const char* link : {"a.jpeg", "a.pdf", "", "jp", "a.doc", "a.jpgx", "d.png", "e.tif"})
        EXPECT_FALSE(collegamento_immagine(link)) << link;
}

TEST(LinkPreview, ShowsReadablePicturesAndEmptiesOtherwise)
{
    QTemporaryDir dir;
    QLabel image;
    const QString lower = writePicture(dir, "foto.jpg", "JPG", {40, 30});
    const QString upper = writePicture(dir, "SCAN.JPG", "JPG", {40, 30});
    const QString bmp = writePicture(dir, "pianta.bmp", "BMP", {20, 20});
    const QString jpeg = writePicture(dir, "foto2.jpeg", "JPG", {40, 30});
    QFile wmf(dir.filePath("disegno.wmf"));
    ASSERT_TRUE(wmf.open(QIODevice::WriteOnly));
    wmf.write(QByteArray::fromHex("d7cdc69a0000") + QByteArray(64, '\1'));
    wmf.close();

    for (const QString& path : {lower, upper, bmp}) {
        image.clear();
        mostra_anteprima_collegamento(path, &image);
        EXPECT_FALSE(image.pixmap().isNull()) << path.toStdString();
        EXPECT_TRUE(image.hasScaledContents());
    }
    for (const QString& link : {jpeg, wmf.fileName(), dir.filePath("manca.jpg"), QString("   "), QString()}) {
        mostra_anteprima_collegamento(lower, &image);
        ASSERT_FALSE(image.pixmap().isNull());
        mostra_anteprima_collegamento(link, &image);
        EXPECT_TRUE(image.pixmap().isNull()) << link.toStdString();
    }
}

TEST(LinkPreview, FileIsFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    const QString path = writePicture(dir, "Foto.JPG", "JPG", {10, 10});
    QLabel image;
    mostra_anteprima_collegamento(dir.filePath("foto.jpg"), &image);
    EXPECT_FALSE(image.pixmap().isNull());
    EXPECT_EQ(QFileInfo(file_collegamento(dir.filePath("FOTO.jpg"))).fileName(), "Foto.JPG");
}

TEST(LinkPreview, DoubleClickOpensTheViewerOnlyForPictures)
{
    QTemporaryDir dir;
    const QString path = writePicture(dir, "foto.JPG", "JPG", {50, 40});
    QWidget owner;
    QLabel image;
    mostra_anteprima_collegamento(path, &image);

    auto done = whenModal("frm_view", [&](QWidget* d) {
        auto* viewer = static_cast<frm_view*>(d);
        EXPECT_EQ(viewer->parentWidget(), &owner);
        EXPECT_EQ(child<QLabel>(viewer, "Picture2")->size(), QSize(50, 40));
        QTest::keyClick(viewer, Qt::Key_Escape);
    });
    EXPECT_TRUE(apri_anteprima_collegamento(&owner, path, &image));
    EXPECT_TRUE(**done);

    EXPECT_FALSE(apri_anteprima_collegamento(&owner, "  ", &image));
    EXPECT_FALSE(image.pixmap().isNull()) << "a blank link leaves the preview alone";
    EXPECT_FALSE(apri_anteprima_collegamento(&owner, dir.filePath("lettera.pdf"), &image));
    EXPECT_TRUE(image.pixmap().isNull());
}

TEST(PictureViewer, SmallPictureIsCentredWithoutBars)
{
    QTemporaryDir dir;
    QWidget owner;
    frm_view viewer(&owner);
    viewer.setp_image(writePicture(dir, "small.png", "PNG", {100, 60}));
    viewer.resize(400, 300);
    viewer.show();
    const QRect port = child<QFrame>(&viewer, "Picture1")->geometry();
    EXPECT_EQ(child<QLabel>(&viewer, "Picture2")->pos(), QPoint((port.width() - 100) / 2, (port.height() - 60) / 2));
    EXPECT_FALSE(child<QScrollBar>(&viewer, "VScroll1")->isVisible());
    EXPECT_FALSE(child<QScrollBar>(&viewer, "HScroll1")->isVisible());
    EXPECT_FALSE(child<QPushButton>(&viewer, "Command1")->isVisible());
    EXPECT_EQ(child<QFrame>(&viewer, "Picture1")->toolTip(), "Click o Esc per uscire");
    EXPECT_EQ(child<QLabel>(&viewer, "Picture2")->toolTip(), "Click o Esc per uscire");
}

TEST(PictureViewer, LargePictureScrollsByThirdsOfTheOverflow)
{
    QTemporaryDir dir;
    QWidget owner;
    frm_view viewer(&owner);
    viewer.setp_image(writePicture(dir, "large.bmp", "BMP", {1000, 900}));
    viewer.resize(400, 300);
    viewer.show();
    const QSize port = child<QFrame>(&viewer, "Picture1")->size();
    ASSERT_TRUE(child<QScrollBar>(&viewer, "VScroll1")->isVisible());
    ASSERT_TRUE(child<QScrollBar>(&viewer, "HScroll1")->isVisible());
    EXPECT_TRUE(child<QPushButton>(&viewer, "Command1")->isVisible());
    EXPECT_EQ(child<QScrollBar>(&viewer, "VScroll1")->maximum(), 900 - port.height());
    EXPECT_EQ(child<QScrollBar>(&viewer, "HScroll1")->maximum(), 1000 - port.width());
    EXPECT_EQ(child<QScrollBar>(&viewer, "HScroll1")->pageStep(), (1000 - port.width()) / 3);
    EXPECT_EQ(child<QScrollBar>(&viewer, "VScroll1")->value(), 0);
    EXPECT_EQ(child<QLabel>(&viewer, "Picture2")->pos(), QPoint(0, 0));
    child<QScrollBar>(&viewer, "HScroll1")->setValue(120);
    child<QScrollBar>(&viewer, "VScroll1")->setValue(40);
    EXPECT_EQ(child<QLabel>(&viewer, "Picture2")->pos(), QPoint(-120, -40));
    // A larger window that holds the picture centres it and drops the bars.
    viewer.resize(1200, 1100);
    EXPECT_FALSE(child<QScrollBar>(&viewer, "HScroll1")->isVisible());
    EXPECT_FALSE(child<QPushButton>(&viewer, "Command1")->isVisible());
}

TEST(PictureViewer, ClickOrTypedKeyClosesEvenWhenThePictureCannotBeRead)
{
    QTemporaryDir dir;
    QWidget owner;
    const QString picture = writePicture(dir, "p.gif", "PNG", {30, 30});
    auto clicked = whenModal("frm_view", [](QWidget* d) {
        QTest::mouseClick(child<QLabel>(d, "Picture2"), Qt::LeftButton, {}, QPoint(5, 5));
    });
    apri_visualizzatore(&owner, picture);
    EXPECT_TRUE(**clicked);

    auto typed = whenModal("frm_view", [](QWidget* d) {
        auto* viewer = static_cast<frm_view*>(d);
        EXPECT_TRUE(child<QLabel>(viewer, "Picture2")->pixmap().isNull());
        QTest::keyClick(viewer, Qt::Key_X);
    });
    apri_visualizzatore(&owner, dir.filePath("manca.emf"));
    EXPECT_TRUE(**typed);
}

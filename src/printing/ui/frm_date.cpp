#include "frm_date.h"

#include "clock.h"
#include "date_text.h"
#include "mask_typing.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frm_date::frm_date(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_date"));
    setWindowTitle(QStringLiteral("Quadernolo - Stampa registro quadernoli"));
    setModal(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    const auto etichetta = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, Frame1);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    const auto casella = [this](const char* name) {
        auto* box = new QLineEdit(Frame1);
        box->setObjectName(QLatin1String(name));
        box->installEventFilter(this);
        return box;
    };
    Label1 = etichetta("Label1", QStringLiteral("Dalla data :"));
    txt_dalla = casella("txt_dalla");
    Label2 = etichetta("Label2", QStringLiteral("Alla data :"));
    txt_alla = casella("txt_alla");
    // A screen reader announces each box by its caption.
    Label1->setBuddy(txt_dalla);
    Label2->setBuddy(txt_alla);
    Label3 = etichetta("Label3", QStringLiteral("[ F2 ] per la data odierna"));
    OKButton = new QPushButton(QStringLiteral("Stampa"), Frame1);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Annulla"), Frame1);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // The dialog has no default button, so Return in a date box does nothing; on a focused button
    // it presses that button, as in every dialog.
    for (QPushButton* b : {OKButton, CancelButton})
        b->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &frm_date::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frm_date::CancelButton_Click);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txt_dalla, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txt_alla, 1, 1);
    grid->addWidget(Label3, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    grid->addLayout(buttons, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
}

void frm_date::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    txt_dalla->setFocus();
}

void frm_date::OKButton_Click()
{
    m_dalla = txt_dalla->text();
    m_alla = txt_alla->text();
    QDialog::accept();
}

void frm_date::CancelButton_Click()
{
    QDialog::reject();
}

void frm_date::reject()
{
    // The close box and Esc count as "Annulla".
    CancelButton_Click();
}

bool frm_date::txt_KeyDown(QLineEdit* box, int keyCode)
{
    if (keyCode != Qt::Key_F2)
        return false;
    box->setText(showDate(Clock::currentDate()));
    return true;
}

bool frm_date::txt_KeyPress(QLineEdit* box, const QString& typed)
{
    if (typed.size() != 1 || typed.at(0).unicode() < 32 || typed.at(0) == QChar(127))
        return false; // editing and moving keys work as in any box
    const MaskResult result = mask_data(box->text(), box->cursorPosition(), typed.at(0));
    if (result.text != box->text())
        box->setText(result.text);
    box->setCursorPosition(result.caret);
    return result.swallowed;
}

bool frm_date::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == txt_dalla || box == txt_alla) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (txt_KeyDown(box, key->key()))
            return true;
        if (txt_KeyPress(box, key->text()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quad

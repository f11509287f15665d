#include "data_control.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace quad {

DataControl::DataControl(QWidget* parent)
    : QFrame(parent)
    , m_source(new DataSource(this))
{
    build();
}

DataControl::DataControl(DataSource& source, QWidget* parent)
    : QFrame(parent)
    , m_source(&source)
{
    build();
}

void DataControl::build()
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    const char* arrows[4] = {"|◀", "◀", "▶", "▶|"};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QToolButton(this);
        m_buttons[i]->setText(QString::fromUtf8(arrows[i]));
        m_buttons[i]->setFocusPolicy(Qt::NoFocus);
        connect(m_buttons[i], &QToolButton::clicked, this, [this, i] { muovi(i); });
    }
    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_buttons[0]);
    layout->addWidget(m_buttons[1]);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_buttons[2]);
    layout->addWidget(m_buttons[3]);

    connect(m_source, &DataSource::willMove, this, &DataControl::willMove);
    connect(m_source, &DataSource::moveComplete, this, &DataControl::moveComplete);
    connect(m_source, &DataSource::recordChangeComplete, this, &DataControl::recordChangeComplete);
    connect(m_source, &DataSource::error, this, &DataControl::error);
    connect(m_source, &DataSource::recordsetChanged, this, &DataControl::recordsetChanged);
    connect(m_source, &DataSource::dataChanged, this, &DataControl::dataChanged);
    connect(m_source, &DataSource::rowDataChanged, this, &DataControl::rowDataChanged);
}

QString DataControl::Caption() const
{
    return m_caption->text();
}

void DataControl::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

void DataControl::setConnectionString(const QString& text)
{
    if (m_source)
        m_source->setConnectionString(text);
}

void DataControl::setRecordSource(const QString& sql, const QVariantList& parameters)
{
    if (m_source)
        m_source->setRecordSource(sql, parameters);
}

void DataControl::setRecordset(std::shared_ptr<quad::Recordset> recordset)
{
    if (m_source)
        m_source->setRecordset(std::move(recordset));
}

DbResult DataControl::Refresh()
{
    if (!m_source)
        return DbResult::failure(DbError::NotFound, QStringLiteral("Origine dati non impostata."));
    return m_source->Refresh();
}

void DataControl::clear()
{
    if (m_source)
        m_source->clear();
}

void DataControl::muovi(int button)
{
    if (m_source)
        m_source->muovi(button);
}

} // namespace quad

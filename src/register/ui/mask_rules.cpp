#include "mask_rules.h"

#include "field_binding.h"

#include "date_text.h"

#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace quad {

std::optional<QString> testo_rilascio(const QMimeData* data)
{
    if (!data)
        return std::nullopt;
    const QList<QUrl> urls = data->hasUrls() ? data->urls() : QList<QUrl>();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    if (data->hasText())
        return data->text();
    if (!urls.isEmpty())
        return urls.first().toString();
    return std::nullopt;
}

QString anno_della_data(const QString& text)
{
    const auto value = parseDateText(text.trimmed());
    return value && value->date ? QString::number(value->date->year()) : QString();
}

void conferma_caselle(FieldBinder* binder, const std::vector<QLineEdit*>& boxes)
{
    for (QLineEdit* box : boxes) {
        if (box && binder->isDirty(box))
            (void)binder->commit(box);
    }
}

void scrivi_casella(FieldBinder* binder, const std::vector<QLineEdit*>& boxes, QLineEdit* box, const QString& text)
{
    conferma_caselle(binder, boxes);
    box->setText(text);
    (void)binder->commit(box);
}

} // namespace quad

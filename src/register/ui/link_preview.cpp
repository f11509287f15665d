#include "link_preview.h"

#include "file_lookup.h"
#include "frm_view.h"
#include "program_folder.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace quad {

bool collegamento_immagine(const QString& link)
{
    static const QStringList pictures {QStringLiteral("BMP"), QStringLiteral("ICO"), QStringLiteral("CUR"),
                                       QStringLiteral("JPG"), QStringLiteral("WMF"), QStringLiteral("EMF"),
                                       QStringLiteral("GIF")};
    const QString path = link.trimmed();
    return path.size() >= 3 && pictures.contains(path.right(3).toUpper());
}

QString file_collegamento(const QString& link)
{
    const QString path = link.trimmed();
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isFile())
        return path;
    const QString found = resolveNoCase(programFolder(), path);
    return QFileInfo(found).isFile() ? found : QString();
}

void mostra_anteprima_collegamento(const QString& link, QLabel* Image1)
{
    Image1->setScaledContents(true);
    if (link.trimmed().isEmpty() || !collegamento_immagine(link)) {
        Image1->clear();
        return;
    }
    const QString file = file_collegamento(link);
    QImage image;
    if (!file.isEmpty()) {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        image = reader.read();
    }
    if (image.isNull())
        Image1->clear();
    else
        Image1->setPixmap(QPixmap::fromImage(image));
}

bool apri_anteprima_collegamento(QWidget* parent, const QString& link, QLabel* Image1)
{
    Image1->setScaledContents(true);
    if (link.trimmed().isEmpty())
        return false;
    if (!collegamento_immagine(link)) {
        Image1->clear();
        return false;
    }
    const QString file = file_collegamento(link);
    apri_visualizzatore(parent, file.isEmpty() ? link.trimmed() : file);
    return true;
}

} // namespace quad

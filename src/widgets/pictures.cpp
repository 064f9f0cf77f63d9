#include "widgets/pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QResource>
#include <QtEndian>

namespace widgets {

namespace {

constexpr qsizetype HeaderSize = 8;

// Width and height (32-bit little-endian), then the rows of premultiplied ARGB32 pixels.
QPixmap load(const QString &name)
{
    const QResource resource(QStringLiteral(":/pictures/%1.pix").arg(name));
    if (!resource.isValid())
        return {};
    const QByteArray bytes = resource.uncompressedData();
    if (bytes.size() < HeaderSize)
        return {};
    const auto width = qFromLittleEndian<quint32>(bytes.constData());
    const auto height = qFromLittleEndian<quint32>(bytes.constData() + 4);
    if (width == 0 || height == 0 || width > 4096 || height > 4096
        || bytes.size() != HeaderSize + qsizetype(width) * height * 4)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    const char *pixels = bytes.constData() + HeaderSize;
    for (quint32 y = 0; y < height; ++y, pixels += 4 * width) // a row at a time: a copy on x86
        qFromLittleEndian<quint32>(pixels, qsizetype(width), image.scanLine(int(y)));
    return QPixmap::fromImage(std::move(image)); // taken over, not copied
}

} // namespace

QPixmap picture(int id)
{
    return load(QString::number(id));
}

QIcon pictureIcon(int id)
{
    QIcon icon(picture(id));
    // As an icon made from the picture file would: the double-density form only where the
    // screen has more than one device pixel to a pixel.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QPixmap sharp = load(QStringLiteral("%1@2x").arg(id));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            icon.addPixmap(sharp);
        }
    }
    return icon;
}

} // namespace widgets

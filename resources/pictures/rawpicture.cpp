// tqm-rawpicture IN.png OUT: a picture decoded at build time, so that the program draws it
// without running an image decoder (and without Qt loading its image-format plug-ins) before
// its first window appears. OUT holds the width and the height (32-bit, little-endian) and then
// the pixels as premultiplied ARGB32, row after row, as widgets/pictures.cpp reads them.

#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tqm-rawpicture IN.png OUT\n");
        return 2;
    }
    const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "tqm-rawpicture: %s is no picture that can be read\n", argv[1]);
        return 1;
    }
    QByteArray bytes(8, '\0');
    qToLittleEndian<quint32>(quint32(image.width()), bytes.data());
    qToLittleEndian<quint32>(quint32(image.height()), bytes.data() + 4);
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            char pixel[4];
            qToLittleEndian<quint32>(row[x], pixel);
            bytes.append(pixel, 4);
        }
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tqm-rawpicture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// Build step: renders the tool bar's SVG pictures at the size they are shown
// (16 pixels) and at twice that for high-density screens (name@2x), and writes
// the resource file listing them. Each picture is stored as the pixels a
// pixmap holds (premultiplied 32-bit ARGB, this machine's byte order, rows
// top to bottom), so the program neither renders nor decodes one at start.
// Usage: render_icons OUTPUT_FOLDER QRC_FILE SVG-or-PNG...
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
    const QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: render_icons OUTPUT_FOLDER QRC_FILE SVG...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/icons\">\n";
    // Writes one picture's pixels and lists the file in the resource.
    const auto store = [&](const QImage& image, const QString& file) {
        QFile pixels(folder + QLatin1Char('/') + file);
        const auto bytes = static_cast<qint64>(image.sizeInBytes());
        if (image.format() != QImage::Format_ARGB32_Premultiplied ||
            image.width() != image.height() || image.bytesPerLine() != image.width() * 4 ||
            !pixels.open(QIODevice::WriteOnly) ||
            pixels.write(reinterpret_cast<const char*>(image.constBits()), bytes) != bytes) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return false;
        }
        qrc += "    <file>" + file.toUtf8() + "</file>\n";
        return true;
    };
    for (int i = 3; i < argc; ++i) {
        const QString source = QString::fromLocal8Bit(argv[i]);
        const QString name = QFileInfo(source).completeBaseName();
        // A picture drawn at its size (the program's larger pictures) is kept as drawn.
        if (source.endsWith(QStringLiteral(".png"))) {
            const QImage drawn(source);
            if (drawn.isNull() || !store(drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                         name + QStringLiteral(".argb")))
                return 1;
            continue;
        }
        QSvgRenderer renderer(source);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "render_icons: cannot read %s\n", argv[i]);
            return 1;
        }
        for (const auto& [size, suffix] : {std::pair{16, ""}, std::pair{32, "@2x"}}) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            if (!store(image, name + QString::fromLatin1(suffix) + QStringLiteral(".argb")))
                return 1;
        }
    }
    qrc += "</qresource>\n</RCC>\n";
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(qrc) != qrc.size())
        return 1;
    return 0;
}

// k80x-icon: draws the program's icon into a folder.
//
//   k80x-icon OUTPUT-FOLDER
//
// Writes k80x.svg (the scalable icon), k80x-N.png for the sizes of the
// freedesktop icon theme and k80x.ico (Windows: executable and installer).
// One list of shapes feeds both the SVG text and the painted bitmaps, so the
// two always show the same picture: a logger's blue case with a thermometer,
// a humidity drop and the bars of a GSM signal.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

constexpr int Canvas = 256; // the drawing's own units; every size scales it
const int PngSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
const int IcoSizes[] = {16, 32, 48, 256};

// A closed outline: a rounded rectangle, a circle or cubic curves.
struct TShape
{
    enum class TKind { RoundedRect, Circle, Curves } kind;
    std::vector<double> numbers; // rect: x y w h radius; circle: cx cy r;
                                 // curves: x0 y0, then (c1x c1y c2x c2y x y)...
    QColor fill;                 // plain fill, or the top of a gradient
    QColor fillBottom;           // invalid: plain fill
    QColor outline;              // invalid: no outline
    double outlineWidth = 0;
};

std::vector<TShape> Shapes()
{
    const QColor white(0xff, 0xff, 0xff);
    const QColor red(0xe5, 0x39, 0x35);
    const QColor navy(0x0d, 0x3f, 0x73);
    using K = TShape::TKind;
    return {
        // The logger's case.
        {K::RoundedRect, {16, 16, 224, 224, 40}, QColor(0x2a, 0x7f, 0xc9), navy, {}, 0},
        // The GSM signal bars.
        {K::RoundedRect, {150, 58, 14, 18, 3}, white, {}, {}, 0},
        {K::RoundedRect, {172, 46, 14, 30, 3}, white, {}, {}, 0},
        {K::RoundedRect, {194, 32, 14, 44, 3}, white, {}, {}, 0},
        // The thermometer: glass, then the red column.
        {K::RoundedRect, {66, 40, 44, 150, 22}, white, {}, {}, 0},
        {K::Circle, {88, 186, 34}, white, {}, {}, 0},
        {K::RoundedRect, {80, 84, 16, 100, 8}, red, {}, {}, 0},
        {K::Circle, {88, 186, 22}, red, {}, {}, 0},
        // The humidity drop.
        {K::Curves,
         {170, 100,
          170, 100, 210, 146, 210, 172,
          210, 196, 192, 214, 170, 214,
          148, 214, 130, 196, 130, 172,
          130, 146, 170, 100, 170, 100},
         QColor(0x81, 0xd4, 0xfa), {}, white, 6},
    };
}

QString Number(double value)
{
    return QString::number(value, 'g', 6);
}

QString ColorText(const QColor &color)
{
    return color.name(QColor::HexRgb);
}

QString SvgText(const std::vector<TShape> &shapes)
{
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Canvas << "\" height=\"" << Canvas
        << "\" viewBox=\"0 0 " << Canvas << ' ' << Canvas << "\">\n";
    int gradients = 0;
    for (const TShape &shape : shapes) {
        QString fill = ColorText(shape.fill);
        if (shape.fillBottom.isValid()) {
            const QString id = QStringLiteral("fill%1").arg(++gradients);
            out << "  <defs><linearGradient id=\"" << id << "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                << "<stop offset=\"0\" stop-color=\"" << ColorText(shape.fill) << "\"/>"
                << "<stop offset=\"1\" stop-color=\"" << ColorText(shape.fillBottom) << "\"/>"
                << "</linearGradient></defs>\n";
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        QString paint = QStringLiteral("fill=\"%1\"").arg(fill);
        if (shape.outline.isValid())
            paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                         .arg(ColorText(shape.outline), Number(shape.outlineWidth));
        const std::vector<double> &n = shape.numbers;
        switch (shape.kind) {
        case TShape::TKind::RoundedRect:
            out << "  <rect x=\"" << Number(n[0]) << "\" y=\"" << Number(n[1]) << "\" width=\""
                << Number(n[2]) << "\" height=\"" << Number(n[3]) << "\" rx=\"" << Number(n[4])
                << "\" " << paint << "/>\n";
            break;
        case TShape::TKind::Circle:
            out << "  <circle cx=\"" << Number(n[0]) << "\" cy=\"" << Number(n[1]) << "\" r=\""
                << Number(n[2]) << "\" " << paint << "/>\n";
            break;
        case TShape::TKind::Curves: {
            out << "  <path d=\"M " << Number(n[0]) << ' ' << Number(n[1]);
            for (std::size_t index = 2; index + 5 < n.size(); index += 6) {
                out << " C";
                for (std::size_t part = 0; part < 6; ++part)
                    out << ' ' << Number(n[index + part]);
            }
            out << " Z\" " << paint << "/>\n";
            break;
        }
        }
    }
    out << "</svg>\n";
    return svg;
}

QImage Painted(const std::vector<TShape> &shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / Canvas, double(size) / Canvas);
    for (const TShape &shape : shapes) {
        const std::vector<double> &n = shape.numbers;
        QPainterPath path;
        switch (shape.kind) {
        case TShape::TKind::RoundedRect:
            path.addRoundedRect(QRectF(n[0], n[1], n[2], n[3]), n[4], n[4]);
            break;
        case TShape::TKind::Circle:
            path.addEllipse(QPointF(n[0], n[1]), n[2], n[2]);
            break;
        case TShape::TKind::Curves:
            path.moveTo(n[0], n[1]);
            for (std::size_t index = 2; index + 5 < n.size(); index += 6)
                path.cubicTo(n[index], n[index + 1], n[index + 2], n[index + 3], n[index + 4],
                             n[index + 5]);
            path.closeSubpath();
            break;
        }
        if (shape.fillBottom.isValid()) {
            const QRectF bounds = path.boundingRect();
            QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
            gradient.setColorAt(0, shape.fill);
            gradient.setColorAt(1, shape.fillBottom);
            painter.fillPath(path, gradient);
        } else {
            painter.fillPath(path, shape.fill);
        }
        if (shape.outline.isValid())
            painter.strokePath(path, QPen(shape.outline, shape.outlineWidth));
    }
    return image;
}

QByteArray PngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void AppendLittleEndian(QByteArray &bytes, quint32 value, int size)
{
    for (int index = 0; index < size; ++index)
        bytes.append(char((value >> (8 * index)) & 0xFF));
}

// An ICO file holding every size of IcoSizes as a PNG image (read by
// Windows Vista and later): a 6-byte header, a 16-byte entry per image,
// then the images.
QByteArray IcoFile(const std::vector<TShape> &shapes)
{
    std::vector<QByteArray> images;
    for (const int size : IcoSizes)
        images.push_back(PngBytes(Painted(shapes, size)));
    QByteArray file;
    AppendLittleEndian(file, 0, 2); // reserved
    AppendLittleEndian(file, 1, 2); // an icon, not a cursor
    AppendLittleEndian(file, quint32(images.size()), 2);
    quint32 offset = quint32(6 + 16 * images.size());
    for (std::size_t index = 0; index < images.size(); ++index) {
        const int size = IcoSizes[index];
        file.append(char(size >= 256 ? 0 : size)); // 0 stands for 256
        file.append(char(size >= 256 ? 0 : size));
        AppendLittleEndian(file, 0, 2);  // no palette, reserved
        AppendLittleEndian(file, 1, 2);  // colour planes
        AppendLittleEndian(file, 32, 2); // bits per pixel
        AppendLittleEndian(file, quint32(images[index].size()), 4);
        AppendLittleEndian(file, offset, 4);
        offset += quint32(images[index].size());
    }
    for (const QByteArray &image : images)
        file += image;
    return file;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: k80x-icon OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "k80x-icon: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const std::vector<TShape> shapes = Shapes();
    bool written = WriteFile(folder.filePath(QStringLiteral("k80x.svg")), SvgText(shapes).toUtf8());
    for (const int size : PngSizes)
        written = Painted(shapes, size).save(folder.filePath(QStringLiteral("k80x-%1.png").arg(size)), "PNG")
            && written;

    written = WriteFile(folder.filePath(QStringLiteral("k80x.ico")), IcoFile(shapes)) && written;
    if (!written) {
        std::fprintf(stderr, "k80x-icon: cannot write into %s\n", qPrintable(folder.path()));
        return 1;
    }
    return 0;
}

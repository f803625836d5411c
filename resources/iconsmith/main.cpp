// iconsmith - draws every picture in Snipwell's resources/ folder.
//
// Usage: iconsmith OUTPUT_DIR [--preview PREVIEW.png]
//
// The six tool-strip pictures are 32 x 32 pixel art kept as character grids, because at that size
// each pixel has to be placed by hand to stay crisp; they are written as 24-bit BMP files by a
// small writer of our own so the byte layout is fixed (QImage may choose 32-bit BMP). The program
// icon is vector art in a 32-unit square so one description yields the 32 px PNG, the 256 px PNG
// and the SVG.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTextStream>
#include <QtMath>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kToolSize = 32;

// ---------------------------------------------------------------------------------------------
// Pixel-art grids for the tool strip
// ---------------------------------------------------------------------------------------------

// One string per pixel row keeps each picture visible in the source (hence clang-format off).
using Grid = std::array<const char*, kToolSize>;

// One character per pixel: '#' outline, 'k' 'd' 'g' 'l' 'm' greys from dark to light, '.'/'w'
// white. A few greys are enough for volume; more would turn to mush at 1x.
QRgb paletteColour(char c)
{
    switch (c) {
    case '.': // background: the pictures sit on a white ground
    case 'w': // white inside a shape (kept apart from '.' only for readability)
        return qRgb(0xff, 0xff, 0xff);
    case 'm':
        return qRgb(0xe8, 0xe8, 0xe8);
    case 'l':
        return qRgb(0xd4, 0xd4, 0xd4);
    case 'g':
        return qRgb(0xa8, 0xa8, 0xa8);
    case 'd':
        return qRgb(0x80, 0x80, 0x80);
    case 'k':
        return qRgb(0x40, 0x40, 0x40);
    case '#':
        return qRgb(0x00, 0x00, 0x00);
    default:
        return 0;
    }
}

// Turns a grid into an image; a typo in a grid is a bug, so it stops the program loudly.
QImage imageFromGrid(const Grid& rows, const char* name)
{
    QImage image(kToolSize, kToolSize, QImage::Format_RGB32);
    for (int y = 0; y < kToolSize; ++y) {
        const QByteArray row(rows[y]);
        if (row.size() != kToolSize) {
            std::fprintf(stderr, "%s: row %d has %d pixels\n", name, y, int(row.size()));
            std::exit(2);
        }
        for (int x = 0; x < kToolSize; ++x) {
            const char c = row[x];
            if (paletteColour(c) == 0) { // qRgb() sets alpha, so 0 means "not in the palette"
                std::fprintf(stderr, "%s: unknown colour '%c' at %d,%d\n", name, c, x, y);
                std::exit(2);
            }
            image.setPixel(x, y, paletteColour(c));
        }
    }
    return image;
}

// Utility knife: handle to the lower left, snap-off blade to the upper right. The handle is shaded
// in three bands (light, mid, dark) to read as a rounded body; the dark nose separates handle and
// blade, the ridged bump on top is the thumb slider, and the flat-topped blade tip with one snap
// line says "box cutter" rather than "pen".
QImage drawCut()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        "................................",
        "................................",
        ".......................#######..",
        "......................#wwwll#...",
        ".....................#wwwll#....",
        "....................#wwwll#.....",
        "...................#ddddd#......",
        "..................#wwwll#.......",
        ".................#wwwll#........",
        "................##wwll#.........",
        "..............##dd#ll#..........",
        "..........####w#dkk##...........",
        ".........#kg#wll#kkk#...........",
        "........#gk#wllgg#k#............",
        ".......#kg#wllggdd#.............",
        ".......###wllggddd#.............",
        "........#wllggddd#..............",
        ".......#wllggddd#...............",
        "......#wllggddd#................",
        ".....#wllggddd#.................",
        "....#wllggddd#..................",
        "...#wllggddd#...................",
        "...#llggddd#....................",
        "...#lggddd#.....................",
        "....#gddd#......................",
        ".....####.......................",
        "................................",
        "................................",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "cut");
}

// Pencil, point to the lower left. Three facet shades give the hexagonal body; the wood cone is
// white with a grey underside, the lead is dark, and a ringed ferrule holds a rounded eraser.
QImage drawPencil()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        ".........................###....",
        ".......................##llg#...",
        "......................#w#lggg#..",
        ".....................#dwl#ggd#..",
        "....................#wddll#dd#..",
        "...................##wlddlg##...",
        "..................#mm#lldkgg#...",
        ".................#mmmg#lgkk#....",
        "................#mmmggg#gg#.....",
        "...............#mmmgggdd##......",
        "..............#mmmgggddd#.......",
        ".............#mmmgggddd#........",
        "............#mmmgggddd#.........",
        "...........#mmmgggddd#..........",
        "..........#mmmgggddd#...........",
        ".........#mmmgggddd#............",
        "........#mmmgggddd#.............",
        ".......#mmmgggddd#..............",
        ".......#mmgggddd#...............",
        "......#w#gggddd#................",
        "......#ww#gddd#.................",
        ".....#wwwl#dd#..................",
        ".....#wwlll##...................",
        "....#wwll##.....................",
        "....#kl##.......................",
        "...#k##.........................",
        "...##...........................",
        "..#.............................",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "draw");
}

// Bold capital A. Solid black reads best at 1x; a one-pixel grey drop shadow supplies the shading
// without blurring the letter's edges. Legs step 2-3 rows per pixel, close to a grotesque's angle.
QImage drawText()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        "................................",
        ".............######.............",
        ".............######g............",
        "............########............",
        "............########g...........",
        "............########g...........",
        "...........##########...........",
        "...........##########g..........",
        "..........#####gg#####..........",
        "..........#####g.#####g.........",
        "..........#####g.#####g.........",
        ".........#####gg..#####.........",
        ".........#####g...#####g........",
        "........#####gg....#####........",
        "........#####g.....#####g.......",
        "........#####g.....#####g.......",
        ".......##################.......",
        ".......##################g......",
        "......####################......",
        "......#####gggggggggg#####g.....",
        "......#####g.........#####g.....",
        ".....#####gg..........#####.....",
        ".....#####g...........#####g....",
        "....#####gg............#####....",
        "....#####g.............#####g...",
        "....#####g.............#####g...",
        ".....ggggg..............ggggg...",
        "................................",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "text");
}

// Upright eraser in oblique view: white rubber on top, a dark paper sleeve with a light band below.
// Front, top and side faces get different greys so the block reads as a solid.
QImage drawErase()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        "................................",
        "................................",
        ".............############.......",
        "............#llllllllll##.......",
        "...........#llllllllll#g#.......",
        "..........#llllllllll#gg#.......",
        ".........############ggg#.......",
        ".........#wwwwwwwwww#ggg#.......",
        ".........#wwwwwwwwww#ggg#.......",
        ".........#wwwwwwwwww#ggg#.......",
        ".........#wwwwwwwwww#ggg#.......",
        ".........#wwwwwwwwww#ggg#.......",
        ".........#wwwwwwwwww#gg##.......",
        ".........#wwwwwwwwww#g#k#.......",
        ".........#wwwwwwwwww##kk#.......",
        ".........############kkk#.......",
        ".........#dddddddddd#kkk#.......",
        ".........#dddddddddd#kkg#.......",
        ".........#dddddddddd#kgg#.......",
        ".........#dddddddddd#ggk#.......",
        ".........#llllllllll#gkk#.......",
        ".........#llllllllll#kkk#.......",
        ".........#dddddddddd#kkk#.......",
        ".........#dddddddddd#kkk#.......",
        ".........#dddddddddd#kk#........",
        ".........#dddddddddd#k#.........",
        ".........#dddddddddd##..........",
        ".........############...........",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "erase");
}

// Clipboard: grey board lit from the upper left, a white sheet with text lines casting a small
// shadow, and a metal clip with a hanging hole at the top.
QImage drawPaste()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        ".............######.............",
        ".............#wwww#.............",
        "......########l##l########......",
        ".....#llll####llll####llld#.....",
        ".....#lggg#llllllllll#gggd#.....",
        ".....#lggg#llllllllll#gggd#.....",
        ".....#lg###llllllllll##ggd#.....",
        ".....#lg#w#gggggggggg##ggd#.....",
        ".....#lg#w#############dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wgggggggggggw#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wgggggggggwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wgggggggggggw#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wggggggggwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg#wwwwwwwwwwwww#dgd#.....",
        ".....#lg###############dgd#.....",
        ".....#lgggddddddddddddddgd#.....",
        ".....#dddddddddddddddddddd#.....",
        "......####################......",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "paste");
}

// 3.5" floppy disk: chamfered corner at the upper right, metal shutter with its window at the top,
// white label with ruled lines at the bottom.
QImage drawSave()
{
    // clang-format off
    static const Grid rows = {
        "................................",
        "................................",
        "................................",
        "...#######################......",
        "...#lllll#wlllllllllll#llg#.....",
        "...#lgggg#wllllll####l#gggd#....",
        "...#lgggg#wllllll#kk#l#ggggd#...",
        "...#lgggg#wllllll#kk#l#ggggd#...",
        "...#lgggg#wllllll#kk#l#ggggd#...",
        "...#lgggg#wllllll#kk#l#ggggd#...",
        "...#lgggg#wllllll####l#ggggd#...",
        "...#lgggg#wlllllllllll#ggggd#...",
        "...#lgggg##############ggggd#...",
        "...#lggggggggggggggggggggggd#...",
        "...#lggggggggggggggggggggggd#...",
        "...#lggggggggggggggggggggggd#...",
        "...#lgg##################ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wggggggggggggggw#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wggggggggggggggw#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#lgg#wggggggggggggggw#ggd#...",
        "...#lgg#wwwwwwwwwwwwwwww#ggd#...",
        "...#ddd#wwwwwwwwwwwwwwww#ddd#...",
        "...##########################...",
        "................................",
        "................................",
        "................................",
    };
    // clang-format on
    return imageFromGrid(rows, "save");
}

// ---------------------------------------------------------------------------------------------
// 24-bit BMP writer
// ---------------------------------------------------------------------------------------------

void putU16(QByteArray& out, std::uint16_t v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void putU32(QByteArray& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((v >> shift) & 0xff));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER, no palette, bottom-up rows of B,G,R padded to 4 bytes.
// For 32 x 32 this is 14 + 40 + 3072 = 3126 bytes.
bool writeBmp24(const QImage& image, const QString& path)
{
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = std::uint32_t(rowBytes) * std::uint32_t(height);
    const std::uint32_t headerBytes = 14 + 40;

    QByteArray out;
    out.reserve(int(headerBytes + pixelBytes));
    out.append("BM", 2);
    putU32(out, headerBytes + pixelBytes); // file size
    putU32(out, 0);                        // two reserved words
    putU32(out, headerBytes);              // offset of the pixel data
    putU32(out, 40);                       // BITMAPINFOHEADER size
    putU32(out, std::uint32_t(width));
    putU32(out, std::uint32_t(height)); // positive height: rows stored bottom-up
    putU16(out, 1);                     // planes
    putU16(out, 24);                    // bits per pixel
    putU32(out, 0);                     // BI_RGB, uncompressed
    putU32(out, pixelBytes);
    putU32(out, 2835); // 72 dpi, in pixels per metre
    putU32(out, 2835);
    putU32(out, 0); // colours used: none, there is no palette
    putU32(out, 0); // important colours

    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb px = image.pixel(x, y);
            out.append(char(qBlue(px)));
            out.append(char(qGreen(px)));
            out.append(char(qRed(px)));
        }
        for (int pad = width * 3; pad < rowBytes; ++pad)
            out.append('\0');
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(out) == out.size();
}

// ---------------------------------------------------------------------------------------------
// Program icon: vector shapes in a 32 x 32 unit square
// ---------------------------------------------------------------------------------------------

// A filled and/or stroked path. Kept deliberately small so it maps 1:1 onto SVG elements.
struct Shape
{
    QPainterPath path;
    QBrush fill = Qt::NoBrush;
    QColor stroke; // invalid colour: no outline
    qreal strokeWidth = 1.0;
    std::vector<qreal> dashes; // in units, not in multiples of the stroke width
};

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Knife half widths, across the knife.
constexpr qreal kBladeHalf = 1.5;
constexpr qreal kHandleHalf = 2.1;

// Point on the knife's own axes: u runs along the knife from the blade end down to the handle end
// (towards the lower right), v runs across it (positive towards the upper right). The blade's
// point, (u, v) = (0, kBladeHalf), sits on the selection's bottom right corner.
QPointF knifePoint(qreal u, qreal v)
{
    const QPointF corner(18.5, 15.5);
    const qreal s = M_SQRT1_2;
    return corner + QPointF((u + v - kBladeHalf) * s, (u - v + kBladeHalf) * s);
}

std::vector<Shape> appIconShapes()
{
    std::vector<Shape> shapes;
    const QColor ink(0x23, 0x2a, 0x33);
    auto add = [&shapes](QPainterPath path, QBrush fill, QColor stroke = QColor(),
                         qreal width = 1.0, std::vector<qreal> dashes = {}) {
        shapes.push_back({std::move(path), std::move(fill), stroke, width, std::move(dashes)});
    };
    auto rectPath = [](const QRectF& r) {
        QPainterPath p;
        p.addRect(r);
        return p;
    };

    // Photo: edges on half-units so the 1-unit outline lands exactly on pixels at 32 px.
    const QRectF photo(1.5, 1.5, 23.0, 21.0);
    QLinearGradient sky(0, photo.top(), 0, photo.bottom());
    sky.setColorAt(0.0, QColor(0x3d, 0x95, 0xe6));
    sky.setColorAt(1.0, QColor(0xb8, 0xe0, 0xff));
    add(rectPath(photo), sky);

    QPainterPath sun; // upper left, clear of the selection so both stay readable
    sun.addEllipse(QPointF(4.9, 5.9), 2.3, 2.3);
    add(sun, QColor(0xff, 0xcc, 0x2e));

    // Far mountains in a lighter green for depth, near hill darker.
    add(polygonPath({{1.5, 16.0},
                     {6.5, 11.5},
                     {10.0, 14.0},
                     {15.5, 8.5},
                     {24.5, 15.5},
                     {24.5, 22.5},
                     {1.5, 22.5}}),
        QColor(0x6c, 0xc2, 0x5a));
    QPainterPath hill;
    hill.moveTo(1.5, 19.0);
    hill.cubicTo(7.0, 14.5, 14.0, 15.5, 24.5, 18.5);
    hill.lineTo(24.5, 22.5);
    hill.lineTo(1.5, 22.5);
    hill.closeSubpath();
    add(hill, QColor(0x2a, 0x9a, 0x4c));

    add(rectPath(photo), Qt::NoBrush, ink); // frame last, over the picture, for a clean edge

    // Selection: a white line under black dashes ("marching ants") shows on any picture.
    const QRectF selection(7.5, 6.5, 11.0, 9.0);
    add(rectPath(selection), Qt::NoBrush, Qt::white);
    add(rectPath(selection), Qt::NoBrush, Qt::black, 1.0, {2.0, 2.0});

    // Utility knife with its point on the selection's corner, as if cutting along the dashes.
    // Blade: slanted tip with the point on the upper right side, one snap line.
    const qreal blade = kBladeHalf;
    const qreal handle = kHandleHalf;
    add(polygonPath({knifePoint(0.0, blade), knifePoint(3.4, -blade), knifePoint(7.5, -blade),
                     knifePoint(7.5, blade)}),
        QColor(0xe6, 0xec, 0xf0), ink, 0.9);
    QPainterPath snap;
    snap.moveTo(knifePoint(3.2, blade));
    snap.lineTo(knifePoint(6.6, -blade));
    add(snap, Qt::NoBrush, QColor(0x8a, 0x97, 0xa0), 0.7);

    // Handle: chamfered at the far end so it looks moulded; lit from the upper left.
    QLinearGradient body(knifePoint(0, -handle), knifePoint(0, handle));
    body.setColorAt(0.0, QColor(0xff, 0xb3, 0x47));
    body.setColorAt(1.0, QColor(0xe8, 0x5d, 0x04));
    add(polygonPath({knifePoint(6.5, handle), knifePoint(6.5, -handle), knifePoint(16.3, -handle),
                     knifePoint(17.3, -handle + 1.0), knifePoint(17.3, handle - 1.0),
                     knifePoint(16.3, handle)}),
        body, ink, 0.9);

    // Dark nose where the blade leaves the handle.
    add(polygonPath({knifePoint(6.5, handle), knifePoint(6.5, -handle), knifePoint(8.7, -handle),
                     knifePoint(8.7, handle)}),
        QColor(0x3b, 0x44, 0x4f), ink, 0.9);
    return shapes;
}

QPen shapePen(const Shape& shape)
{
    QPen pen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (!shape.dashes.empty()) {
        QList<qreal> pattern;
        for (qreal d : shape.dashes)
            pattern.append(d / shape.strokeWidth);
        pen.setDashPattern(pattern);
    }
    return pen;
}

QImage renderAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    for (const Shape& shape : appIconShapes()) {
        painter.setBrush(shape.fill);
        painter.setPen(shape.stroke.isValid() ? shapePen(shape) : QPen(Qt::NoPen));
        painter.drawPath(shape.path);
    }
    painter.end();
    return image;
}

QString svgColour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

// Subpaths that end where they started get "Z" so the SVG corners join like Qt's; open ones
// (the snap line) stay open.
QString svgPathData(const QPainterPath& path)
{
    QString d;
    QTextStream out(&d);
    QPointF start;
    QPointF last;
    auto finishSubpath = [&]() {
        if (!d.isEmpty() && last == start)
            out << " Z";
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            finishSubpath();
            out << (d.isEmpty() ? "" : " ") << "M" << e.x << "," << e.y;
            start = QPointF(e.x, e.y);
            break;
        case QPainterPath::LineToElement:
            out << " L" << e.x << "," << e.y;
            break;
        case QPainterPath::CurveToElement:
            out << " C" << e.x << "," << e.y;
            break;
        case QPainterPath::CurveToDataElement:
            out << " " << e.x << "," << e.y;
            break;
        }
        last = QPointF(e.x, e.y);
    }
    finishSubpath();
    return d;
}

// Same shapes as renderAppIcon(), written as SVG so the icon scales for desktop integration.
QByteArray appIconSvg()
{
    QString svg;
    QTextStream out(&svg);
    out.setRealNumberPrecision(5);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
           "viewBox=\"0 0 32 32\">\n";
    QString defs;
    QTextStream defsOut(&defs);
    defsOut.setRealNumberPrecision(5);
    QString body;
    QTextStream bodyOut(&body);
    bodyOut.setRealNumberPrecision(5);
    int gradientCount = 0;
    for (const Shape& shape : appIconShapes()) {
        QString fill = "none";
        if (shape.fill.style() == Qt::SolidPattern) {
            fill = svgColour(shape.fill.color());
        } else if (shape.fill.style() == Qt::LinearGradientPattern) {
            const auto* g = static_cast<const QLinearGradient*>(shape.fill.gradient());
            const QString id = QStringLiteral("g%1").arg(++gradientCount);
            defsOut << "    <linearGradient id=\"" << id
                    << "\" gradientUnits=\"userSpaceOnUse\" x1=\"" << g->start().x() << "\" y1=\""
                    << g->start().y() << "\" x2=\"" << g->finalStop().x() << "\" y2=\""
                    << g->finalStop().y() << "\">\n";
            for (const auto& stop : g->stops())
                defsOut << "      <stop offset=\"" << stop.first << "\" stop-color=\""
                        << svgColour(stop.second) << "\"/>\n";
            defsOut << "    </linearGradient>\n";
            fill = "url(#" + id + ")";
        }
        bodyOut << "  <path d=\"" << svgPathData(shape.path) << "\" fill=\"" << fill << "\"";
        if (shape.stroke.isValid()) {
            bodyOut << " stroke=\"" << svgColour(shape.stroke) << "\" stroke-width=\""
                    << shape.strokeWidth << "\" stroke-linejoin=\"miter\" stroke-miterlimit=\"2\"";
            if (!shape.dashes.empty()) {
                bodyOut << " stroke-dasharray=\"";
                for (size_t i = 0; i < shape.dashes.size(); ++i)
                    bodyOut << (i ? "," : "") << shape.dashes[i];
                bodyOut << "\"";
            }
        }
        bodyOut << "/>\n";
    }
    if (!defs.isEmpty())
        out << "  <defs>\n" << defs << "  </defs>\n";
    out << body << "</svg>\n";
    return svg.toUtf8();
}

// ---------------------------------------------------------------------------------------------
// Preview sheet for checking the work by eye
// ---------------------------------------------------------------------------------------------

// Each picture 8x with nearest-neighbour (to judge single pixels) and 1x on a 33 x 33 grey push
// button (to judge what users will actually see); the program icon also on light and dark ground.
QImage previewSheet(const std::vector<QImage>& tools, const QImage& icon32, const QImage& icon256)
{
    const int zoom = 8;
    const int cell = kToolSize * zoom + 16;
    const int columns = int(tools.size()) + 1;
    QImage sheet(columns * cell + 16 + 256 + 16, cell + 120, QImage::Format_RGB32);
    sheet.fill(QColor(0x5a, 0x5a, 0x5a));
    QPainter p(&sheet);
    auto drawButton = [&p](int x, int y, const QImage& img) {
        p.fillRect(x, y, 33, 33, QColor(0xe1, 0xe1, 0xe1));
        p.setPen(QColor(0xad, 0xad, 0xad));
        p.drawRect(x, y, 32, 32);
        p.drawImage(x, y, img); // the button's 1 px frame is overdrawn, as in a real strip
    };
    for (int i = 0; i <= int(tools.size()); ++i) {
        const bool isIcon = i == int(tools.size());
        const QImage& img = isIcon ? icon32 : tools[i];
        const int x = 16 + i * cell;
        if (isIcon) { // checkerboard behind the transparent icon
            for (int cy = 0; cy < kToolSize; ++cy)
                for (int cx = 0; cx < kToolSize; ++cx)
                    p.fillRect(x + cx * zoom, 16 + cy * zoom, zoom, zoom,
                               ((cx + cy) & 1) ? QColor(0xcc, 0xcc, 0xcc) : Qt::white);
        }
        p.drawImage(QRect(x, 16, kToolSize * zoom, kToolSize * zoom),
                    img.scaled(kToolSize * zoom, kToolSize * zoom, Qt::IgnoreAspectRatio,
                               Qt::FastTransformation));
        const int y1 = 16 + kToolSize * zoom + 16;
        drawButton(x, y1, img);
        if (isIcon) {
            p.fillRect(x + 48, y1, 40, 40, Qt::white);
            p.drawImage(x + 52, y1 + 4, icon32);
            p.fillRect(x + 96, y1, 40, 40, QColor(0x20, 0x20, 0x20));
            p.drawImage(x + 100, y1 + 4, icon32);
        } else {
            p.drawImage(x + 48, y1, img);
        }
    }
    p.drawImage(columns * cell + 16, 16, icon256);
    p.end();
    return sheet;
}

bool savePng(const QImage& image, const QString& path)
{
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--preview")) {
        std::fprintf(stderr, "usage: iconsmith OUTPUT_DIR [--preview PREVIEW.png]\n");
        return 1;
    }
    const QDir outDir(args[1]);
    if (!outDir.exists() && !QDir().mkpath(outDir.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir.path()));
        return 1;
    }

    struct Tool
    {
        const char* file;
        QImage image;
    };
    const std::vector<Tool> tools = {
        {"cut.bmp", drawCut()},     {"draw.bmp", drawPencil()}, {"text.bmp", drawText()},
        {"erase.bmp", drawErase()}, {"paste.bmp", drawPaste()}, {"save.bmp", drawSave()},
    };

    bool ok = true;
    std::vector<QImage> toolImages;
    for (const Tool& tool : tools) {
        ok &= writeBmp24(tool.image, outDir.filePath(tool.file));
        toolImages.push_back(tool.image);
    }

    const QImage icon32 = renderAppIcon(32);
    const QImage icon256 = renderAppIcon(256);
    ok &= savePng(icon32, outDir.filePath("snipwell.png"));
    ok &= savePng(icon256, outDir.filePath("snipwell-256.png"));
    QFile svg(outDir.filePath("snipwell.svg"));
    ok &= svg.open(QIODevice::WriteOnly | QIODevice::Truncate) && svg.write(appIconSvg()) > 0;
    svg.close();

    if (args.size() == 4)
        ok &= savePng(previewSheet(toolImages, icon32, icon256), args[3]);

    if (!ok) {
        std::fprintf(stderr, "iconsmith: failed to write some files\n");
        return 1;
    }
    return 0;
}

// Draws one 16 x 16 pictogram per catalogue symbol and writes them as
// <code>.png into the folder given on the command line. With a second
// argument it also writes a contact sheet of every icon, four times enlarged,
// for a look at them all at once.

#include "gps/SymbolCatalogue.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>

using namespace trekora;

namespace {

const QColor kInk(20, 20, 20);

QColor namedColour(const QString& word) {
    static const QHash<QString, QColor> colours{
        {"Amber", QColor(255, 176, 0)},   {"Black", QColor(20, 20, 20)},
        {"Blue", QColor(30, 80, 220)},    {"Green", QColor(0, 160, 40)},
        {"Orange", QColor(255, 120, 0)},  {"Red", QColor(220, 20, 20)},
        {"Violet", QColor(140, 40, 200)}, {"White", QColor(250, 250, 250)}};
    return colours.value(word, QColor(128, 128, 128));
}

void badge(QPainter& p, const QColor& fill, const QString& letters,
           const QColor& textColour = Qt::white) {
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(letters.size() > 1 ? 8 : 11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(textColour);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, letters);
}

// A buoy in one or two colours (upper / lower half).
void buoy(QPainter& p, const QColor& top, const QColor& bottom) {
    p.setPen(QPen(kInk, 1));
    QPainterPath upper;
    upper.moveTo(8, 1);
    upper.lineTo(13, 9);
    upper.lineTo(3, 9);
    upper.closeSubpath();
    p.setBrush(top);
    p.drawPath(upper);
    p.setBrush(bottom);
    p.drawRect(QRectF(3, 9, 10, 4));
    p.setPen(QPen(QColor(30, 90, 200), 1));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void navaid(QPainter& p, const QString& name) {
    const QStringList colours = name.section(QStringLiteral(", "), 1).split(u'/');
    buoy(p, namedColour(colours.front()), namedColour(colours.back()));
}

// Contact faces: a round face whose hair or hat tells them apart.
void face(QPainter& p, int variant) {
    static const QColor hair[] = {
        QColor(255, 210, 0), QColor(30, 60, 200),  QColor(120, 70, 20),  QColor(20, 20, 20),
        QColor(150, 90, 40), QColor(40, 30, 20),   QColor(90, 60, 20),   QColor(230, 190, 60),
        QColor(200, 60, 40), QColor(60, 40, 30),   QColor(30, 120, 40),  QColor(200, 20, 20),
        QColor(20, 20, 20),  QColor(20, 20, 20),   QColor(80, 80, 80),   QColor(60, 200, 60),
        QColor(150, 80, 0),  QColor(240, 150, 40), QColor(150, 110, 70), QColor(255, 170, 190)};
    const QColor skin = variant == 15 ? QColor(120, 230, 120) : QColor(255, 220, 120);
    p.setPen(QPen(kInk, 1));
    p.setBrush(skin);
    p.drawEllipse(QRectF(2.5, 3.5, 11, 11));
    p.setBrush(hair[variant % 20]);
    p.setPen(Qt::NoPen);
    if (variant == 0) { // smiley: no hair
    } else if (variant % 3 == 1) {
        p.drawChord(QRectF(2, 1, 12, 9), 0, 180 * 16); // cap or hair on top
    } else if (variant % 3 == 2) {
        p.drawEllipse(QRectF(0, 5, 4, 5)); // ears, plaits or whiskers at the side
        p.drawEllipse(QRectF(12, 5, 4, 5));
    } else {
        p.drawRect(QRectF(4, 1, 8, 4)); // hat
    }
    p.setPen(QPen(kInk, 1));
    p.drawPoint(QPointF(6, 8));
    p.drawPoint(QPointF(10, 8));
    p.drawArc(QRectF(5, 8, 6, 4), 200 * 16, 140 * 16);
}

void city(QPainter& p, double radius, bool capital) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(capital ? QColor(220, 20, 20) : QColor(250, 250, 250));
    p.drawEllipse(QPointF(8, 8), radius, radius);
    if (capital) {
        p.setBrush(QColor(250, 250, 250));
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    }
    p.setBrush(kInk);
    p.drawEllipse(QPointF(8, 8), 1, 1);
}

void plane(QPainter& p, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(7, 1, 2, 14));                                // fuselage
    p.drawPolygon(QPolygonF({{1, 8}, {15, 8}, {15, 10}, {1, 10}})); // wings
    p.drawRect(QRectF(5, 13, 6, 2));                                // tail
}

void flag(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(3.5, 1), QPointF(3.5, 15));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({{4, 2}, {14, 5}, {4, 8}}));
}

void diverFlag(QPainter& p, bool blueWhite) {
    if (blueWhite) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 3.5, 6, 9));
        p.setBrush(QColor(30, 80, 220));
        p.drawPolygon(QPolygonF({{7.5, 3.5}, {14.5, 3.5}, {11, 8}, {14.5, 12.5}, {7.5, 12.5}}));
        return;
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(220, 20, 20));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(2, 4), QPointF(14, 12));
}

void skull(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawLine(QPointF(1, 15), QPointF(15, 9));
    p.drawLine(QPointF(1, 9), QPointF(15, 15));
    p.drawEllipse(QRectF(3.5, 1.5, 9, 9));
    p.setBrush(kInk);
    p.drawEllipse(QRectF(5, 5, 2, 2));
    p.drawEllipse(QRectF(9, 5, 2, 2));
}

void mountain(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({{1, 14}, {8, 2}, {15, 14}}));
}

void tree(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 70, 20));
    p.drawRect(QRectF(7, 11, 2, 4));
    p.setBrush(QColor(0, 130, 40));
    p.drawPolygon(QPolygonF({{2, 12}, {8, 1}, {14, 12}}));
}

void car(QPainter& p, const QColor& colour) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(colour);
    p.drawRect(QRectF(1.5, 7.5, 13, 4));
    p.drawRect(QRectF(4.5, 4.5, 7, 3));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(4.5, 12), 1.5, 1.5);
    p.drawEllipse(QPointF(11.5, 12), 1.5, 1.5);
}

void tower(QPainter& p, bool tall) {
    p.setPen(QPen(kInk, 1));
    const double top = tall ? 1 : 6;
    p.drawLine(QPointF(8, top), QPointF(3, 15));
    p.drawLine(QPointF(8, top), QPointF(13, 15));
    p.drawLine(QPointF(5, 10), QPointF(11, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 20, 20));
    p.drawEllipse(QPointF(8, top + 1), 1.5, 1.5);
}

void shape(QPainter& p, const SymbolEntry& entry) {
    const int code = entry.code;
    const QString& name = entry.name;
    if (name.startsWith(QLatin1String("Navaid, ")))
        return navaid(p, name);
    if (name.startsWith(QLatin1String("Contact, ")))
        return face(p, code - 8257);
    switch (code) {
    case 2:
    case 3: { // diamonds
        p.setPen(QPen(kInk, 1));
        p.setBrush(code == 2 ? QColor(0, 160, 40) : QColor(220, 20, 20));
        p.drawPolygon(QPolygonF({{8, 1}, {15, 8}, {8, 15}, {1, 8}}));
        return;
    }
    case 15:
    case 16:
        p.setPen(QPen(kInk, 1));
        p.setBrush(code == 15 ? QColor(0, 160, 40) : QColor(220, 20, 20));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        return;
    case 4:
    case 5:
        return diverFlag(p, code == 5);
    case 14:
        return skull(p);
    case 17:
        return buoy(p, Qt::white, Qt::white);
    case 18: // the plain waypoint: a dot in a square
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
        return;
    case 36:
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 5, 5);
        return;
    case 170:
        return car(p, QColor(30, 80, 220));
    case 8206:
        return car(p, QColor(0, 160, 40));
    case 8207:
        return car(p, QColor(220, 20, 20));
    case 178:
        return flag(p, QColor(220, 20, 20));
    case 179:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        return;
    case 8196: // TracBack point: a curved arrow back
        p.setPen(QPen(QColor(30, 80, 220), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 80, 220));
        p.drawPolygon(QPolygonF({{8, 0}, {12, 3}, {8, 6}}));
        return;
    case 8198:
        return city(p, 3, false);
    case 8199:
        return city(p, 4.5, false);
    case 8200:
        return city(p, 6.5, false);
    case 8203:
        return city(p, 6.5, true);
    case 8245:
        return tree(p);
    case 8246:
        return mountain(p, QColor(150, 110, 70));
    case 8239:
        return mountain(p, QColor(200, 200, 200));
    case 16384:
        return plane(p, QColor(30, 80, 220));
    case 16389:
        return plane(p, QColor(0, 160, 40));
    case 16390:
        return plane(p, QColor(150, 110, 70));
    case 16391:
        return tower(p, true);
    case 16392:
        return tower(p, false);
    default:
        break;
    }
    // Everything else: a coloured badge with a short abbreviation.
    static const QHash<int, QString> letters{
        {0, "M"},     {1, "B"},     {6, "$"},     {7, "F"},     {8, "G"},      {9, "Ho"},
        {10, "H"},    {11, "R"},    {12, "L"},    {13, "Y"},    {19, "W"},     {21, "MO"},
        {37, "RB"},   {150, "BR"},  {151, "C"},   {152, "WC"},  {153, "Sh"},   {154, "DW"},
        {155, "T"},   {156, "+"},   {157, "i"},   {158, "P"},   {159, "Pk"},   {160, "Pi"},
        {161, "Sc"},  {162, "Sk"},  {163, "Sw"},  {164, "D"},   {165, "CA"},   {166, "!"},
        {167, "X"},   {169, "BP"},  {171, "Hu"},  {172, "S"},   {173, "Lo"},   {174, "Mi"},
        {175, "TH"},  {176, "TS"},  {177, "Ex"},  {8195, "MM"}, {8197, "Go"},  {8204, "AP"},
        {8205, "Bo"}, {8208, "FF"}, {8209, "Fi"}, {8210, "Mv"}, {8211, "Mu"},  {8212, "Rx"},
        {8213, "Pz"}, {8214, "PO"}, {8215, "RV"}, {8216, "Sc"}, {8217, "St"},  {8218, "DS"},
        {8219, "Z"},  {8220, "CS"}, {8221, "LT"}, {8226, "Sc"}, {8227, "TB"},  {8233, "Br"},
        {8234, "Bu"}, {8235, "+"},  {8236, "Ch"}, {8237, "Ci"}, {8238, "Cr"},  {8240, "Lv"},
        {8241, "Mi"}, {8242, "OF"}, {8243, "Tu"}, {8244, "Be"}, {8255, "?"},   {8256, "!"},
        {8282, "WH"}, {16388, "H"}, {16393, "G"}, {16394, "U"}, {16395, "Pa"}, {16402, "SB"}};
    QColor colour(90, 90, 90); // land features
    if (code < 150)
        colour = QColor(30, 80, 220); // marine
    else if (code < 8195)
        colour = QColor(120, 70, 20); // outdoor services
    else if (code < 8226)
        colour = QColor(200, 60, 140); // town services
    else if (code >= 16384)
        colour = QColor(30, 120, 200); // aviation
    if (code == 156 || code == 166 || code == 167)
        colour = QColor(220, 20, 20);
    if (code == 8255 || code == 8256)
        colour = QColor(0, 130, 40);
    badge(p, colour, letters.value(code, name.left(1)));
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_symbol_icons <output folder> [contact sheet.png]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    constexpr int kPerRow = 14, kScale = 4;
    QImage sheet(kPerRow * 16 * kScale, 10 * 16 * kScale, QImage::Format_ARGB32);
    sheet.fill(QColor(225, 225, 225));
    QPainter sheetPainter(&sheet);
    for (const SymbolEntry& entry : SymbolCatalogue::entries()) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        shape(painter, entry);
        painter.end();
        sheetPainter.drawImage(QRect((entry.index % kPerRow) * 16 * kScale,
                                     (entry.index / kPerRow) * 16 * kScale, 16 * kScale,
                                     16 * kScale),
                               image);
        const QString file = folder.filePath(QStringLiteral("%1.png").arg(entry.code));
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    sheetPainter.end();
    if (argc == 3 && !sheet.save(QString::fromLocal8Bit(argv[2]), "PNG"))
        return 1;
    std::printf("%zu icons written to %s\n", SymbolCatalogue::entries().size(), argv[1]);
    return 0;
}

#include "gui/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "gui/gui_ids.h"

namespace {

constexpr int TREE_IMAGE_SIZE = 16;

QPixmap blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A folder: a tab at the top left and a body below it.
void drawFolder(QPainter& p, const QColor& body) {
    p.setPen(QColor(120, 90, 20));
    p.setBrush(body.darker(115));
    p.drawRect(1, 3, 6, 2);
    p.setBrush(body);
    p.drawRect(1, 4, 13, 9);
}

// A small cartridge standing in a folder: the folder holds ROM images.
void drawCartridge(QPainter& p, int x, int y) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(x, y, 7, 8);
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(x + 2, y + 2, 3, 3);
}

// A flag with a thin dark border.
void frameFlag(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(0, 2, 15, 11);
}

void drawStripes(QPainter& p, const QColor& top, const QColor& middle, const QColor& bottom) {
    p.setPen(Qt::NoPen);
    p.fillRect(0, 2, 16, 4, top);
    p.fillRect(0, 6, 16, 4, middle);
    p.fillRect(0, 10, 16, 4, bottom);
    frameFlag(p);
}

QPixmap countryD() {
    QPixmap pm = blank(TREE_IMAGE_SIZE);
    QPainter p(&pm);
    drawStripes(p, QColor(20, 20, 20), QColor(210, 20, 20), QColor(250, 200, 0));
    return pm;
}

QPixmap countryE() {
    QPixmap pm = blank(TREE_IMAGE_SIZE);
    QPainter p(&pm);
    for (int row = 0; row < 6; ++row)
        p.fillRect(0, 2 + 2 * row, 16, 2, row % 2 ? QColor(250, 250, 250) : QColor(190, 20, 40));
    p.fillRect(0, 2, 7, 6, QColor(30, 40, 120));
    p.setPen(Qt::white);
    p.drawPoint(2, 4);
    p.drawPoint(4, 4);
    p.drawPoint(3, 6);
    p.drawPoint(5, 6);
    frameFlag(p);
    return pm;
}

QPixmap countryJ() {
    QPixmap pm = blank(TREE_IMAGE_SIZE);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 2, 16, 12, QColor(250, 250, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 16, 46));
    p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
    p.setRenderHint(QPainter::Antialiasing, false);
    frameFlag(p);
    return pm;
}

QPixmap countryP() {
    QPixmap pm = blank(TREE_IMAGE_SIZE);
    QPainter p(&pm);
    p.fillRect(0, 2, 16, 12, QColor(0, 50, 150));
    p.setPen(QColor(255, 210, 0));
    for (int i = 0; i < 8; ++i) {
        const double angle = i * M_PI / 4;
        p.drawPoint(qRound(8 + 4 * std::cos(angle)), qRound(8 + 4 * std::sin(angle)));
    }
    frameFlag(p);
    return pm;
}

// Any other country: a grey globe with a meridian and the equator.
QPixmap countryOther() {
    QPixmap pm = blank(TREE_IMAGE_SIZE);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(70, 70, 70));
    p.setBrush(QColor(170, 190, 200));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    return pm;
}

// The program's emblem: a cartridge with a ring on it, at any size.
QPixmap emblem(int size, const QColor& body) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QPainterPath shell;
    shell.moveTo(4, 30);
    shell.lineTo(4, 6);
    shell.lineTo(8, 2);
    shell.lineTo(24, 2);
    shell.lineTo(28, 6);
    shell.lineTo(28, 30);
    shell.closeSubpath();
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.setBrush(body);
    p.drawPath(shell);
    p.setBrush(QColor(240, 240, 240));
    p.drawRoundedRect(QRectF(8, 8, 16, 14), 2, 2);
    p.setPen(QPen(QColor(220, 60, 30), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 15), 4.5, 4.5);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    for (int x = 8; x <= 24; x += 4)
        p.drawLine(QPointF(x, 26), QPointF(x, 30));
    return pm;
}

QIcon emblemIcon(const QColor& body) {
    QIcon icon;
    icon.addPixmap(emblem(32, body)); // large
    icon.addPixmap(emblem(16, body)); // small
    return icon;
}

} // namespace

QPixmap treeImage(int id) {
    switch (id) {
    case gui_id::IMAGE_DIRECTORY: {
        QPixmap pm = blank(TREE_IMAGE_SIZE);
        QPainter p(&pm);
        drawFolder(p, QColor(240, 200, 80));
        return pm;
    }
    case gui_id::IMAGE_DIRECTORY_WITH_ROMS: {
        QPixmap pm = blank(TREE_IMAGE_SIZE);
        QPainter p(&pm);
        drawFolder(p, QColor(250, 220, 120));
        drawCartridge(p, 7, 6);
        return pm;
    }
    case gui_id::IMAGE_COUNTRY_D:
        return countryD();
    case gui_id::IMAGE_COUNTRY_E:
        return countryE();
    case gui_id::IMAGE_COUNTRY_J:
        return countryJ();
    case gui_id::IMAGE_COUNTRY_P:
        return countryP();
    case gui_id::IMAGE_COUNTRY_OTHER:
        return countryOther();
    default:
        return {};
    }
}

QIcon programIcon() {
    return emblemIcon(QColor(70, 70, 85));
}

QIcon outputWindowIcon() {
    return emblemIcon(QColor(40, 90, 150));
}

QPixmap aboutPicture() {
    QPixmap pm(120, 96);
    pm.fill(QColor(20, 30, 60));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A night sky over a field of little cartridges, with the emblem in front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 200));
    for (int i = 0; i < 18; ++i)
        p.drawEllipse(QPointF((i * 37) % 118 + 1, (i * 23) % 40 + 2), 0.9, 0.9);
    p.fillRect(0, 70, 120, 26, QColor(30, 80, 50));
    p.drawPixmap(36, 22, emblem(48, QColor(70, 70, 85)));
    p.setPen(QColor(250, 250, 250));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.drawText(QRect(0, 74, 120, 20), Qt::AlignCenter, "Orvex");
    return pm;
}

#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Icons {
namespace {

template <typename Draw>
QIcon drawn(Draw draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

const QColor Blue(30, 90, 200);

} // namespace

QIcon menuIcon(int index)
{
    switch (index) {
    case 2: // red cross
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(210, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
            p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        });
    case 4: // magnifier
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(60, 60, 60), 1.6));
            p.setBrush(QColor(200, 225, 255));
            p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
            p.setPen(QPen(QColor(120, 70, 20), 2.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 10), QPointF(14, 14));
        });
    case 6: // pen
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(60, 60, 60), 1));
            p.setBrush(QColor(240, 190, 60));
            QPolygonF body{{11.5, 2}, {14, 4.5}, {5.5, 13}, {3, 10.5}};
            p.drawPolygon(body);
            p.setBrush(QColor(60, 60, 60));
            p.drawPolygon(QPolygonF{{3, 10.5}, {5.5, 13}, {2, 14}});
        });
    case 8: // blue up arrow
        return drawn([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Blue);
            p.drawPolygon(QPolygonF{{8, 1.5}, {14.5, 8.5}, {10.5, 8.5}, {10.5, 14.5}, {5.5, 14.5}, {5.5, 8.5}, {1.5, 8.5}});
        });
    case 10: // blue plus sign
        return drawn([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Blue);
            p.drawRoundedRect(QRectF(6, 2, 4, 12), 1, 1);
            p.drawRoundedRect(QRectF(2, 6, 12, 4), 1, 1);
        });
    default:
        return {};
    }
}

QIcon treeIcon(int index)
{
    switch (index) {
    case 0: // folder
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(170, 120, 20), 1));
            p.setBrush(QColor(250, 205, 90));
            QPainterPath path;
            path.moveTo(1.5, 4);
            path.lineTo(6, 4);
            path.lineTo(7.5, 5.5);
            path.lineTo(14.5, 5.5);
            path.lineTo(14.5, 13.5);
            path.lineTo(1.5, 13.5);
            path.closeSubpath();
            p.drawPath(path);
        });
    case 4: // house
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(120, 40, 20), 1));
            p.setBrush(QColor(200, 60, 40));
            p.drawPolygon(QPolygonF{{8, 1.5}, {15, 8}, {1, 8}});
            p.setBrush(QColor(245, 235, 210));
            p.drawRect(QRectF(3.5, 8, 9, 6.5));
            p.setBrush(QColor(120, 80, 40));
            p.drawRect(QRectF(7, 10, 2.5, 4.5));
        });
    case 7: // web-browser globe
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(20, 80, 160), 1));
            p.setBrush(QColor(120, 180, 240));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(5, 1.5, 6, 13));
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
            p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
        });
    default:
        return {};
    }
}

QIcon providerBadge(int provider)
{
    struct Badge
    {
        const char* letter;
        QColor colour;
    };
    static const Badge badges[] = {
        {"", QColor()},
        {"A", QColor(0, 0, 128)},      // Alexa
        {"C", QColor(0, 128, 255)},    // ChinaRank
        {"G", QColor(0, 128, 0)},      // Google
        {"S", QColor(128, 0, 0)},      // Sogou
        {"B", QColor(0, 0, 255)},      // Baidu
        {"Y", QColor(128, 0, 128)},    // Yahoo
        {"s", QColor(0, 64, 128)},     // Soso
        {"b", QColor(255, 128, 64)},   // Bing
        {"有", QColor(128, 64, 0)},     // Youdao
    };
    if (provider <= 0 || provider >= int(std::size(badges)))
        return {};
    const Badge& badge = badges[provider];
    return drawn([&badge](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(badge.colour);
        p.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 3, 3);
        QFont font;
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0.5, 1.5, 15, 13), Qt::AlignCenter, QString::fromUtf8(badge.letter));
    });
}

} // namespace Icons

#include "app/BusyIndicator.h"

#include <QPainter>
#include <QtMath>

namespace {

const QColor ActiveColor(159, 159, 255);
const QColor InactiveColor(192, 192, 192); // silver
const QColor TransitionColor(0, 0, 160);
const QColor ProgressColor(128, 0, 64);
constexpr int ActiveTrail = 3;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
{
    m_timer.setInterval(StepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_position = (m_position + 1) % Segments;
        update();
    });
}

QColor BusyIndicator::segmentColor(int segment) const
{
    const int behind = (m_position - segment + Segments) % Segments;
    if (behind == 0)
        return ProgressColor;
    if (behind == 1)
        return TransitionColor;
    if (behind <= 1 + ActiveTrail)
        return ActiveColor;
    return InactiveColor;
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const qreal outer = side / 2.0 - 1.0;
    const qreal inner = outer * 0.45;
    for (int i = 0; i < Segments; ++i) {
        const qreal angle = 2 * M_PI * i / Segments - M_PI / 2;
        const QPointF direction(qCos(angle), qSin(angle));
        painter.setPen(QPen(segmentColor(i), qMax<qreal>(2.0, side / 9.0), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + direction * inner, centre + direction * outer);
    }
}

void BusyIndicator::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void BusyIndicator::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

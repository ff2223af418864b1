#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// The circular busy indicator of the query progress panel: a ring of segments in which a
// lit segment runs round, one step every 100 ms while the indicator is shown.
class BusyIndicator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BusyIndicator)

public:
    static constexpr int Segments = 12;
    static constexpr int StepMs = 100;

    explicit BusyIndicator(QWidget* parent = nullptr);

    int position() const { return m_position; }
    // The colour of segment i at the current position.
    QColor segmentColor(int segment) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    int m_position = 0;
};

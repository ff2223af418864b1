#pragma once

#include <QtGlobal>

// The state of a page's progress pane. A browser reports (progress, maximum); the pane
// first takes the maximum as its total, then the progress as done.
class ProgressPane final
{
public:
    // A new total empties the bar.
    void setTotal(int total)
    {
        if (quint32(total) == m_total)
            return;
        m_total = quint32(total);
        m_done = 0;
        m_percent = 0;
    }

    // Clamped to the total as unsigned numbers, so the browser's "finished" value -1 fills it.
    void setDone(int done)
    {
        if (quint32(done) == m_done)
            return;
        m_done = qMin(quint32(done), m_total);
        if (m_total != 0)
            m_percent = int((quint64(m_done) * 100 + m_total / 2) / m_total);
    }

    quint32 total() const { return m_total; }
    quint32 done() const { return m_done; }
    int percent() const { return m_percent; }

private:
    quint32 m_total = 0;
    quint32 m_done = 0;
    int m_percent = 0;
};

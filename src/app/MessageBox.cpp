#include "app/MessageBox.h"

#include <QApplication>
#include <QQueue>

namespace MessageBox {
namespace {

bool s_recording = false;
QQueue<QMessageBox::StandardButton> s_answers;
QStringList s_shown;

QString caption()
{
    return QApplication::applicationDisplayName();
}

} // namespace

void information(QWidget* parent, const QString& text)
{
    if (s_recording) {
        s_shown << text;
        return;
    }
    // Texts separate their sentences with a lone CR, which a message box would not break on.
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(parent, caption(), shown);
}

bool confirm(QWidget* parent, const QString& text)
{
    if (s_recording) {
        s_shown << text;
        return !s_answers.isEmpty() && s_answers.dequeue() == QMessageBox::Yes;
    }
    return QMessageBox::question(parent, caption(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void setRecording(bool on)
{
    s_recording = on;
    s_answers.clear();
    s_shown.clear();
}

void setNextAnswer(QMessageBox::StandardButton answer)
{
    s_answers.enqueue(answer);
}

QStringList takeShown()
{
    return std::exchange(s_shown, {});
}

} // namespace MessageBox

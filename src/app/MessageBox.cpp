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
    // Texts can come from outside (release notes, error texts): never read as HTML.
    QMessageBox box(QMessageBox::Information, caption(), shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool confirm(QWidget* parent, const QString& text)
{
    if (s_recording) {
        s_shown << text;
        return !s_answers.isEmpty() && s_answers.dequeue() == QMessageBox::Yes;
    }
    QMessageBox box(QMessageBox::Question, caption(), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
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

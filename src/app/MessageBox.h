#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// The program's questions and messages. Tests switch on the recording mode: nothing is
// shown, texts are recorded and questions take the answers queued beforehand.
namespace MessageBox {

void information(QWidget* parent, const QString& text);
// True only when the user answered Yes.
bool confirm(QWidget* parent, const QString& text);

void setRecording(bool on);
void setNextAnswer(QMessageBox::StandardButton answer);
QStringList takeShown();

} // namespace MessageBox

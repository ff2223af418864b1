#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Small text and file helpers shared by the query, the browser captions and the plug-in.
// Texts are GBK bytes unless said otherwise.

// Without the characters of code 32 or less at both ends (blanks and control characters).
QByteArray TrimBlanks(QByteArrayView text);
inline QByteArray TrimBlanks(const QByteArray& text) { return TrimBlanks(QByteArrayView(text)); }
QString TrimBlanks(const QString& text);

// Cuts text at every delimiter; always one item more than delimiters, empty items kept.
QList<QByteArray> SplitText(const QByteArray& text, char delimiter);

// Decodes UTF-8 leniently (no validation, see the .cpp) and converts it to the code page.
QByteArray Utf8ToCodePage(const QByteArray& utf8, int codePage = 936);

// At most 23 bytes of a title, never splitting a double-byte character.
QByteArray TruncateTitle(const QByteArray& title);

// Removes a folder with everything in it. Links inside are removed as links, never followed.
bool DeleteTree(const QString& path);

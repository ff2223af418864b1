#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// All 8-bit text of the program (settings files, page text, captions) is GBK, code page 936.
namespace Gbk {

QString decode(const QByteArray& bytes);
// Every character GBK cannot represent becomes "?".
QByteArray encode(const QString& text);
inline bool isLeadByte(uchar byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool isTrailByte(uchar byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }
// Bytes of the character at i: 2 for a lead byte with a trail byte after it, else 1.
inline qsizetype charLength(QByteArrayView text, qsizetype i)
{
    return i + 1 < text.size() && isLeadByte(uchar(text[i])) && isTrailByte(uchar(text[i + 1])) ? 2 : 1;
}

} // namespace Gbk

#pragma once

#include <QByteArray>
#include <QString>

// All 8-bit text of the program (settings files, page text, captions) is GBK, code page 936.
namespace Gbk {

QString decode(const QByteArray& bytes);
// Every character GBK cannot represent becomes "?".
QByteArray encode(const QString& text);
inline bool isLeadByte(uchar byte) { return byte >= 0x81 && byte <= 0xFE; }

} // namespace Gbk

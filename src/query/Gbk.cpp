#include "query/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

QString decode(const QByteArray& bytes)
{
    // Keys, section names and most page text are plain ASCII; skip the converter for them.
    bool ascii = true;
    for (const char byte : bytes) {
        if (static_cast<uchar>(byte) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray encode(const QString& text)
{
    // The ICU converter substitutes "?" for characters GBK lacks, lone surrogates included.
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

} // namespace Gbk

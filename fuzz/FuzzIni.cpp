// The settings file reader: any bytes parse, and a rewrite reads back what was set.
#include "app/IniDocument.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniDocument document = IniDocument::parse(bytes);
    (void)document.value(QStringLiteral("cfg"), QStringLiteral("51larun"));
    document.setValue(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("1"));
    const IniDocument again = IniDocument::parse(document.serialize());
    if (again.value(QStringLiteral("cfg"), QStringLiteral("51larun")) != QStringLiteral("1"))
        std::abort();
    return 0;
}

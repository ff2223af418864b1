// Reading every value of the catalogue from arbitrary page bytes, and converting it.
#include "query/ProviderCatalogue.h"
#include "query/TextUtils.h"
#include "query/ValueReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray decoded = Utf8ToCodePage(page, 936);
    for (const ValueSpec& value : ProviderCatalogue::values()) {
        (void)ValueReader::convert(ValueReader::readValue(value, page));
        (void)ValueReader::convert(ValueReader::readValue(value, decoded));
    }
    (void)ValueReader::convert(page);
    return 0;
}

// The lenient UTF-8 decoder and the conversion to GBK.
#include "query/TextUtils.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray gbk = Utf8ToCodePage(bytes, 936);
    // Never more bytes out than two per character in.
    if (gbk.size() > 2 * bytes.size() + 2)
        std::abort();
    (void)TruncateTitle(gbk);
    (void)SplitText(bytes, ',');
    return 0;
}

// The upgrade information: unsigned bytes must never parse; the same bytes signed with the
// test key exercise the parser behind the signature.
#include "upgrade/UpgradeInfo.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QByteArray publicKey;
    static QByteArray secretKey;
    if (publicKey.isEmpty() && !UpgradeInfo::generateKeys(&publicKey, &secretKey))
        std::abort();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (UpgradeInfo::parse(bytes, publicKey) && !bytes.contains("\nsignature "))
        std::abort();
    if (const auto info = UpgradeInfo::parse(UpgradeInfo::sign(bytes, secretKey), publicKey)) {
        for (const UpgradeInfo::File& file : info->files) {
            if (!UpgradeInfo::isSafePath(file.path))
                std::abort();
        }
        (void)UpgradeInfo::compareVersions(info->version, QStringLiteral("1.4"));
    }
    return 0;
}

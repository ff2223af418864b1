// The site domain and every link and request built from an address.
#include "history/SearchLinks.h"
#include "query/ProviderCatalogue.h"
#include "query/ServiceHosts.h"
#include "query/ValueReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray address(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray domain = ValueReader::siteDomain(address);
    if (domain.size() > address.size() || domain.contains('/'))
        std::abort(); // every slash goes
    const ServiceHosts hosts;
    for (int column = 0; column <= 22; ++column)
        (void)SearchLinks::url(column, address, hosts);
    for (const FetchSpec& fetch : ProviderCatalogue::fetches())
        (void)ProviderCatalogue::buildRequest(fetch, domain, hosts);
    return 0;
}

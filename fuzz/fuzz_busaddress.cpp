#include "busaddresscheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz::report(
        fuzz::CheckBusAddress(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))));
}

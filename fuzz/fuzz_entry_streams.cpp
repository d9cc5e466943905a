// The stream forms of an entry: a memo list followed by a sub-index, read from hostile bytes.
#include "ByteStream.h"
#include "Pdata.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumidex::ByteReader in(reinterpret_cast<const char*>(data), size);
    lumidex::Pdata entry("fuzz");
    int32_t base = size > 0 ? data[0] : 0;
    entry.ReadMemoList(in, base);
    if (!in.Failed()) entry.ReadSubIndex(in);
    // Whatever was read must write back without trouble.
    std::string out;
    lumidex::ByteWriter w(out);
    entry.WriteMemoList(w);
    entry.WriteSubIndex(w);
    return 0;
}

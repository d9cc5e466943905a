// The memo table section of a database on hostile bytes, read twice (the second time merged
// above the first), then written and read back.
#include "ByteStream.h"
#include "DataManage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumidex::DataManage memos;
    lumidex::ByteReader first(reinterpret_cast<const char*>(data), size);
    memos.ReadMemoTable(first);
    memos.groupIdBase = memos.MaxGroupId();
    lumidex::ByteReader second(reinterpret_cast<const char*>(data), size);
    memos.ReadMemoTable(second);
    memos.PutMemo("x", memos.NewGroupId());

    std::string out;
    lumidex::ByteWriter w(out);
    memos.WriteMemoTable(w);
    lumidex::DataManage back;
    lumidex::ByteReader in(out);
    if (!back.ReadMemoTable(in) || back.Count() != memos.Count() || !in.AtEnd()) std::abort();
    return 0;
}

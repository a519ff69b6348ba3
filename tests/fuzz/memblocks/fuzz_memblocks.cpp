// The remote block bookkeeping under any sequence of allocations and frees (live, unknown and
// repeated pointers, chunks that cannot be had), and the paged text read on any text at any
// address.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "taskbar/ProcessMemBlocks.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using zvfuzz::TFuzzInput;

struct TChunk {
    uintptr_t Address;
    uint32_t Size;
};

// The target process as far as the list sees it: chunks handed out at rising addresses,
// sometimes right behind the last one, sometimes refused.
struct TRemote {
    std::vector<TChunk> Chunks;
    uintptr_t NextAddress = 0x10000;
    bool Refuse = false;
    bool Adjacent = false;
    TProcessMemBlockList* List = nullptr;

    void AddChunk(uint32_t Size) {
        if (Refuse)
            throw EProcessMemMgr("refused");
        const uint32_t size = ChunkSizeFor(Size);
        ZV_FUZZ_CHECK(size >= Size && size % RemotePageSize == 0);
        if (!Adjacent)
            NextAddress += 0x10000;
        const int32_t index = static_cast<int32_t>(Chunks.size());
        Chunks.push_back({NextAddress, size});
        List->AppendChunk(NextAddress, size, index);
        NextAddress += size;
    }
};

// Records cover every chunk exactly, in address order, chunk after chunk; used records are
// exactly the live blocks; the free bytes are the chunks less the live blocks.
// Live blocks by address; 0-byte blocks share their address with the block that follows them.
using TLive = std::multimap<uintptr_t, uint32_t>;

void CheckRecords(const TProcessMemBlockList& List, const TRemote& Remote, const TLive& Live) {
    const std::vector<TProcessMemBlock>& records = List.Records();
    std::size_t r = 0;
    uint64_t freeBytes = 0, chunkBytes = 0, liveBytes = 0;
    TLive used;
    for (std::size_t c = 0; c < Remote.Chunks.size(); ++c) {
        const TChunk& chunk = Remote.Chunks[c];
        chunkBytes += chunk.Size;
        uintptr_t at = chunk.Address;
        while (r < records.size() && records[r].ChunkIndex == static_cast<int32_t>(c)) {
            const TProcessMemBlock& b = records[r];
            ZV_FUZZ_CHECK(b.Address == at);
            at += b.Size;
            ZV_FUZZ_CHECK(at <= chunk.Address + chunk.Size);
            if (b.Used) {
                used.emplace(b.Address, b.Size);
            } else {
                freeBytes += b.Size;
            }
            ++r;
        }
        ZV_FUZZ_CHECK(at == chunk.Address + chunk.Size);
    }
    ZV_FUZZ_CHECK(r == records.size());
    for (const auto& [address, size] : Live)
        liveBytes += size;
    // (Blocks at one address compare by size: 0-byte blocks have no order of their own.)
    using TBlocks = std::multiset<std::pair<uintptr_t, uint32_t>>;
    ZV_FUZZ_CHECK(TBlocks(used.begin(), used.end()) == TBlocks(Live.begin(), Live.end()));
    ZV_FUZZ_CHECK(freeBytes + liveBytes == chunkBytes);
}

uint32_t RequestSize(TFuzzInput& In) {
    switch (In.Small(0, 3)) {
    case 0:
        return In.Small(0, 64);
    case 1:
        return static_cast<uint32_t>(In.Small(0, 255)) * 64;
    case 2:
        return static_cast<uint32_t>(In.Small(0, 255)) * 1024 + In.Small(0, 3);
    default:
        return static_cast<uint32_t>(In.Int32());
    }
}

void FuzzBlocks(TFuzzInput& In) {
    TRemote remote;
    TProcessMemBlockList list([&](uint32_t Size) { remote.AddChunk(Size); });
    remote.List = &list;
    TLive live;
    TLive freed;
    for (int step = 0; step < 200 && !In.Empty(); ++step) {
        const uint8_t op = In.Byte();
        if (op % 3 == 0) {
            remote.Refuse = (op & 0x10) != 0;
            remote.Adjacent = (op & 0x20) != 0;
            const uint32_t size = RequestSize(In);
            const auto before = list.Records();
            try {
                const uintptr_t p = list.AllocMem(size);
                // The new block lies in one chunk and overlaps no live block.
                ZV_FUZZ_CHECK(
                    std::any_of(remote.Chunks.begin(), remote.Chunks.end(), [&](const TChunk& c) {
                        return c.Address <= p && p + size <= c.Address + c.Size;
                    }));
                for (const auto& [address, length] : live)
                    ZV_FUZZ_CHECK(size == 0 || length == 0 || p + size <= address ||
                                  address + length <= p);
                live.emplace(p, size);
            } catch (const EProcessMemMgr&) {
                ZV_FUZZ_CHECK(list.Records().size() == before.size());
            }
        } else if (op % 3 == 1 && !live.empty()) {
            auto it = live.begin();
            std::advance(it, In.Byte() % live.size());
            // Of the blocks at one address the list frees the first: a 0-byte one if any.
            const auto same = live.equal_range(it->first);
            it = std::min_element(same.first, same.second,
                                  [](const auto& a, const auto& b) { return a.second < b.second; });
            list.FreeMem(it->first);
            freed.emplace(it->first, it->second);
            live.erase(it);
        } else {
            // An unknown or already freed pointer is refused and changes nothing.
            uintptr_t p =
                In.Bool() && !freed.empty() ? freed.begin()->first : remote.NextAddress + In.Byte();
            if (live.count(p) != 0)
                continue;
            const auto before = list.Records();
            bool raised = false;
            try {
                list.FreeMem(p);
            } catch (const EAssertionFailed&) {
                raised = true;
            }
            ZV_FUZZ_CHECK(raised);
            ZV_FUZZ_CHECK(list.Records().size() == before.size());
        }
        CheckRecords(list, remote, live);
    }
    // Freeing everything gives every byte back.
    while (!live.empty()) {
        list.FreeMem(live.begin()->first);
        live.erase(live.begin());
    }
    CheckRecords(list, remote, live);
}

// A text of the remote process at Source: reads must stay within the pages up to the one that
// holds the terminating zero, and give back exactly the text.
void FuzzTextRead(TFuzzInput& In) {
    const uintptr_t source = (uintptr_t{In.Byte()} << 12) + (In.Byte() | In.Byte() << 8) % 4096;
    const std::size_t length = static_cast<std::size_t>(In.Byte() | In.Byte() << 8) % 12000;
    std::string text(length, 'x');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>(1 + In.Byte() % 255);
    if (source == 0) {
        ZV_FUZZ_CHECK(ReadTextByPages(0, [](uintptr_t, void*, uint32_t) {
                          zvfuzz::Broken("no read for source 0", __FILE__, __LINE__);
                      }).empty());
        return;
    }
    const uintptr_t zeroAt = source + length;
    const uintptr_t readable = (zeroAt / RemotePageSize + 1) * RemotePageSize;
    const std::string got =
        ReadTextByPages(source, [&](uintptr_t From, void* Dest, uint32_t Count) {
            ZV_FUZZ_CHECK(From >= source && From + Count <= readable);
            auto* out = static_cast<char*>(Dest);
            for (uint32_t i = 0; i < Count; ++i) {
                const uintptr_t a = From + i;
                out[i] = a < zeroAt ? text[a - source] : a == zeroAt ? '\0' : 'y';
            }
        });
    ZV_FUZZ_CHECK(got == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    if (In.Bool())
        FuzzTextRead(In);
    else
        FuzzBlocks(In);
    return 0;
}

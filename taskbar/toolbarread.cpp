// Buffer layout and answers of the batched toolbar reading.
#include "taskbar/toolbarread.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kWindowBytes = 4;

uint32_t AlignUp16(uint32_t n) {
    return (n + 15u) & ~15u;
}
} // namespace

TReadBlockLayout PlanReadBlock(uint32_t Slots, uint32_t ButtonSize) {
    TReadBlockLayout l;
    l.Slots = std::clamp<uint32_t>(Slots, 1, kReadBatchButtons);
    l.ButtonSize = ButtonSize;
    l.RectsAt = AlignUp16(l.Slots * ButtonSize);
    l.TextsAt = l.RectsAt + l.Slots * kRemoteRectSize;
    l.Size = l.TextsAt + l.Slots * kCaptionBufferSize + kCaptionSlack;
    return l;
}

int FitPartSize(int Current, int Max, int Read, uint32_t Ms) {
    if (Ms > kPartMs)
        return std::max(1, static_cast<int>(int64_t(std::max(Read, 1)) * kPartMs / Ms));
    if (Ms < kPartMs / 2)
        return std::min(Max, Current > Max / 2 ? Max : Current * 2);
    return Current;
}

TCaptionFetch CheckCaptionFetch(int64_t Answer, uint32_t Capacity) {
    if (Answer < 0 || Answer >= int64_t(UINT32_MAX))
        return {TCaptionFetch::Unreadable};
    if (Answer < int64_t(Capacity))
        return {TCaptionFetch::Fits};
    return {TCaptionFetch::Grew, static_cast<uint32_t>(Answer) + 1};
}

std::string TextBeforeZero(const char* Bytes, std::size_t Count) {
    const void* zero = std::memchr(Bytes, 0, Count);
    return std::string(Bytes, zero ? static_cast<const char*>(zero) - Bytes : Count);
}

int64_t WideCaptionLength(int64_t Units) {
    return Units <= 0 ? Units : 2 * Units + 1;
}

TWindowSpan PlanWindowSpan(const std::vector<uint64_t>& Blocks) {
    if (Blocks.empty())
        return {};
    const auto [low, high] = std::minmax_element(Blocks.begin(), Blocks.end());
    if (*low == 0 || *high > UINT64_MAX - kWindowBytes ||
        *high - *low > kWindowSpanLimit - kWindowBytes)
        return {};
    return {true, *low, static_cast<uint32_t>(*high - *low + kWindowBytes)};
}

int32_t TCommandIndexes::IndexOf(int32_t Id, int32_t Position) {
    for (const auto& [id, first] : First_)
        if (id == Id)
            return first;
    First_.emplace_back(Id, Position);
    return Position;
}

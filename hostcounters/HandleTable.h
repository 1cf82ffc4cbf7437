#pragma once
// Handles for objects the dll hands out. A handle is a number, never a
// pointer: it carries the table's tag, the slot index and the slot's
// generation, so a handle of a freed object, of the other table or made
// up by the caller is recognised and refused without touching memory.
// Freed slots are reused under a new generation.

#include <cstdint>
#include <utility>
#include <vector>

namespace hostcounters {

template <typename T>
class HandleTable {
public:
    using Handle = std::uint64_t;

    // `tag` tells this table's handles from another table's: 1 to 255.
    explicit HandleTable(std::uint8_t tag) : tag_(tag) {}

    Handle insert(T item)
    {
        std::size_t index = 0;
        while (index < slots_.size() && slots_[index].live)
            ++index;
        if (index == slots_.size()) {
            if (index > kMaxIndex)
                return 0;
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.item = std::move(item);
        slot.live = true;
        return handleOf(index, slot.generation);
    }

    // The live object behind `handle`, or null.
    T* find(Handle handle)
    {
        Slot* slot = slotOf(handle);
        return slot != nullptr ? &slot->item : nullptr;
    }

    bool erase(Handle handle)
    {
        Slot* slot = slotOf(handle);
        if (slot == nullptr)
            return false;
        slot->live = false;
        slot->item = T{};
        ++slot->generation;
        return true;
    }

private:
    // 8 bits tag, 32 bits generation, 24 bits index.
    static constexpr unsigned kTagShift = 56;
    static constexpr unsigned kGenerationShift = 24;
    static constexpr std::uint64_t kIndexMask = (std::uint64_t{1} << kGenerationShift) - 1;
    static constexpr std::size_t kMaxIndex = kIndexMask - 1;

    struct Slot {
        T item{};
        std::uint32_t generation = 0;
        bool live = false;
    };

    // Index 0 is stored as 1, so that no handle is 0.
    Handle handleOf(std::size_t index, std::uint32_t generation) const
    {
        return (std::uint64_t{tag_} << kTagShift) | (std::uint64_t{generation} << kGenerationShift) |
               (static_cast<std::uint64_t>(index) + 1);
    }

    Slot* slotOf(Handle handle)
    {
        if ((handle >> kTagShift) != tag_)
            return nullptr;
        std::uint64_t stored = handle & kIndexMask;
        if (stored == 0 || stored > slots_.size())
            return nullptr;
        Slot& slot = slots_[static_cast<std::size_t>(stored - 1)];
        auto generation = static_cast<std::uint32_t>(handle >> kGenerationShift);
        if (!slot.live || slot.generation != generation)
            return nullptr;
        return &slot;
    }

    std::uint8_t tag_;
    std::vector<Slot> slots_;
};

}  // namespace hostcounters

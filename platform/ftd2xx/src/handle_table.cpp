#include "handle_table.h"

#include "device.h"

namespace ftd2xx {

FT_HANDLE HandleTable::add(std::shared_ptr<Device> device) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t index = 0;
    while (index < slots_.size() && slots_[index].device) ++index;
    if (index == slots_.size()) {
        if (slots_.size() == kMaxSlots) return nullptr;
        slots_.emplace_back();
    }
    // The generation counter is process-wide: a reused slot never gives back
    // a handle value that was handed out before.
    const uint64_t generation = nextGeneration_++ & (UINTPTR_MAX >> kSlotBits);
    slots_[index] = Slot{generation, std::move(device)};
    const uintptr_t value = static_cast<uintptr_t>(generation) << kSlotBits | (index + 1);
    return reinterpret_cast<FT_HANDLE>(value);
}

const HandleTable::Slot* HandleTable::lookup(FT_HANDLE handle) const {
    const auto value = reinterpret_cast<uintptr_t>(handle);
    const std::size_t number = value & ((uintptr_t{1} << kSlotBits) - 1);
    const uint64_t generation = value >> kSlotBits;
    if (number == 0 || number > slots_.size()) return nullptr;
    const Slot& slot = slots_[number - 1];
    if (!slot.device || slot.generation != generation) return nullptr;
    return &slot;
}

std::shared_ptr<Device> HandleTable::find(FT_HANDLE handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const Slot* slot = lookup(handle);
    return slot ? slot->device : nullptr;
}

std::shared_ptr<Device> HandleTable::remove(FT_HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Slot* slot = lookup(handle);
    if (!slot) return nullptr;
    auto& s = slots_[static_cast<std::size_t>(slot - slots_.data())];
    s.generation = 0;
    return std::move(s.device);
}

bool HandleTable::holdsIdentity(const std::string& identity) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& slot : slots_) {
        if (slot.device && slot.device->identity() == identity) return true;
    }
    return false;
}

HandleTable& handleTable() {
    static HandleTable* table = new HandleTable;
    return *table;
}

}  // namespace ftd2xx

// Open devices by handle. A handle is a token, not a pointer: a slot number
// and a generation packed into the pointer value, so that a closed, stale or
// made-up handle is recognised by looking it up and is never dereferenced.
#ifndef FTD2XX_HANDLE_TABLE_H
#define FTD2XX_HANDLE_TABLE_H

#include "ftd2xx.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ftd2xx {

class Device;

class HandleTable {
public:
    // A new handle for the device, never equal to an earlier one; null when
    // the table is full.
    FT_HANDLE add(std::shared_ptr<Device> device);
    // The device of an open handle, or null. The device stays alive while
    // the caller holds it, even if another thread closes the handle.
    std::shared_ptr<Device> find(FT_HANDLE handle) const;
    // Removes the handle and hands its device to the caller, or null.
    std::shared_ptr<Device> remove(FT_HANDLE handle);
    // Whether an open device has this identity (see Port::identity).
    bool holdsIdentity(const std::string& identity) const;

private:
    struct Slot {
        uint64_t generation = 0;
        std::shared_ptr<Device> device;
    };

    // Low bits: slot number + 1 (so no handle is 0); the rest: generation.
    static constexpr unsigned kSlotBits = 16;
    static constexpr std::size_t kMaxSlots = (std::size_t{1} << kSlotBits) - 1;

    // The slot of a live handle, or nullptr; mutex_ must be held.
    const Slot* lookup(FT_HANDLE handle) const;

    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    uint64_t nextGeneration_ = 1;
};

// The process's one table; never destroyed, so calls during exit stay safe.
HandleTable& handleTable();

}  // namespace ftd2xx

#endif

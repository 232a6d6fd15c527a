#include "device.h"

#include "deadline.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace ftd2xx {

Device::Device(DeviceEntry entry, std::unique_ptr<Port> port)
    : entry_(std::move(entry)), identity_(port->identity()), port_(std::move(port)) {}

int Device::waitFor(ULONG timeoutMs) {
    if (timeoutMs == 0) return kWaitForever;
    return timeoutMs > static_cast<ULONG>(INT_MAX) ? INT_MAX : static_cast<int>(timeoutMs);
}

template <class Op>
FT_STATUS Device::locked(Op op) {
    if (closing_.load()) return FT_INVALID_HANDLE;
    std::lock_guard<std::mutex> lock(mutex_);
    if (closing_.load() || !port_) return FT_INVALID_HANDLE;
    return op();
}

FT_STATUS Device::read(uint8_t* buffer, DWORD size, DWORD& got) {
    got = 0;
    return locked([&]() -> FT_STATUS {
        const Deadline deadline(waitFor(readTimeoutMs_));
        while (got < size) {
            if (rxPos_ < rxEnd_) {
                const std::size_t n = std::min<std::size_t>(rxEnd_ - rxPos_, size - got);
                std::memcpy(buffer + got, rx_.data() + rxPos_, n);
                rxPos_ += n;
                got += static_cast<DWORD>(n);
                continue;
            }
            if (gone_) return FT_IO_ERROR;
            const IoResult r = port_->readSome(rx_.data(), rx_.size(), deadline.remainingMs());
            switch (r.status) {
                case IoStatus::Ok:
                    rxPos_ = 0;
                    rxEnd_ = r.count;
                    break;
                case IoStatus::TimedOut:
                    return FT_OK;  // a short read is how a time-out shows
                case IoStatus::Gone:
                    gone_ = true;
                    return FT_IO_ERROR;
                case IoStatus::Interrupted:
                    return FT_INVALID_HANDLE;
            }
        }
        return FT_OK;
    });
}

FT_STATUS Device::write(const uint8_t* data, DWORD size, DWORD& put) {
    put = 0;
    return locked([&]() -> FT_STATUS {
        if (gone_) return FT_IO_ERROR;
        const Deadline deadline(waitFor(writeTimeoutMs_));
        while (put < size) {
            const IoResult r = port_->writeSome(data + put, size - put, deadline.remainingMs());
            switch (r.status) {
                case IoStatus::Ok:
                    put += static_cast<DWORD>(r.count);
                    break;
                case IoStatus::TimedOut:
                    return FT_OK;  // the count tells the caller how much went
                case IoStatus::Gone:
                    gone_ = true;
                    return FT_IO_ERROR;
                case IoStatus::Interrupted:
                    return FT_INVALID_HANDLE;
            }
        }
        return FT_OK;
    });
}

FT_STATUS Device::setBaudRate(ULONG baud) {
    return locked([&]() -> FT_STATUS {
        if (gone_) return FT_IO_ERROR;
        return port_->setBaudRate(baud);
    });
}

FT_STATUS Device::setLineFormat(const LineFormat& format) {
    return locked([&]() -> FT_STATUS {
        if (gone_) return FT_IO_ERROR;
        return port_->setLineFormat(format);
    });
}

FT_STATUS Device::setTimeouts(ULONG readMs, ULONG writeMs) {
    return locked([&]() -> FT_STATUS {
        readTimeoutMs_ = readMs;
        writeTimeoutMs_ = writeMs;
        return FT_OK;
    });
}

FT_STATUS Device::setLatencyTimer(unsigned ms) {
    return locked([&]() -> FT_STATUS {
        if (gone_) return FT_IO_ERROR;
        return port_->setLatencyTimer(ms);
    });
}

FT_STATUS Device::purge(bool rx, bool tx) {
    return locked([&]() -> FT_STATUS {
        if (rx) rxPos_ = rxEnd_ = 0;
        if (gone_) return FT_IO_ERROR;
        return port_->purge(rx, tx);
    });
}

void Device::close() {
    closing_.store(true);
    // Only close() ever changes port_, so it may be used before the lock is
    // held; the interrupt frees a call stuck in a long or unbounded wait.
    port_->interrupt();
    std::unique_ptr<Port> port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        port = std::move(port_);
    }
}

}  // namespace ftd2xx

#include "natural_order.h"

#include <cstddef>

namespace ftd2xx {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Skip leading zeros, then the longer run is the larger number;
            // runs of equal length compare digit by digit.
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            if (ei - i != ej - j) return ei - i < ej - j;
            for (; i < ei; ++i, ++j) {
                if (a[i] != b[j]) return a[i] < b[j];
            }
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;  // equal under the natural order ("tty01" vs "tty1"): keep a strict order
}

}  // namespace ftd2xx

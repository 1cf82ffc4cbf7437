#pragma once
// A fuzzer's input read as values one after another; past its end every
// value reads as zero.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size;

    template <typename T>
    T take()
    {
        T value{};
        const std::size_t n = size < sizeof(value) ? size : sizeof(value);
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

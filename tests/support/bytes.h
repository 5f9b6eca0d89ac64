// Byte strings as tests write them out: listed values, repeated bytes, every byte value,
// and a buffer's content both ways.
#pragma once

#include <initializer_list>
#include <string>

#include "comm/ibuffer.h"

namespace kasa::testing {

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

inline std::string Bytes(const iBuffer& b) {
    return std::string(b.View());
}

inline iBuffer FromBytes(const std::string& bytes) {
    iBuffer b;
    b.AppendBytes(bytes.data(), bytes.size());
    return b;
}

inline std::string Repeat(int value, int count) {
    return std::string(static_cast<size_t>(count), static_cast<char>(value));
}

inline std::string AllByteValues() {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    return all;
}

}  // namespace kasa::testing

#pragma once

// Explicit little-endian access to byte records. Every stored field of the program's
// files and records goes through these, so the layouts hold on any host.

#include <bit>
#include <cstdint>
#include <cstring>

namespace le {

inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
        | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::int32_t ReadI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

inline std::uint16_t ReadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline float ReadF32(const std::uint8_t* p)
{
    return std::bit_cast<float>(ReadU32(p));
}

inline void WriteU32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void WriteI32(std::uint8_t* p, std::int32_t v)
{
    WriteU32(p, static_cast<std::uint32_t>(v));
}

inline void WriteU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void WriteF32(std::uint8_t* p, float v)
{
    WriteU32(p, std::bit_cast<std::uint32_t>(v));
}

} // namespace le

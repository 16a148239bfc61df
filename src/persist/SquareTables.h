#pragma once

// The constant tables of the block cipher Square (128-bit block, 128-bit key), computed
// by the compiler from their definitions, so that nothing here is a copied table that
// could hold a typo. They end up as read-only data of the program like literal arrays.
//
// The field is GF(2^8) reduced by x^8 + x^7 + x^6 + x^5 + x^4 + x^2 + 1 (0x1F5); 2 is a
// generator of its multiplicative group, which gives the log and antilog tables.
//
// S-box: S(x) = A * x^-1 + 0xB1 (0 maps to 0 before the affine step), where output bit i
// is the parity of (row i of A) AND x^-1, the rows being 0x01 0x03 0x05 0x0F 0x1F 0x3D
// 0x7B 0xD6. The S-box begins 177, 206, 195, 149; Sd is its inverse.
//
// Mixing (theta) works on one 32-bit word, bytes a0..a3 in little-endian order, as the
// polynomial a(x) = a0 + a1 x + a2 x^2 + a3 x^3 multiplied by c(x) = 2 + x + x^2 + 3 x^3
// modulo x^4 + 1; so b0 = 2 a0 + 3 a1 + a2 + a3 and so on by rotation. Its inverse
// multiplies by d(x) = 0x0E + 0x09 x + 0x0D x^2 + 0x0B x^3.
//
// Round tables: Te_j[x] is the word theta would produce from S(x) standing in byte j of
// an otherwise zero word, that is the bytes (c_(k-j) * S(x)) for k = 0..3; Te_(j+1) is
// Te_j rotated left by 8 bits. Td_j is the same with Sd and d(x).

#include <array>
#include <cstdint>

namespace square_tables {

constexpr unsigned kFieldPolynomial = 0x1F5;

constexpr std::array<std::uint8_t, 256> MakeAntilog()
{
    std::array<std::uint8_t, 256> t{};
    unsigned v = 1;
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<std::uint8_t>(v);
        v <<= 1;
        if (v & 0x100)
            v ^= kFieldPolynomial;
    }
    return t;
}

inline constexpr std::array<std::uint8_t, 256> kAntilog = MakeAntilog();

constexpr std::array<std::uint8_t, 256> MakeLog()
{
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 255; ++i)
        t[kAntilog[i]] = static_cast<std::uint8_t>(i);
    return t;
}

inline constexpr std::array<std::uint8_t, 256> kLog = MakeLog();

constexpr std::uint8_t Mul(std::uint8_t a, std::uint8_t b)
{
    if (a == 0 || b == 0)
        return 0;
    return kAntilog[(kLog[a] + kLog[b]) % 255];
}

constexpr std::uint8_t Inverse(std::uint8_t a)
{
    return a == 0 ? 0 : kAntilog[(255 - kLog[a]) % 255];
}

constexpr std::array<std::uint8_t, 256> MakeSe()
{
    constexpr std::uint8_t rows[8] = {0x01, 0x03, 0x05, 0x0F, 0x1F, 0x3D, 0x7B, 0xD6};
    std::array<std::uint8_t, 256> t{};
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t v = Inverse(static_cast<std::uint8_t>(x));
        unsigned out = 0;
        for (int i = 0; i < 8; ++i) {
            unsigned bits = rows[i] & v;
            unsigned parity = 0;
            while (bits) {
                parity ^= bits & 1u;
                bits >>= 1;
            }
            out |= parity << i;
        }
        t[x] = static_cast<std::uint8_t>(out ^ 0xB1);
    }
    return t;
}

inline constexpr std::array<std::uint8_t, 256> Se = MakeSe();

constexpr std::array<std::uint8_t, 256> MakeSd()
{
    std::array<std::uint8_t, 256> t{};
    for (int x = 0; x < 256; ++x)
        t[Se[x]] = static_cast<std::uint8_t>(x);
    return t;
}

inline constexpr std::array<std::uint8_t, 256> Sd = MakeSd();

// Coefficients c0..c3 of the mixing polynomial and of its inverse.
inline constexpr std::uint8_t kTheta[4] = {0x02, 0x01, 0x01, 0x03};
inline constexpr std::uint8_t kThetaInverse[4] = {0x0E, 0x09, 0x0D, 0x0B};

// Output byte k = sum over j of coeff[(k - j) mod 4] * a_j.
constexpr std::uint32_t MixWord(std::uint32_t w, const std::uint8_t (&coeff)[4])
{
    std::uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        std::uint8_t b = 0;
        for (int j = 0; j < 4; ++j)
            b ^= Mul(coeff[(k - j + 4) % 4], static_cast<std::uint8_t>(w >> (8 * j)));
        out |= static_cast<std::uint32_t>(b) << (8 * k);
    }
    return out;
}

constexpr std::array<std::uint32_t, 256> MakeRoundTable(const std::array<std::uint8_t, 256>& sbox,
                                                        const std::uint8_t (&coeff)[4], int j)
{
    std::array<std::uint32_t, 256> t{};
    for (int x = 0; x < 256; ++x)
        t[x] = MixWord(static_cast<std::uint32_t>(sbox[x]) << (8 * j), coeff);
    return t;
}

inline constexpr std::array<std::uint32_t, 256> Te0 = MakeRoundTable(Se, kTheta, 0);
inline constexpr std::array<std::uint32_t, 256> Te1 = MakeRoundTable(Se, kTheta, 1);
inline constexpr std::array<std::uint32_t, 256> Te2 = MakeRoundTable(Se, kTheta, 2);
inline constexpr std::array<std::uint32_t, 256> Te3 = MakeRoundTable(Se, kTheta, 3);
inline constexpr std::array<std::uint32_t, 256> Td0 = MakeRoundTable(Sd, kThetaInverse, 0);
inline constexpr std::array<std::uint32_t, 256> Td1 = MakeRoundTable(Sd, kThetaInverse, 1);
inline constexpr std::array<std::uint32_t, 256> Td2 = MakeRoundTable(Sd, kThetaInverse, 2);
inline constexpr std::array<std::uint32_t, 256> Td3 = MakeRoundTable(Sd, kThetaInverse, 3);

// Checks of the definitions above, evaluated by the compiler.
static_assert(kAntilog[255] == 1 && kAntilog[8] == 0xF5, "2 generates the field");
static_assert(Se[0] == 177 && Se[1] == 206 && Se[2] == 195 && Se[3] == 149, "S-box begins 177, 206, 195, 149");
static_assert(Te0[0] == 0x26B1B197u, "Te0 holds (2s, s, s, 3s) little-endian");
static_assert(Te1[0x10] == ((Te0[0x10] << 8) | (Te0[0x10] >> 24)), "Te1 is Te0 rotated left by 8");

constexpr bool SboxesAreInverse()
{
    for (int x = 0; x < 256; ++x) {
        if (Sd[Se[x]] != x)
            return false;
    }
    return true;
}
static_assert(SboxesAreInverse(), "Sd inverts Se");

constexpr bool MixingIsInverted()
{
    constexpr std::uint32_t samples[] = {0x00000001u, 0x80402010u, 0xDEADBEEFu, 0x01020304u, 0xFFFFFFFFu};
    for (std::uint32_t w : samples) {
        if (MixWord(MixWord(w, kTheta), kThetaInverse) != w)
            return false;
    }
    return true;
}
static_assert(MixingIsInverted(), "d(x) inverts c(x)");

} // namespace square_tables

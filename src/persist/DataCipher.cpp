#include "persist/DataCipher.h"

#include "base/LittleEndian.h"
#include "persist/SquareTables.h"

#include <algorithm>
#include <cstring>

namespace DataCipher {

// The program's keys: random constants chosen for this program. Data files enciphered
// under other keys decipher to noise.
const SquareKey squareKey = {0xB8, 0x61, 0x3B, 0x32, 0xEF, 0xE8, 0x47, 0xC4,
                             0x84, 0x4D, 0xEC, 0x33, 0xEE, 0xCE, 0xC0, 0x9F};
const GostKey gostKey = {0xB4, 0x90, 0x19, 0xBF, 0x55, 0x84, 0x5A, 0x9B, 0xE9, 0x4C, 0x5F,
                         0xDE, 0x85, 0x1F, 0xA7, 0x69, 0x22, 0x53, 0xE4, 0x60, 0xF0, 0xE3,
                         0xB8, 0x1B, 0xA8, 0x5C, 0x7D, 0xEA, 0xD7, 0x40, 0xF4, 0x08};

const DataKeys& ProgramKeys()
{
    static const DataKeys keys{squareKey, gostKey};
    return keys;
}

void SecureWipe(void* data, std::size_t length)
{
    // Stores through a volatile pointer are observable behaviour: they cannot be dropped.
    volatile std::uint8_t* p = static_cast<volatile std::uint8_t*>(data);
    for (std::size_t i = 0; i < length; ++i)
        p[i] = 0;
}

namespace {

using namespace square_tables;

constexpr std::uint32_t RotR8(std::uint32_t w)
{
    return (w >> 8) | (w << 24);
}

constexpr std::uint32_t RotL11(std::uint32_t w)
{
    return (w << 11) | (w >> 21);
}

constexpr std::uint32_t Byte(std::uint32_t w, int i)
{
    return (w >> (8 * i)) & 0xFF;
}

// theta of one word: Te_j[Sd[x]] is column j of the mixing applied to x.
std::uint32_t Theta(std::uint32_t w)
{
    return Te0[Sd[Byte(w, 0)]] ^ Te1[Sd[Byte(w, 1)]] ^ Te2[Sd[Byte(w, 2)]] ^ Te3[Sd[Byte(w, 3)]];
}

// Rounds shared by encryption and decryption: the tables and S-box say which.
void SquareRounds(std::uint8_t* block, const SquareRoundKeys& rk, const std::array<std::uint32_t, 256>& T0,
                  const std::array<std::uint32_t, 256>& T1, const std::array<std::uint32_t, 256>& T2,
                  const std::array<std::uint32_t, 256>& T3, const std::array<std::uint8_t, 256>& S)
{
    std::uint32_t s0 = le::ReadU32(block + 0) ^ rk.key[0][0];
    std::uint32_t s1 = le::ReadU32(block + 4) ^ rk.key[0][1];
    std::uint32_t s2 = le::ReadU32(block + 8) ^ rk.key[0][2];
    std::uint32_t s3 = le::ReadU32(block + 12) ^ rk.key[0][3];

    // Substitution, transposition (byte i of word j goes to byte j of word i) and mixing,
    // then the round key.
    for (int r = 1; r < kSquareRounds; ++r) {
        const std::uint32_t t0 = T0[Byte(s0, 0)] ^ T1[Byte(s1, 0)] ^ T2[Byte(s2, 0)] ^ T3[Byte(s3, 0)] ^ rk.key[r][0];
        const std::uint32_t t1 = T0[Byte(s0, 1)] ^ T1[Byte(s1, 1)] ^ T2[Byte(s2, 1)] ^ T3[Byte(s3, 1)] ^ rk.key[r][1];
        const std::uint32_t t2 = T0[Byte(s0, 2)] ^ T1[Byte(s1, 2)] ^ T2[Byte(s2, 2)] ^ T3[Byte(s3, 2)] ^ rk.key[r][2];
        const std::uint32_t t3 = T0[Byte(s0, 3)] ^ T1[Byte(s1, 3)] ^ T2[Byte(s2, 3)] ^ T3[Byte(s3, 3)] ^ rk.key[r][3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }

    // Last round: substitution and transposition, no mixing.
    const std::uint32_t s[4] = {s0, s1, s2, s3};
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t w = static_cast<std::uint32_t>(S[Byte(s[0], i)]) | static_cast<std::uint32_t>(S[Byte(s[1], i)]) << 8
            | static_cast<std::uint32_t>(S[Byte(s[2], i)]) << 16 | static_cast<std::uint32_t>(S[Byte(s[3], i)]) << 24;
        le::WriteU32(block + 4 * i, w ^ rk.key[kSquareRounds][i]);
    }
}

// The eight S-boxes of the GOST R 34.11-94 test parameter set; the first substitutes the
// least significant nibble.
constexpr std::uint8_t kGostSbox[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

std::uint32_t GostF(std::uint32_t x)
{
    std::uint32_t y = 0;
    for (int i = 0; i < 8; ++i)
        y |= static_cast<std::uint32_t>(kGostSbox[i][(x >> (4 * i)) & 0xF]) << (4 * i);
    return RotL11(y);
}

// 32 rounds; keyIndex(round) picks the key word. The exchange of the last round is undone.
template <typename KeyOrder>
void GostRounds(std::uint8_t* block8, const GostKey& key, KeyOrder keyIndex)
{
    std::uint32_t k[8];
    for (int i = 0; i < 8; ++i)
        k[i] = le::ReadU32(key.data() + 4 * i);
    std::uint32_t n1 = le::ReadU32(block8);
    std::uint32_t n2 = le::ReadU32(block8 + 4);
    for (int round = 0; round < 32; ++round) {
        const std::uint32_t t = n2 ^ GostF(n1 + k[keyIndex(round)]);
        n2 = n1;
        n1 = t;
    }
    le::WriteU32(block8, n2);
    le::WriteU32(block8 + 4, n1);
    SecureWipe(k, sizeof k);
}

void XorBlock(std::uint8_t* to, const std::uint8_t* from)
{
    for (std::size_t i = 0; i < kSquareBlockSize; ++i)
        to[i] ^= from[i];
}

} // namespace

// ---- Primitives -------------------------------------------------------------------

void SquareExpandKey(const SquareKey& key, SquareRoundKeys& encryptKeys, SquareRoundKeys* decryptKeys)
{
    auto& k = encryptKeys.key;
    for (int i = 0; i < 4; ++i)
        k[0][i] = le::ReadU32(key.data() + 4 * i);
    for (int t = 1; t <= kSquareRounds; ++t) {
        k[t][0] = k[t - 1][0] ^ RotR8(k[t - 1][3]) ^ (1u << (t - 1));
        k[t][1] = k[t - 1][1] ^ k[t][0];
        k[t][2] = k[t - 1][2] ^ k[t][1];
        k[t][3] = k[t - 1][3] ^ k[t][2];
        if (decryptKeys)
            std::copy(std::begin(k[t]), std::end(k[t]), decryptKeys->key[kSquareRounds - t]);
        for (int i = 0; i < 4; ++i)
            k[t - 1][i] = Theta(k[t - 1][i]);
    }
    if (decryptKeys)
        std::copy(std::begin(k[0]), std::end(k[0]), decryptKeys->key[kSquareRounds]);
}

void SquareEncryptBlock(std::uint8_t* block, const SquareRoundKeys& roundKeys)
{
    SquareRounds(block, roundKeys, Te0, Te1, Te2, Te3, Se);
}

void SquareDecryptBlock(std::uint8_t* block, const SquareRoundKeys& roundKeys)
{
    SquareRounds(block, roundKeys, Td0, Td1, Td2, Td3, Sd);
}

void GostEncryptBlock(std::uint8_t* block8, const GostKey& key)
{
    // K0..K7 three times, then K7..K0.
    GostRounds(block8, key, [](int round) { return round < 24 ? round % 8 : 7 - round % 8; });
}

void GostDecryptBlock(std::uint8_t* block8, const GostKey& key)
{
    // K0..K7 once, then K7..K0 three times.
    GostRounds(block8, key, [](int round) { return round < 8 ? round : 7 - round % 8; });
}

// ---- Modes ------------------------------------------------------------------------

void CbcInit(SquareCbc& context, const SquareKey& key)
{
    CbcWipe(context);
    SquareExpandKey(key, context.encryptKeys, &context.decryptKeys);
}

void CbcSetIv(SquareCbc& context, const std::uint8_t* iv)
{
    if (iv)
        std::memcpy(context.chain, iv, kSquareBlockSize);
    else
        std::memset(context.chain, 0, kSquareBlockSize);
    SquareEncryptBlock(context.chain, context.encryptKeys);
}

bool CbcEncrypt(SquareCbc& context, std::uint8_t* data, std::size_t length)
{
    if (!data || length < kSquareBlockSize)
        return false;
    const std::size_t blocks = length / kSquareBlockSize;
    const std::size_t tail = length % kSquareBlockSize;
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint8_t* p = data + b * kSquareBlockSize;
        XorBlock(p, context.chain);
        SquareEncryptBlock(p, context.encryptKeys);
        std::memcpy(context.chain, p, kSquareBlockSize);
    }
    if (tail > 0) {
        // Ciphertext stealing: the tail is folded into the chaining block, the head of the
        // last full ciphertext block moves to the tail, and the last full block position
        // receives the encryption of the folded block.
        std::uint8_t* last = data + (blocks - 1) * kSquareBlockSize;
        std::uint8_t* partial = data + blocks * kSquareBlockSize;
        for (std::size_t i = 0; i < tail; ++i) {
            context.chain[i] ^= partial[i];
            partial[i] = last[i];
        }
        std::memcpy(last, context.chain, kSquareBlockSize);
        SquareEncryptBlock(last, context.encryptKeys);
        std::memcpy(context.chain, last, kSquareBlockSize);
    }
    return true;
}

bool CbcDecrypt(SquareCbc& context, std::uint8_t* data, std::size_t length)
{
    if (!data || length < kSquareBlockSize)
        return false;
    std::uint8_t saved[kSquareBlockSize];
    std::size_t pos = 0;
    if (length >= 2 * kSquareBlockSize) {
        const std::size_t blocks = (length - kSquareBlockSize) / kSquareBlockSize;
        for (std::size_t b = 0; b < blocks; ++b, pos += kSquareBlockSize) {
            std::uint8_t* c = data + pos;
            std::memcpy(saved, c, kSquareBlockSize);
            SquareDecryptBlock(c, context.decryptKeys);
            XorBlock(c, context.chain);
            std::memcpy(context.chain, saved, kSquareBlockSize);
        }
    }
    std::uint8_t* current = data + pos;
    std::memcpy(saved, current, kSquareBlockSize);
    const std::size_t tail = length - kSquareBlockSize - pos; // 0..15
    if (tail > 0) {
        std::uint8_t decrypted[kSquareBlockSize];
        std::memcpy(decrypted, current, kSquareBlockSize);
        SquareDecryptBlock(decrypted, context.decryptKeys);
        std::uint8_t* partial = current + kSquareBlockSize;
        for (std::size_t i = 0; i < tail; ++i) {
            const std::uint8_t stored = partial[i];
            partial[i] = decrypted[i] ^ stored;
            current[i] = stored;
        }
        std::memcpy(current + tail, decrypted + tail, kSquareBlockSize - tail);
        SecureWipe(decrypted, sizeof decrypted);
    }
    SquareDecryptBlock(current, context.decryptKeys);
    XorBlock(current, context.chain);
    std::memcpy(context.chain, saved, kSquareBlockSize);
    SecureWipe(saved, sizeof saved);
    return true;
}

void CbcWipe(SquareCbc& context)
{
    SecureWipe(&context, sizeof context);
}

void OfbInit(SquareOfb& context, const SquareKey& key)
{
    OfbWipe(context);
    SquareExpandKey(key, context.encryptKeys, nullptr);
}

void OfbSetIv(SquareOfb& context, const std::uint8_t* iv)
{
    if (iv)
        std::memcpy(context.feedback, iv, kSquareBlockSize);
    else
        std::memset(context.feedback, 0, kSquareBlockSize);
    context.unused = 0;
}

void OfbApply(SquareOfb& context, std::uint8_t* data, std::size_t length)
{
    if (!data)
        return;
    if (context.unused > kSquareBlockSize)
        context.unused = 0;
    std::size_t done = 0;
    while (done < length) {
        if (context.unused == 0) {
            SquareEncryptBlock(context.feedback, context.encryptKeys);
            context.unused = kSquareBlockSize;
        }
        const std::size_t start = kSquareBlockSize - context.unused;
        const std::size_t take = std::min<std::size_t>(context.unused, length - done);
        for (std::size_t i = 0; i < take; ++i)
            data[done + i] ^= context.feedback[start + i];
        context.unused -= static_cast<std::uint32_t>(take);
        done += take;
    }
}

void OfbWipe(SquareOfb& context)
{
    SecureWipe(&context, sizeof context);
}

// ---- File scheme ------------------------------------------------------------------

namespace {

bool AcceptedBlock(const std::uint8_t* buffer, std::size_t length, bool full)
{
    return buffer && length >= kSquareBlockSize && (!full || length == kDataBlockSize);
}

void CbcLayer(std::uint8_t* buffer, std::size_t length, const SquareKey& key, bool encipher)
{
    SquareCbc cbc;
    CbcInit(cbc, key);
    CbcSetIv(cbc, nullptr);
    if (encipher)
        CbcEncrypt(cbc, buffer, length);
    else
        CbcDecrypt(cbc, buffer, length);
    CbcWipe(cbc);
}

void OfbLayer(std::uint8_t* buffer, std::size_t length, const SquareKey& key)
{
    SquareOfb ofb;
    OfbInit(ofb, key);
    OfbSetIv(ofb, nullptr);
    OfbApply(ofb, buffer, length);
    OfbWipe(ofb);
}

} // namespace

bool DecipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full, const DataKeys& keys)
{
    if (!AcceptedBlock(buffer, length, full))
        return false;
    CbcLayer(buffer, length, keys.squareKey, false);
    if (full) {
        GostDecryptBlock(buffer, keys.gostKey);
        OfbLayer(buffer, length, keys.squareKey);
    }
    return true;
}

bool EncipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full, const DataKeys& keys)
{
    if (!AcceptedBlock(buffer, length, full))
        return false;
    if (full) {
        OfbLayer(buffer, length, keys.squareKey);
        GostEncryptBlock(buffer, keys.gostKey);
    }
    CbcLayer(buffer, length, keys.squareKey, true);
    return true;
}

bool DecipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full)
{
    return DecipherDataBlock(buffer, length, full, ProgramKeys());
}

bool EncipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full)
{
    return EncipherDataBlock(buffer, length, full, ProgramKeys());
}

bool CanEncipherLength(std::size_t length)
{
    const std::size_t last = length % kDataBlockSize;
    return last == 0 || last >= kSquareBlockSize;
}

namespace {

bool EachBlock(std::uint8_t* data, std::size_t length, const DataKeys& keys, bool encipher)
{
    if (!CanEncipherLength(length) || (length > 0 && !data))
        return false;
    std::size_t pos = 0;
    for (; length - pos >= kDataBlockSize; pos += kDataBlockSize) {
        if (encipher)
            EncipherDataBlock(data + pos, kDataBlockSize, true, keys);
        else
            DecipherDataBlock(data + pos, kDataBlockSize, true, keys);
    }
    if (pos < length) {
        if (encipher)
            EncipherDataBlock(data + pos, length - pos, false, keys);
        else
            DecipherDataBlock(data + pos, length - pos, false, keys);
    }
    return true;
}

} // namespace

bool EncipherData(std::uint8_t* data, std::size_t length, const DataKeys& keys)
{
    return EachBlock(data, length, keys, true);
}

bool DecipherData(std::uint8_t* data, std::size_t length, const DataKeys& keys)
{
    return EachBlock(data, length, keys, false);
}

} // namespace DataCipher

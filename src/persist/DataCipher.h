#pragma once

// The cipher of the program's own data files (the language file). Every 4096-byte block
// of a file is enciphered on its own, in three layers:
//
//   EncipherDataBlock, full block:  Square OFB over the block, GOST on its first 8 bytes,
//                                   Square CBC with ciphertext stealing over the block.
//   EncipherDataBlock, short block: Square CBC with ciphertext stealing only.
//   DecipherDataBlock:              the exact inverse, in the reverse order.
//
// Each layer uses a fresh context with no IV (a zero IV) that is wiped when done, so
// nothing is chained from one block to the next. There is no integrity check: wrong keys
// or damaged data decipher to wrong bytes without a report.
//
// Byte and word order: a Square block is 16 bytes taken as four 32-bit little-endian
// words (bytes 0-3 are word 0, byte 0 its least significant byte). A GOST block is 8
// bytes, N1 = the little-endian word of bytes 0-3, N2 = bytes 4-7; a GOST key is 32 bytes,
// K0 = the little-endian word of bytes 0-3 ... K7 = bytes 28-31. Test vectors written as
// hex strings are byte strings in this order (the first two digits are byte 0).

#include <array>
#include <cstddef>
#include <cstdint>

namespace DataCipher {

constexpr std::size_t kSquareBlockSize = 16;
constexpr std::size_t kSquareKeySize = 16;
constexpr int kSquareRounds = 8;
constexpr std::size_t kGostBlockSize = 8;
constexpr std::size_t kGostKeySize = 32;
constexpr std::size_t kDataBlockSize = 4096; // a full block of a data file

using SquareKey = std::array<std::uint8_t, kSquareKeySize>;
using GostKey = std::array<std::uint8_t, kGostKeySize>;

// Round keys of Square: 9 keys of four little-endian words (9 x 16 bytes).
struct SquareRoundKeys {
    std::uint32_t key[kSquareRounds + 1][4];
};
static_assert(sizeof(SquareRoundKeys) == 9 * 16);

// Square in cipher-block chaining with ciphertext stealing.
struct SquareCbc {
    SquareRoundKeys encryptKeys;
    SquareRoundKeys decryptKeys;
    std::uint8_t chain[kSquareBlockSize];
};

// Square in output-feedback mode.
struct SquareOfb {
    SquareRoundKeys encryptKeys;
    std::uint8_t feedback[kSquareBlockSize];
    std::uint32_t unused; // keystream bytes at the end of feedback not yet used
};

// The pair of keys a data file is enciphered under.
struct DataKeys {
    SquareKey squareKey;
    GostKey gostKey;
};

// The program's own keys; its data files are enciphered with these.
extern const SquareKey squareKey;
extern const GostKey gostKey;
const DataKeys& ProgramKeys();

// Writes zeros that the compiler may not drop as dead stores.
void SecureWipe(void* data, std::size_t length);

// ---- Primitives -------------------------------------------------------------------

// Encryption round keys, and when decryptKeys is given the decryption round keys
// (decryption key 8 - t is encryption key t before mixing, t = 1..8; decryption key 8
// is encryption key 0 after mixing).
void SquareExpandKey(const SquareKey& key, SquareRoundKeys& encryptKeys, SquareRoundKeys* decryptKeys);

// One 16-byte block in place.
void SquareEncryptBlock(std::uint8_t* block, const SquareRoundKeys& roundKeys);
void SquareDecryptBlock(std::uint8_t* block, const SquareRoundKeys& roundKeys);

// One 8-byte block in place, GOST 28147-89 simple substitution with the S-boxes of the
// GOST R 34.11-94 test parameter set (id-GostR3411-94-TestParamSet).
void GostEncryptBlock(std::uint8_t* block8, const GostKey& key);
void GostDecryptBlock(std::uint8_t* block8, const GostKey& key);

// ---- Modes ------------------------------------------------------------------------

// Builds both round-key sets; the chaining block is zero until CbcSetIv.
void CbcInit(SquareCbc& context, const SquareKey& key);
// The chaining block becomes the encryption of the IV (16 bytes; null: the zero block).
void CbcSetIv(SquareCbc& context, const std::uint8_t* iv);
// In place; the output is as long as the input (ciphertext stealing). Lengths under 16
// bytes are refused: false, and nothing is read or written.
bool CbcEncrypt(SquareCbc& context, std::uint8_t* data, std::size_t length);
bool CbcDecrypt(SquareCbc& context, std::uint8_t* data, std::size_t length);
void CbcWipe(SquareCbc& context);

void OfbInit(SquareOfb& context, const SquareKey& key);
// Copies the IV (16 bytes) into the feedback register; null leaves it zero. The register
// is not encrypted here: the first keystream block is its encryption.
void OfbSetIv(SquareOfb& context, const std::uint8_t* iv);
// XORs the keystream into data in place (the same call enciphers and deciphers). Any
// length; consecutive calls continue the keystream where the previous one stopped.
void OfbApply(SquareOfb& context, std::uint8_t* data, std::size_t length);
void OfbWipe(SquareOfb& context);

// ---- File scheme ------------------------------------------------------------------

// One stored block in place: full is true for a 4096-byte block, false for the shorter
// last block of a file. Refused (false, data untouched) when length is under 16 or a
// full block is not 4096 bytes long.
bool DecipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full);
bool EncipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full);
bool DecipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full, const DataKeys& keys);
bool EncipherDataBlock(std::uint8_t* buffer, std::size_t length, bool full, const DataKeys& keys);

// Whole files: independent 4096-byte blocks, the last one short. A length whose last
// block would have 1 to 15 bytes cannot be enciphered; such data is refused (false,
// untouched). An empty buffer is fine.
bool CanEncipherLength(std::size_t length);
bool EncipherData(std::uint8_t* data, std::size_t length, const DataKeys& keys);
bool DecipherData(std::uint8_t* data, std::size_t length, const DataKeys& keys);

} // namespace DataCipher

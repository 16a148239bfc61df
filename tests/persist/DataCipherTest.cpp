#include "persist/DataCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace DataCipher;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Hex strings are byte strings: the first two digits are byte 0.
Bytes FromHex(const std::string& hex)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const std::uint8_t* p, std::size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

Bytes RandomBytes(std::mt19937& rng, std::size_t n)
{
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

template <typename Key>
Key RandomKey(std::mt19937& rng)
{
    Key k;
    for (auto& v : k)
        v = static_cast<std::uint8_t>(rng());
    return k;
}

DataKeys RandomKeys(std::mt19937& rng)
{
    return DataKeys{RandomKey<SquareKey>(rng), RandomKey<GostKey>(rng)};
}

} // namespace

TEST(Square, PublishedVectorAndInverse)
{
    SquareKey key;
    for (int i = 0; i < 16; ++i)
        key[i] = static_cast<std::uint8_t>(i);
    SquareRoundKeys enc, dec;
    SquareExpandKey(key, enc, &dec);

    std::uint8_t block[16];
    for (int i = 0; i < 16; ++i)
        block[i] = static_cast<std::uint8_t>(i);
    SquareEncryptBlock(block, enc);
    EXPECT_EQ(ToHex(block, 16), "7c3491d94994e70f0ec2e7a5ccb5a14f");
    SquareDecryptBlock(block, dec);
    EXPECT_EQ(ToHex(block, 16), "000102030405060708090a0b0c0d0e0f");

    // Random keys and blocks: decryption inverts encryption.
    std::mt19937 rng(1);
    for (int n = 0; n < 200; ++n) {
        SquareExpandKey(RandomKey<SquareKey>(rng), enc, &dec);
        const Bytes plain = RandomBytes(rng, 16);
        Bytes b = plain;
        SquareEncryptBlock(b.data(), enc);
        EXPECT_NE(b, plain);
        SquareDecryptBlock(b.data(), dec);
        ASSERT_EQ(b, plain);
    }
}

TEST(Gost, TestParamSetVectorAndInverse)
{
    // Key K0..K7 = little-endian words of the byte string; N1 = bytes 0-3, N2 = bytes 4-7.
    const Bytes keyBytes = FromHex("BE5EC2006CFF9DCF52354959F1FF0CBFE95061B5A648C10387069C25997C0672");
    GostKey key;
    std::copy(keyBytes.begin(), keyBytes.end(), key.begin());
    Bytes block = FromHex("0DF82802B741A292");
    GostEncryptBlock(block.data(), key);
    EXPECT_EQ(ToHex(block.data(), 8), "07f9027df7f7df89");
    GostDecryptBlock(block.data(), key);
    EXPECT_EQ(ToHex(block.data(), 8), "0df82802b741a292");

    std::mt19937 rng(2);
    for (int n = 0; n < 200; ++n) {
        key = RandomKey<GostKey>(rng);
        const Bytes plain = RandomBytes(rng, 8);
        Bytes b = plain;
        GostEncryptBlock(b.data(), key);
        EXPECT_NE(b, plain);
        GostDecryptBlock(b.data(), key);
        ASSERT_EQ(b, plain);
    }
}

TEST(Cbc, StealingRoundTripsEveryLengthFrom16To100)
{
    std::mt19937 rng(3);
    for (std::size_t length = 16; length <= 100; ++length) {
        const SquareKey key = RandomKey<SquareKey>(rng);
        const Bytes iv = RandomBytes(rng, 16);
        const Bytes plain = RandomBytes(rng, length);
        Bytes data = plain;
        data.push_back(0xA5); // guard byte: the output is exactly as long as the input

        SquareCbc cbc;
        CbcInit(cbc, key);
        CbcSetIv(cbc, iv.data());
        ASSERT_TRUE(CbcEncrypt(cbc, data.data(), length));
        EXPECT_EQ(data.back(), 0xA5);
        EXPECT_FALSE(std::equal(plain.begin(), plain.end(), data.begin())) << length;

        CbcInit(cbc, key);
        CbcSetIv(cbc, iv.data());
        ASSERT_TRUE(CbcDecrypt(cbc, data.data(), length));
        EXPECT_EQ(data.back(), 0xA5);
        data.pop_back();
        EXPECT_EQ(data, plain) << "length " << length;
        CbcWipe(cbc);
    }
}

TEST(Cbc, WholeBlocksChainFromTheEncryptedIv)
{
    std::mt19937 rng(4);
    const SquareKey key = RandomKey<SquareKey>(rng);
    const Bytes plain = RandomBytes(rng, 48);

    // By hand: C = E(0); c_i = E(p_i ^ C), C = c_i.
    SquareRoundKeys enc;
    SquareExpandKey(key, enc, nullptr);
    std::uint8_t chain[16] = {};
    SquareEncryptBlock(chain, enc);
    Bytes expected = plain;
    for (int b = 0; b < 3; ++b) {
        for (int i = 0; i < 16; ++i)
            expected[16 * b + i] ^= chain[i];
        SquareEncryptBlock(&expected[16 * b], enc);
        std::copy_n(&expected[16 * b], 16, chain);
    }

    SquareCbc cbc;
    CbcInit(cbc, key);
    CbcSetIv(cbc, nullptr);
    Bytes data = plain;
    ASSERT_TRUE(CbcEncrypt(cbc, data.data(), data.size()));
    EXPECT_EQ(data, expected);
}

TEST(Cbc, RefusesLengthsUnder16AndTouchesNothing)
{
    SquareCbc cbc;
    CbcInit(cbc, SquareKey{});
    CbcSetIv(cbc, nullptr);
    const Bytes original(15, 0x3C);
    for (std::size_t length = 0; length < 16; ++length) {
        Bytes data = original;
        EXPECT_FALSE(CbcEncrypt(cbc, data.data(), length));
        EXPECT_FALSE(CbcDecrypt(cbc, data.data(), length));
        EXPECT_EQ(data, original);
    }
    EXPECT_FALSE(CbcDecrypt(cbc, nullptr, 32));
}

TEST(Ofb, TenThenTwentyBytesEqualThirtyAtOnce)
{
    std::mt19937 rng(5);
    const SquareKey key = RandomKey<SquareKey>(rng);
    const Bytes iv = RandomBytes(rng, 16);
    const Bytes plain = RandomBytes(rng, 30);

    SquareOfb once;
    OfbInit(once, key);
    OfbSetIv(once, iv.data());
    Bytes whole = plain;
    OfbApply(once, whole.data(), whole.size());

    SquareOfb split;
    OfbInit(split, key);
    OfbSetIv(split, iv.data());
    Bytes parts = plain;
    OfbApply(split, parts.data(), 10);
    OfbApply(split, parts.data() + 10, 20);
    EXPECT_EQ(parts, whole);
    EXPECT_NE(whole, plain);
    EXPECT_EQ(split.unused, 2u); // 32 bytes of keystream made, 30 used

    // The same call deciphers.
    OfbInit(once, key);
    OfbSetIv(once, iv.data());
    OfbApply(once, whole.data(), whole.size());
    EXPECT_EQ(whole, plain);
}

TEST(Ofb, KeystreamIsTheRepeatedEncryptionOfTheRegister)
{
    std::mt19937 rng(6);
    const SquareKey key = RandomKey<SquareKey>(rng);
    SquareRoundKeys enc;
    SquareExpandKey(key, enc, nullptr);
    std::uint8_t expected[32] = {};
    SquareEncryptBlock(expected, enc); // no IV: the register starts at zero
    std::copy_n(expected, 16, expected + 16);
    SquareEncryptBlock(expected + 16, enc);

    SquareOfb ofb;
    OfbInit(ofb, key);
    OfbSetIv(ofb, nullptr);
    std::uint8_t stream[32] = {};
    OfbApply(ofb, stream, 32);
    EXPECT_EQ(ToHex(stream, 32), ToHex(expected, 32));
}

TEST(DataBlock, FullAndShortBlocksRoundTrip)
{
    std::mt19937 rng(7);
    const Bytes full = RandomBytes(rng, kDataBlockSize);
    Bytes data = full;
    ASSERT_TRUE(EncipherDataBlock(data.data(), data.size(), true));
    EXPECT_NE(data, full);
    ASSERT_TRUE(DecipherDataBlock(data.data(), data.size(), true));
    EXPECT_EQ(data, full);

    for (std::size_t length : {16, 17, 20, 31, 32, 2924, 4095}) {
        const Bytes plain = RandomBytes(rng, length);
        Bytes d = plain;
        ASSERT_TRUE(EncipherDataBlock(d.data(), d.size(), false));
        EXPECT_EQ(d.size(), length);
        EXPECT_NE(d, plain);
        ASSERT_TRUE(DecipherDataBlock(d.data(), d.size(), false));
        EXPECT_EQ(d, plain) << length;
    }
}

TEST(DataBlock, RefusesShortDataAndMisSizedFullBlocks)
{
    Bytes data(kDataBlockSize + 1, 0x11);
    const Bytes original = data;
    EXPECT_FALSE(DecipherDataBlock(data.data(), 15, false));
    EXPECT_FALSE(EncipherDataBlock(data.data(), 15, false));
    EXPECT_FALSE(DecipherDataBlock(data.data(), 4095, true));
    EXPECT_FALSE(DecipherDataBlock(data.data(), 4097, true));
    EXPECT_FALSE(DecipherDataBlock(nullptr, 4096, true));
    EXPECT_EQ(data, original);
}

TEST(DataBlock, AStoredByteAmongTheFirst16ChangesOnlyTwoBlocksOfOutput)
{
    std::mt19937 rng(8);
    const Bytes plain = RandomBytes(rng, kDataBlockSize);
    Bytes stored = plain;
    ASSERT_TRUE(EncipherDataBlock(stored.data(), stored.size(), true));

    for (std::size_t j = 0; j < 16; ++j) {
        const std::uint8_t delta = static_cast<std::uint8_t>(1u << (j % 8)) | 0x40;
        Bytes damaged = stored;
        damaged[j] ^= delta;
        ASSERT_TRUE(DecipherDataBlock(damaged.data(), damaged.size(), true));

        // The first 16 bytes become a fresh block (each byte alone may match by chance).
        EXPECT_FALSE(std::equal(plain.begin(), plain.begin() + 16, damaged.begin())) << j;
        for (std::size_t i = 16; i < 32; ++i) {
            const std::uint8_t want = i == 16 + j ? plain[i] ^ delta : plain[i];
            EXPECT_EQ(damaged[i], want) << "j " << j << " byte " << i;
        }
        EXPECT_TRUE(std::equal(plain.begin() + 32, plain.end(), damaged.begin() + 32)) << j;
    }
}

TEST(DataBlock, KeysMatterLayerByLayer)
{
    std::mt19937 rng(9);
    const DataKeys keys = RandomKeys(rng);
    const Bytes plain = RandomBytes(rng, kDataBlockSize);
    Bytes stored = plain;
    ASSERT_TRUE(EncipherDataBlock(stored.data(), stored.size(), true, keys));

    Bytes programKeys = plain;
    ASSERT_TRUE(EncipherDataBlock(programKeys.data(), programKeys.size(), true));
    EXPECT_NE(programKeys, stored);

    // Another Square key spoils everything, silently.
    DataKeys otherSquare = keys;
    otherSquare.squareKey[5] ^= 1;
    Bytes a = stored;
    ASSERT_TRUE(DecipherDataBlock(a.data(), a.size(), true, otherSquare));
    EXPECT_FALSE(std::equal(plain.begin() + 16, plain.end(), a.begin() + 16));

    // Another GOST key spoils only the 8 bytes that layer covers.
    DataKeys otherGost = keys;
    otherGost.gostKey[30] ^= 1;
    Bytes b = stored;
    ASSERT_TRUE(DecipherDataBlock(b.data(), b.size(), true, otherGost));
    EXPECT_FALSE(std::equal(plain.begin(), plain.begin() + 8, b.begin()));
    EXPECT_TRUE(std::equal(plain.begin() + 8, plain.end(), b.begin() + 8));
}

TEST(DataFiles, BlocksAreIndependentAndShortTailsAreRefused)
{
    std::mt19937 rng(10);
    const DataKeys keys = RandomKeys(rng);
    const Bytes block = RandomBytes(rng, kDataBlockSize);

    // Two equal 4096-byte blocks encipher alike: nothing is chained between blocks.
    Bytes twice = block;
    twice.insert(twice.end(), block.begin(), block.end());
    ASSERT_TRUE(EncipherData(twice.data(), twice.size(), keys));
    EXPECT_TRUE(std::equal(twice.begin(), twice.begin() + 4096, twice.begin() + 4096));
    Bytes single = block;
    ASSERT_TRUE(EncipherDataBlock(single.data(), single.size(), true, keys));
    EXPECT_TRUE(std::equal(single.begin(), single.end(), twice.begin()));

    for (std::size_t length : {0, 16, 100, 4096, 4096 + 16, 8192, 10000}) {
        const Bytes plain = RandomBytes(rng, length);
        Bytes d = plain;
        ASSERT_TRUE(EncipherData(d.data(), d.size(), keys)) << length;
        ASSERT_TRUE(DecipherData(d.data(), d.size(), keys)) << length;
        EXPECT_EQ(d, plain) << length;
    }

    for (std::size_t length : {1, 15, 4096 + 1, 8192 + 15}) {
        Bytes d(length, 0x77);
        EXPECT_FALSE(CanEncipherLength(length));
        EXPECT_FALSE(EncipherData(d.data(), d.size(), keys)) << length;
        EXPECT_FALSE(DecipherData(d.data(), d.size(), keys)) << length;
        EXPECT_TRUE(std::all_of(d.begin(), d.end(), [](std::uint8_t v) { return v == 0x77; }));
    }
}

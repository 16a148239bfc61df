// cipher: enciphers or deciphers a whole data file in independent 4096-byte blocks, the
// last one short, under the program's keys or the ones given.

#include "CipherCommands.h"

#include "persist/DataCipher.h"

#include <QFile>
#include <QSaveFile>

#include <array>

namespace tool {

namespace {

// Hex digits to bytes, the first two digits being byte 0; false unless exactly size bytes.
int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Hex digits to bytes, the first two digits being byte 0; false unless exactly N bytes.
template <std::size_t N>
bool ParseHexKey(const QString& text, std::array<std::uint8_t, N>& key)
{
    if (text.size() != static_cast<qsizetype>(2 * N))
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        const int high = HexDigit(text.at(static_cast<qsizetype>(2 * i)));
        const int low = HexDigit(text.at(static_cast<qsizetype>(2 * i + 1)));
        if (high < 0 || low < 0)
            return false;
        key[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

int RunCipher(QStringList args)
{
    DataCipher::DataKeys keys = DataCipher::ProgramKeys();
    QString value, error;
    if (TakeOption(args, QStringLiteral("--square-key"), value, error) && !ParseHexKey(value, keys.squareKey))
        return Usage(QStringLiteral("--square-key needs 32 hex digits"));
    if (!error.isEmpty())
        return Usage(error);
    if (TakeOption(args, QStringLiteral("--gost-key"), value, error) && !ParseHexKey(value, keys.gostKey))
        return Usage(QStringLiteral("--gost-key needs 64 hex digits"));
    if (!error.isEmpty())
        return Usage(error);
    if (args.size() != 3 || (args[0] != QLatin1String("encipher") && args[0] != QLatin1String("decipher")))
        return Usage(QStringLiteral("usage: cipher encipher|decipher [--square-key HEX32] [--gost-key HEX64] IN OUT"));
    const bool encipher = args[0] == QLatin1String("encipher");
    const QString& inPath = args[1];
    const QString& outPath = args[2];

    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot read %1: %2").arg(inPath, in.errorString()));
    const qint64 length = in.size();
    const auto last = static_cast<std::size_t>(length % static_cast<qint64>(DataCipher::kDataBlockSize));
    if (!DataCipher::CanEncipherLength(static_cast<std::size_t>(length))) {
        return Failure(QStringLiteral("%1: its last block has %2 bytes; a block needs at least 16%3")
                           .arg(inPath)
                           .arg(last)
                           .arg(encipher ? QStringLiteral(" (pad the file)") : QString()));
    }

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        return Failure(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
    std::array<std::uint8_t, DataCipher::kDataBlockSize> block;
    for (qint64 pos = 0; pos < length;) {
        const qint64 n = std::min<qint64>(length - pos, static_cast<qint64>(block.size()));
        if (in.read(reinterpret_cast<char*>(block.data()), n) != n)
            return Failure(QStringLiteral("cannot read %1: %2").arg(inPath, in.errorString()));
        const bool full = n == static_cast<qint64>(block.size());
        const auto size = static_cast<std::size_t>(n);
        if (encipher)
            DataCipher::EncipherDataBlock(block.data(), size, full, keys);
        else
            DataCipher::DecipherDataBlock(block.data(), size, full, keys);
        if (out.write(reinterpret_cast<const char*>(block.data()), n) != n)
            return Failure(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        pos += n;
    }
    if (!out.commit())
        return Failure(QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
    return kOk;
}

} // namespace

Command CipherCommand()
{
    return {"cipher", "cipher encipher|decipher [--square-key HEX32] [--gost-key HEX64] IN OUT", RunCipher};
}

} // namespace tool

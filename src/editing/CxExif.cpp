// The stdio file of the picture library and the reader of JPEG camera data (EXIF).
// Every offset inside an EXIF block comes from the file: each one is checked against
// the block before it is followed.

#include "editing/CxImage.h"

#include <QFile>

#include <cstring>
#include <vector>

CxIOFile::~CxIOFile()
{
    Close();
}

bool CxIOFile::Open(const QString& path, const char* mode)
{
    Close();
    file = std::fopen(QFile::encodeName(path).constData(), mode);
    return file != nullptr;
}

bool CxIOFile::Close()
{
    if (!file)
        return false;
    const bool ok = std::fclose(file) == 0;
    file = nullptr;
    return ok;
}

std::size_t CxIOFile::Read(void* buffer, std::size_t size, std::size_t count)
{
    return file ? std::fread(buffer, size, count, file) : 0;
}

bool CxIOFile::Seek(long offset, int origin)
{
    return file && std::fseek(file, offset, origin) == 0;
}

long CxIOFile::Tell() const
{
    return file ? std::ftell(file) : -1;
}

long CxIOFile::Size() const
{
    if (!file)
        return -1;
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return size;
}

bool CxIOFile::Eof() const
{
    return !file || std::feof(file) != 0;
}

namespace {

constexpr std::uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};

// The TIFF block inside an EXIF segment, in its own byte order.
class TiffBlock {
public:
    TiffBlock(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool Header(std::uint32_t& firstIfd)
    {
        if (size < 8)
            return false;
        if (data[0] == 'I' && data[1] == 'I')
            motorola = false;
        else if (data[0] == 'M' && data[1] == 'M')
            motorola = true;
        else
            return false;
        std::uint16_t magic = 0;
        return U16(2, magic) && magic == 42 && U32(4, firstIfd);
    }

    bool U16(std::uint64_t at, std::uint16_t& value) const
    {
        if (at + 2 > size)
            return false;
        const std::uint8_t* p = data + at;
        value = motorola ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
        return true;
    }

    bool U32(std::uint64_t at, std::uint32_t& value) const
    {
        if (at + 4 > size)
            return false;
        const std::uint8_t* p = data + at;
        value = motorola ? std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3]
                         : std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        return true;
    }

    // One IFD entry's value position: inline (in the entry) or at its offset.
    struct Entry {
        std::uint16_t tag = 0;
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        std::uint64_t valueAt = 0; // position of the value in the block
    };

    static std::uint32_t TypeSize(std::uint16_t type)
    {
        switch (type) {
        case 1: case 2: case 6: case 7: return 1;
        case 3: case 8: return 2;
        case 4: case 9: case 11: return 4;
        case 5: case 10: case 12: return 8;
        default: return 0;
        }
    }

    bool ReadEntry(std::uint64_t at, Entry& entry) const
    {
        if (!U16(at, entry.tag) || !U16(at + 2, entry.type) || !U32(at + 4, entry.count))
            return false;
        const std::uint64_t bytes = std::uint64_t(TypeSize(entry.type)) * entry.count;
        if (bytes == 0)
            return false;
        if (bytes <= 4) {
            entry.valueAt = at + 8;
        } else {
            std::uint32_t offset = 0;
            if (!U32(at + 8, offset))
                return false;
            entry.valueAt = offset;
        }
        return entry.valueAt + bytes <= size;
    }

    bool Integer(const Entry& entry, std::uint32_t& value) const
    {
        if (entry.type == 3) {
            std::uint16_t v = 0;
            if (!U16(entry.valueAt, v))
                return false;
            value = v;
            return true;
        }
        if (entry.type == 4 || entry.type == 9)
            return U32(entry.valueAt, value);
        if (entry.type == 1 || entry.type == 7) {
            value = data[entry.valueAt];
            return true;
        }
        return false;
    }

    bool Rational(const Entry& entry, double& value) const
    {
        if (entry.type != 5 && entry.type != 10)
            return false;
        std::uint32_t numerator = 0;
        std::uint32_t denominator = 0;
        if (!U32(entry.valueAt, numerator) || !U32(entry.valueAt + 4, denominator) || denominator == 0)
            return false;
        if (entry.type == 10)
            value = double(std::int32_t(numerator)) / double(std::int32_t(denominator));
        else
            value = double(numerator) / double(denominator);
        return true;
    }

    QString Text(const Entry& entry) const
    {
        if (entry.type != 2)
            return {};
        const char* text = reinterpret_cast<const char*>(data + entry.valueAt);
        std::size_t length = 0;
        while (length < entry.count && text[length] != '\0')
            ++length;
        return QString::fromLatin1(text, qsizetype(length)).trimmed();
    }

    const std::uint8_t* data;
    std::size_t size;
    bool motorola = false;
};

enum : std::uint16_t {
    kTagMake = 0x010F,
    kTagModel = 0x0110,
    kTagOrientation = 0x0112,
    kTagDateTime = 0x0132,
    kTagExifIfd = 0x8769,
    kTagExposureTime = 0x829A,
    kTagFNumber = 0x829D,
    kTagIso = 0x8827,
    kTagDateTimeOriginal = 0x9003,
    kTagFlash = 0x9209,
    kTagFocalLength = 0x920A,
    kTagPixelWidth = 0xA002,
    kTagPixelHeight = 0xA003,
};

// Reads one IFD into info; returns the offset of the EXIF sub-IFD (0 if none).
std::uint32_t ReadIfd(const TiffBlock& block, std::uint32_t at, ExifInfo& info, bool& ok)
{
    std::uint16_t count = 0;
    ok = block.U16(at, count);
    if (!ok)
        return 0;
    std::uint32_t subIfd = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        TiffBlock::Entry entry;
        if (!block.ReadEntry(std::uint64_t(at) + 2 + std::uint64_t(i) * 12, entry))
            continue;
        std::uint32_t number = 0;
        double real = 0;
        switch (entry.tag) {
        case kTagMake: info.cameraMake = block.Text(entry); break;
        case kTagModel: info.cameraModel = block.Text(entry); break;
        case kTagDateTime:
            if (info.dateTime.isEmpty())
                info.dateTime = block.Text(entry);
            break;
        case kTagDateTimeOriginal: info.dateTime = block.Text(entry); break;
        case kTagOrientation:
            if (block.Integer(entry, number) && number >= 1 && number <= 8)
                info.orientation = int(number);
            break;
        case kTagExifIfd:
            if (block.Integer(entry, number))
                subIfd = number;
            break;
        case kTagExposureTime:
            if (block.Rational(entry, real))
                info.exposureTime = real;
            break;
        case kTagFNumber:
            if (block.Rational(entry, real))
                info.apertureFNumber = real;
            break;
        case kTagFocalLength:
            if (block.Rational(entry, real))
                info.focalLength = real;
            break;
        case kTagIso:
            if (block.Integer(entry, number))
                info.isoEquivalent = int(number & 0xFFFF);
            break;
        case kTagFlash:
            if (block.Integer(entry, number))
                info.flash = int(number & 0xFFFF);
            break;
        case kTagPixelWidth:
            if (block.Integer(entry, number) && number <= 0x7FFFFFFF)
                info.width = int(number);
            break;
        case kTagPixelHeight:
            if (block.Integer(entry, number) && number <= 0x7FFFFFFF)
                info.height = int(number);
            break;
        default: break;
        }
    }
    return subIfd;
}

bool IsStartOfFrame(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool HasNoLength(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

} // namespace

bool CxImageJPG::DecodeExifBlock(const std::uint8_t* data, std::size_t size)
{
    m_exifinfo = ExifInfo();
    if (!data || size < sizeof(kExifId) + 8 || std::memcmp(data, kExifId, sizeof(kExifId)) != 0)
        return false;
    TiffBlock block(data + sizeof(kExifId), size - sizeof(kExifId));
    std::uint32_t first = 0;
    if (!block.Header(first))
        return false;
    bool ok = false;
    const std::uint32_t sub = ReadIfd(block, first, m_exifinfo, ok);
    if (!ok)
        return false;
    if (sub != 0 && sub != first) {
        bool subOk = false;
        ExifInfo camera = m_exifinfo;
        ReadIfd(block, sub, camera, subOk);
        if (subOk)
            m_exifinfo = camera;
    }
    m_exifinfo.valid = true;
    return true;
}

bool CxImageJPG::DecodeExif(CxIOFile* file)
{
    m_exifinfo = ExifInfo();
    if (!file || !file->IsOpen())
        return false;
    std::uint8_t soi[2];
    if (file->Read(soi, 1, 2) != 2 || soi[0] != 0xFF || soi[1] != 0xD8)
        return false;
    // Walk the segments up to the first scan.
    for (int segments = 0; segments < 1000; ++segments) {
        std::uint8_t byte = 0;
        if (file->Read(&byte, 1, 1) != 1 || byte != 0xFF)
            return false;
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF) {
            if (file->Read(&marker, 1, 1) != 1)
                return false;
        }
        if (HasNoLength(marker))
            continue;
        if (marker == 0xD9 || marker == 0xDA)
            return false;
        std::uint8_t lengthBytes[2];
        if (file->Read(lengthBytes, 1, 2) != 2)
            return false;
        const std::size_t length = std::size_t(lengthBytes[0] << 8 | lengthBytes[1]);
        if (length < 2)
            return false;
        const std::size_t body = length - 2;
        if (marker == 0xE1 && body >= sizeof(kExifId)) {
            std::vector<std::uint8_t> segment(body);
            if (file->Read(segment.data(), 1, body) != body)
                return false;
            if (std::memcmp(segment.data(), kExifId, sizeof(kExifId)) == 0)
                return DecodeExifBlock(segment.data(), segment.size());
            continue;
        }
        if (!file->Seek(long(body), SEEK_CUR))
            return false;
    }
    return false;
}

bool ReadJpegHeader(const std::uint8_t* data, std::size_t size, JpegHeader& header)
{
    header = JpegHeader();
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t at = 2;
    bool sized = false;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return false;
        std::uint8_t marker = data[at + 1];
        at += 2;
        if (marker == 0xFF) { // fill byte
            --at;
            continue;
        }
        if (HasNoLength(marker))
            continue;
        if (marker == 0xD9 || marker == 0xDA)
            break;
        if (at + 2 > size)
            return false;
        const std::size_t length = std::size_t(data[at] << 8 | data[at + 1]);
        if (length < 2 || at + length > size)
            return false;
        const std::uint8_t* body = data + at + 2;
        const std::size_t bodySize = length - 2;
        if (IsStartOfFrame(marker) && bodySize >= 6 && !sized) {
            header.height = body[1] << 8 | body[2];
            header.width = body[3] << 8 | body[4];
            header.components = body[5];
            sized = true;
        } else if (marker == 0xE1 && header.orientation == 1) {
            CxImageJPG exif;
            if (exif.DecodeExifBlock(body, bodySize))
                header.orientation = exif.m_exifinfo.orientation;
        }
        at += length;
    }
    return sized && header.width > 0 && header.height > 0;
}

#include "editing/JpegEncoder.h"

#include "base/UserMessage.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <random>
#include <thread>

#include <jpeglib.h>

static_assert(JPEG_LIB_VERSION == 62, "the JPEG writer is built on the IJG API of library version 62");

namespace {

// The standard error manager with its fatal-error handler replaced: the message is
// shown and control returns to the encoder, which cleans up and gives up.
struct ErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf recovery;
};

void FatalError(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, message);
    ShowUserMessage(QString::fromLocal8Bit(message), MessageKind::JpegFatal);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

// Only plain data lives in this function: the fatal-error handler jumps back into it.
bool Compress(std::FILE* file, const std::uint8_t* rows, int width, int height, int quality, bool colour)
{
    jpeg_compress_struct compressor;
    ErrorManager errors;
    compressor.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = FatalError;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_compress(&compressor);
        return false;
    }
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = JDIMENSION(width);
    compressor.image_height = JDIMENSION(height);
    compressor.input_components = colour ? 3 : 1;
    compressor.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    const std::size_t stride = std::size_t(width) * (colour ? 3 : 1);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + stride * compressor.next_scanline);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    return true;
}

int RandomNumber()
{
    // Seeded from the clock, per thread: two encoders never share a generator.
    thread_local std::minstd_rand generator(std::uint32_t(
        std::chrono::system_clock::now().time_since_epoch().count()
        ^ std::hash<std::thread::id>()(std::this_thread::get_id())));
    return int(generator() % 32768);
}

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file)
            std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Creates the temporary file exclusively (never through an existing name or link);
// another random number is drawn while the name is taken.
File CreateTemporary(int width, QString& name)
{
    QString folder = QDir::tempPath();
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp");
    folder += QLatin1Char('/');
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + QString::asprintf("temp%d-%d.jpg", RandomNumber(), width);
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            File file(::fdopen(fd, "wb"));
            if (!file)
                ::close(fd);
            return file;
        }
        if (errno != EEXIST)
            break;
    }
    return nullptr;
}

struct RemoveFile {
    const QString& name;
    ~RemoveFile()
    {
        if (!name.isEmpty())
            QFile::remove(name);
    }
};

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const std::uint8_t* pixels, int width, int height, int quality, bool colour)
{
    if (!pixels || width <= 0 || height <= 0)
        return {};
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::unique_ptr<std::uint8_t[]> grey;
    if (!colour) {
        grey.reset(new (std::nothrow) std::uint8_t[count]);
        if (!grey) {
            ShowUserMessage(QStringLiteral("Memory error"));
            return {};
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = pixels + i * 3;
            grey[i] = std::uint8_t((299u * p[0] + 587u * p[1] + 114u * p[2]) / 1000u);
        }
    }
    QString name;
    File file = CreateTemporary(width, name);
    const RemoveFile removeAfterwards{name};
    if (!file) {
        ShowUserMessage(QStringLiteral("JpegFile :\nCan't open %1\n").arg(name));
        name.clear(); // nothing of ours to remove
        return {};
    }
    if (!Compress(file.get(), colour ? pixels : grey.get(), width, height, quality, colour))
        return {};
    if (std::fflush(file.get()) != 0)
        return {};
    const long length = std::ftell(file.get());
    file.reset();
    if (length <= 0)
        return {};
    File input(std::fopen(QFile::encodeName(name).constData(), "rb"));
    if (!input)
        return {};
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(std::size_t(length));
    } catch (const std::bad_alloc&) {
        ShowUserMessage(QStringLiteral("Memory error"));
        return {};
    }
    if (std::fread(bytes.data(), 1, bytes.size(), input.get()) != bytes.size())
        return {};
    return bytes;
}

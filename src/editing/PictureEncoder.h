#pragma once

// The choice of a picture encoder by file name, and writing a picture with it. The
// encoders are the platform's (QImageWriter's formats) plus a GIF encoder from the
// picture library, which Qt cannot write.

#include <QByteArray>
#include <QString>

#include <vector>

class QImage;

class PictureEncoder {
public:
    // Save results, numbered as the platform's imaging status codes.
    static constexpr int kOk = 0;
    static constexpr int kGenericError = 1;
    static constexpr int kInvalidParameter = 2;
    static constexpr int kWin32Error = 7; // the file could not be written
    static constexpr int kUnknownImageFormat = 13;

    // The PNG writer's own effort (it takes no parameter from the callers): Qt's quality
    // 70 is zlib level 2, which writes a 12-megapixel photo in about a quarter of the time
    // of the default level 6, in a file some 15 % larger.
    static constexpr int kPngEffort = 70;
    // The zlib level the platform's PNG writer makes of that effort.
    static constexpr int kPngZlibLevel = (100 - kPngEffort) * 9 / 91;

    // Quality 90, compression 2 (LZW), found cleared; then the encoder whose MIME type
    // equals the pattern or whose extension list ("*.jpg;*.jpeg;*.jpe") contains it. The
    // pattern is "*" + the lower-cased path from its last dot ("*.jpg"), or the whole
    // lower-cased path when it has no dot (so "image/png" selects by MIME type).
    bool Select(const QString& path);
    void SetQuality(int value) { quality = value; }
    // TIFF compression in the platform's values: 2 LZW, 6 none (others write LZW).
    void SetCompression(int value) { compression = value; }

    // Writes the picture with the chosen encoder: JPEG with the quality, TIFF with the
    // compression, the others without parameters (PNG at the writer's own fast zlib level). The file is replaced atomically; on
    // failure an existing file is left as it was. Returns kOk or a failure status.
    int Save(const QImage& bitmap, const QString& path) const;

    bool found = false;
    QByteArray format;  // the encoder's name ("jpeg", "png", "gif", ...)
    QString mimeType;   // lower case
    int quality = 90;
    int compression = 2;

    // The encoders, in the order Select tries them: MIME type and extension list.
    struct Encoder {
        QByteArray format;
        QString mimeType;
        QString extensions; // "*.jpg;*.jpeg;*.jpe"
    };
    static const std::vector<Encoder>& Encoders();
};

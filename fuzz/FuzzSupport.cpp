#include "FuzzSupport.h"

#include "editing/CxImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace fuzz {

namespace {

// Qt's own warnings about broken files would drown the fuzzer's output.
void Quiet(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace

void Start(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    // The application lives for the whole run; libFuzzer never returns from its loop.
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    (void)argc;
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    StartImageLibrary();
}

QString ScratchFolder()
{
    static const QString folder = [] {
        const QString memory = QStringLiteral("/dev/shm");
        const QFileInfo info(memory);
        const QString base = info.isDir() && info.isWritable() ? memory : QDir::tempPath();
        const QString made = base + QStringLiteral("/montara-fuzz-%1/").arg(QCoreApplication::applicationPid());
        QDir().mkpath(made);
        // Gone when the process ends normally (libFuzzer ends with exit()).
        static std::string madePath = QFile::encodeName(made).toStdString();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(madePath, ignored);
        });
        return made;
    }();
    return folder;
}

void EmptyFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QString WriteInput(const std::uint8_t* data, std::size_t size, const QString& extension)
{
    const QString path = ScratchFolder() + QStringLiteral("input") + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        Fail("cannot write the scratch file");
    return path;
}

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

} // namespace fuzz

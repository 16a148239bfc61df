#include "app/LanguageTable.h"

#include "base/DataFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>

Q_LOGGING_CATEGORY(lcLanguage, "montara.language", QtWarningMsg)

namespace {

LanguageTable* tableOwner = nullptr;

constexpr std::size_t kBlock = DataCipher::kDataBlockSize;

} // namespace

void SetLanguageTableOwner(LanguageTable* owner)
{
    tableOwner = owner;
}

bool LoadLanguage()
{
    if (!tableOwner)
        return false;
    *tableOwner = LoadLanguageTable(DataFolder());
    return *tableOwner != nullptr;
}

QString LangText(int index)
{
    return tableOwner ? RecordText(tableOwner->get(), index) : QString();
}

QString RecordText(const std::uint8_t* table, int index)
{
    if (!table || index < 0 || index >= kLangMaxRecords)
        return {};
    const char* record = reinterpret_cast<const char*>(table) + kLangRecordSize * static_cast<std::size_t>(index);
    const char* end = std::find(record, record + kLangRecordSize, '\0');
    return QString::fromUtf8(record, static_cast<qsizetype>(end - record));
}

bool WriteLanguageFile(const QString& path, const QString& source)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcLanguage, "cannot read the language resource %s", qUtf8Printable(source));
        return false;
    }
    const QByteArray bytes = in.readAll();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        qCWarning(lcLanguage, "cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(out.errorString()));
        return false;
    }
    return true;
}

bool WaitForFile(const QString& path, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (QFileInfo::exists(path))
            return true;
        if (waited.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(10);
    }
}

LanguageTable ReadLanguageFile(const QString& path, std::size_t* filled, const DataCipher::DataKeys& keys)
{
    if (filled)
        *filled = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const std::size_t length = static_cast<std::size_t>(std::max<qint64>(file.size(), 0));
    const std::size_t used = std::min(length, kLangTableSize);

    auto table = std::make_unique<std::uint8_t[]>(kLangTableSize); // zeroed
    std::array<std::uint8_t, kBlock> work;
    std::size_t pos = 0;
    for (; used - pos >= kBlock; pos += kBlock) {
        if (file.read(reinterpret_cast<char*>(work.data()), kBlock) != static_cast<qint64>(kBlock))
            return nullptr;
        DataCipher::DecipherDataBlock(work.data(), kBlock, true, keys);
        std::memcpy(table.get() + pos, work.data(), kBlock);
    }
    const std::size_t rest = used - pos;
    if (rest >= DataCipher::kSquareBlockSize) {
        if (file.read(reinterpret_cast<char*>(work.data()), static_cast<qint64>(rest)) != static_cast<qint64>(rest))
            return nullptr;
        DataCipher::DecipherDataBlock(work.data(), rest, false, keys);
        std::memcpy(table.get() + pos, work.data(), rest);
        pos += rest;
    } else if (rest > 0) {
        qCWarning(lcLanguage, "%s: a last block of %zu bytes cannot be deciphered", qUtf8Printable(path), rest);
    }
    if (filled)
        *filled = pos;
    return table;
}

LanguageTable LoadLanguageTable(const QString& dataFolder, const QString& source, int waitMs)
{
    const QString path = dataFolder + QLatin1String(kLangFileName);
    // A file that could not be written now is not read: an older one may be stale.
    if (!WriteLanguageFile(path, source))
        return nullptr;
    if (!WaitForFile(path, waitMs))
        return nullptr;
    return ReadLanguageFile(path);
}

// ---- Building the resource --------------------------------------------------------

bool ParseLanguageSource(const QByteArray& source, std::vector<QByteArray>& records, QString& error)
{
    records.clear();
    std::vector<bool> listed;
    const QList<QByteArray> lines = source.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines[n];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QString where = QStringLiteral("line %1: ").arg(n + 1);

        const qsizetype tab = line.indexOf('\t');
        const QByteArray number = tab < 0 ? line : line.left(tab);
        const QByteArray text = tab < 0 ? QByteArray() : line.mid(tab + 1);
        bool ok = !number.isEmpty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int index = ok ? number.toInt(&ok) : -1;
        if (!ok) {
            error = where + QStringLiteral("expected INDEX<TAB>TEXT");
            return false;
        }
        if (index >= kLangMaxRecords) {
            error = where + QStringLiteral("index %1 is past the last record of the table (%2)").arg(index).arg(kLangMaxRecords - 1);
            return false;
        }
        if (text.size() >= static_cast<qsizetype>(kLangRecordSize)) {
            error = where + QStringLiteral("the text is %1 bytes long; a record holds at most %2").arg(text.size()).arg(kLangRecordSize - 1);
            return false;
        }
        if (text.contains('\0') || QString::fromUtf8(text).toUtf8() != text) {
            error = where + QStringLiteral("the text is not UTF-8");
            return false;
        }
        if (static_cast<std::size_t>(index) >= records.size()) {
            records.resize(static_cast<std::size_t>(index) + 1);
            listed.resize(records.size(), false);
        }
        if (listed[static_cast<std::size_t>(index)]) {
            error = where + QStringLiteral("index %1 is listed twice").arg(index);
            return false;
        }
        listed[static_cast<std::size_t>(index)] = true;
        records[static_cast<std::size_t>(index)] = text;
    }
    if (records.empty()) {
        error = QStringLiteral("no records");
        return false;
    }
    return true;
}

std::size_t PaddedRecordCount(std::size_t records)
{
    while (!DataCipher::CanEncipherLength(records * kLangRecordSize))
        ++records;
    return records;
}

QByteArray BuildLanguageFile(const std::vector<QByteArray>& records, const DataCipher::DataKeys& keys)
{
    const std::size_t count = PaddedRecordCount(records.size());
    QByteArray bytes(static_cast<qsizetype>(count * kLangRecordSize), '\0');
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto n = std::min<qsizetype>(records[i].size(), static_cast<qsizetype>(kLangRecordSize - 1));
        std::memcpy(bytes.data() + i * kLangRecordSize, records[i].constData(), static_cast<std::size_t>(n));
    }
    DataCipher::EncipherData(reinterpret_cast<std::uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size()), keys);
    return bytes;
}

// The language file (read and deciphered block by block) and the language source that
// montara-tool builds it from: a source that parses is built, read back and gives the
// same records.

#include "FuzzSupport.h"

#include "app/LanguageTable.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::WriteInput(data, size);
    std::size_t filled = 0;
    const LanguageTable table = ReadLanguageFile(path, &filled);
    if (table) {
        if (filled > kLangTableSize)
            fuzz::Fail("more bytes filled than the table holds");
        for (int i = -1; i <= kLangMaxRecords; ++i)
            RecordText(table.get(), i);
    }

    std::vector<QByteArray> records;
    QString error;
    const QByteArray source(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!ParseLanguageSource(source, records, error))
        return 0;
    const QByteArray built = BuildLanguageFile(records);
    const QString builtPath = fuzz::WriteInput(reinterpret_cast<const std::uint8_t*>(built.constData()),
                                               std::size_t(built.size()), QStringLiteral("mfd"));
    const LanguageTable back = ReadLanguageFile(builtPath);
    if (!back)
        fuzz::Fail("a built language file does not read");
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (RecordText(back.get(), int(i)) != QString::fromUtf8(records[i]))
            fuzz::Fail("a record changed through the language file");
    }
    return 0;
}

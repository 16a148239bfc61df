#include "library/PhotoLibrary.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace library {

PhotoLibrary::PhotoLibrary(QObject* parent) : QObject(parent) {}

PhotoLibrary::LoadReport PhotoLibrary::Load(const QString& file)
{
    LoadReport report;
    entries_.clear();
    livePaths_.clear();
    if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink()) {
        report.status = LoadStatus::Missing;
    } else if (std::optional<PhotoLibraryContents> contents = ReadPhotoLibraryFile(file, &report.error)) {
        report.status = LoadStatus::Loaded;
        entries_ = std::move(contents->entries);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            entries_[i].record.index = std::int32_t(i);
            entries_[i].record.selected = 0;
        }
    } else {
        report.status = LoadStatus::Damaged;
        // rename() replaces an older damaged copy in one step.
        const QString aside = file + QLatin1String(kDamagedSuffix);
        if (std::rename(QFile::encodeName(file).constData(), QFile::encodeName(aside).constData()) == 0)
            report.keptAside = aside;
    }
    for (const PhotoEntry& entry : entries_) {
        if (entry.record.removed == 0)
            ++livePaths_[entry.record.path.Bytes()];
    }
    RebuildVisible();
    emit recordsChanged();
    return report;
}

bool PhotoLibrary::Save(const QString& file, QString* error) const
{
    return WritePhotoLibraryFile(file, entries_, error);
}

bool PhotoLibrary::ContainsPath(const QByteArray& pathBytes) const
{
    return livePaths_.value(pathBytes, 0) > 0;
}

std::optional<int> PhotoLibrary::Add(PhotoRecord record, std::vector<std::uint8_t> thumbnail)
{
    const QByteArray path = record.path.Bytes();
    if (ContainsPath(path))
        return std::nullopt;
    const int position = Count();
    record.index = std::int32_t(position);
    record.selected = 0;
    record.removed = 0;
    entries_.push_back(PhotoEntry{record, std::move(thumbnail)});
    ++livePaths_[path];
    visible_.push_back(position);
    emit recordsChanged();
    return position;
}

int PhotoLibrary::Remove(const std::vector<int>& positions)
{
    int marked = 0;
    bool wasSelected = false;
    for (int position : positions) {
        if (position < 0 || position >= Count())
            continue;
        PhotoRecord& record = entries_[std::size_t(position)].record;
        if (record.removed != 0)
            continue;
        record.removed = 1;
        wasSelected = wasSelected || record.selected != 0;
        record.selected = 0;
        const QByteArray path = record.path.Bytes();
        if (--livePaths_[path] <= 0)
            livePaths_.remove(path);
        ++marked;
    }
    if (marked > 0) {
        RebuildVisible();
        emit recordsChanged();
    }
    if (wasSelected)
        emit selectionChanged();
    return marked;
}

int PhotoLibrary::RemoveSelected()
{
    return Remove(SelectedPositions());
}

bool PhotoLibrary::IsSelected(int position) const
{
    return position >= 0 && position < Count() && entries_[std::size_t(position)].record.selected != 0;
}

void PhotoLibrary::SetSelected(int position, bool selected)
{
    if (position < 0 || position >= Count())
        return;
    PhotoRecord& record = entries_[std::size_t(position)].record;
    const std::int32_t value = selected && record.removed == 0 ? 1 : 0;
    if (record.selected == value)
        return;
    record.selected = value;
    emit selectionChanged();
}

void PhotoLibrary::SetSelection(const std::vector<int>& positions)
{
    std::vector<char> wanted(entries_.size(), 0);
    for (int position : positions) {
        if (position >= 0 && position < Count())
            wanted[std::size_t(position)] = 1;
    }
    bool changed = false;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        PhotoRecord& record = entries_[i].record;
        const std::int32_t value = wanted[i] != 0 && record.removed == 0 ? 1 : 0;
        if (record.selected != value) {
            record.selected = value;
            changed = true;
        }
    }
    if (changed)
        emit selectionChanged();
}

std::vector<int> PhotoLibrary::SelectedPositions() const
{
    std::vector<int> positions;
    for (int position : visible_) {
        if (entries_[std::size_t(position)].record.selected != 0)
            positions.push_back(position);
    }
    return positions;
}

std::vector<std::int32_t> PhotoLibrary::SelectedIndexes() const
{
    std::vector<std::int32_t> indexes;
    for (int position : SelectedPositions())
        indexes.push_back(entries_[std::size_t(position)].record.index);
    return indexes;
}

void PhotoLibrary::RebuildVisible()
{
    visible_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].record.removed == 0)
            visible_.push_back(int(i));
    }
}

} // namespace library

// montara-tool project dump FILE: the header and every record field of a project file
// as JSON, keys in file order, floats as the shortest decimal that reads back to the
// same single-precision value.
// montara-tool project resave IN OUT: loads a project and saves it again.

#include "ProjectCommands.h"

#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"

#include <QFile>

#include <charconv>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tool {

namespace {

// A JSON value built in order and printed with two-space indentation.
struct Json {
    enum class Type { Scalar, Object, Array };
    Type type = Type::Scalar;
    std::string scalar;
    std::vector<std::pair<std::string, Json>> members;
    std::vector<Json> elements;

    static Json Int(long long v) { return Scalar(std::to_string(v)); }
    static Json Float(float v)
    {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        return Scalar(std::string(buffer, result.ptr));
    }
    static Json String(const QString& v)
    {
        std::string out = "\"";
        for (const char c : v.toStdString()) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (u < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                out += escape;
            } else {
                out += c;
            }
        }
        return Scalar(out + "\"");
    }
    static Json Scalar(std::string text)
    {
        Json j;
        j.scalar = std::move(text);
        return j;
    }
    static Json Object()
    {
        Json j;
        j.type = Type::Object;
        return j;
    }
    static Json Array()
    {
        Json j;
        j.type = Type::Array;
        return j;
    }

    Json& Add(const char* key, Json value)
    {
        members.emplace_back(key, std::move(value));
        return *this;
    }

    void Print(std::string& out, int indent) const
    {
        const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
        switch (type) {
        case Type::Scalar:
            out += scalar;
            return;
        case Type::Object:
            if (members.empty()) {
                out += "{}";
                return;
            }
            out += "{\n";
            for (std::size_t i = 0; i < members.size(); ++i) {
                out += pad + "\"" + members[i].first + "\": ";
                members[i].second.Print(out, indent + 2);
                out += i + 1 < members.size() ? ",\n" : "\n";
            }
            out += std::string(static_cast<std::size_t>(indent), ' ') + "}";
            return;
        case Type::Array:
            if (elements.empty()) {
                out += "[]";
                return;
            }
            out += "[\n";
            for (std::size_t i = 0; i < elements.size(); ++i) {
                out += pad;
                elements[i].Print(out, indent + 2);
                out += i + 1 < elements.size() ? ",\n" : "\n";
            }
            out += std::string(static_cast<std::size_t>(indent), ' ') + "]";
            return;
        }
    }
};

void AddTuning(Json& j, const Tuning& t)
{
    j.Add("tuneOn", Json::Int(t.tuneOn))
        .Add("tuneScale", Json::Float(t.tuneScale))
        .Add("tuneOffset", Json::Float(t.tuneOffset))
        .Add("tuneSaturation", Json::Float(t.tuneSaturation))
        .Add("tuneHue", Json::Float(t.tuneHue))
        .Add("tuneRotation", Json::Float(t.tuneRotation))
        .Add("tuneGamma", Json::Float(t.tuneGamma));
}

Json FontJson(const LogFont& f)
{
    Json j = Json::Object();
    j.Add("lfHeight", Json::Int(f.lfHeight))
        .Add("lfWidth", Json::Int(f.lfWidth))
        .Add("lfEscapement", Json::Int(f.lfEscapement))
        .Add("lfOrientation", Json::Int(f.lfOrientation))
        .Add("lfWeight", Json::Int(f.lfWeight))
        .Add("lfItalic", Json::Int(f.lfItalic))
        .Add("lfUnderline", Json::Int(f.lfUnderline))
        .Add("lfStrikeOut", Json::Int(f.lfStrikeOut))
        .Add("lfCharSet", Json::Int(f.lfCharSet))
        .Add("lfOutPrecision", Json::Int(f.lfOutPrecision))
        .Add("lfClipPrecision", Json::Int(f.lfClipPrecision))
        .Add("lfQuality", Json::Int(f.lfQuality))
        .Add("lfPitchAndFamily", Json::Int(f.lfPitchAndFamily))
        .Add("lfFaceName", Json::String(f.FaceName()));
    return j;
}

struct RecordJson {
    Json operator()(const Photo& r) const
    {
        Json j = Json::Object();
        j.Add("creationOrder", Json::Int(r.creationOrder))
            .Add("opacity", Json::Float(r.opacity))
            .Add("frameIndex", Json::Int(r.frameIndex))
            .Add("frameLeft", Json::Float(r.frameLeft))
            .Add("frameTop", Json::Float(r.frameTop))
            .Add("frameRight", Json::Float(r.frameRight))
            .Add("frameBottom", Json::Float(r.frameBottom))
            .Add("cropLeft", Json::Int(r.cropLeft))
            .Add("cropTop", Json::Int(r.cropTop))
            .Add("cropRight", Json::Int(r.cropRight))
            .Add("cropBottom", Json::Int(r.cropBottom))
            .Add("maskIndex", Json::Int(r.maskIndex))
            .Add("selected", Json::Int(r.selected))
            .Add("angle", Json::Float(r.angle))
            .Add("sourceWidth", Json::Int(r.sourceWidth))
            .Add("sourceHeight", Json::Int(r.sourceHeight))
            .Add("baseWidth", Json::Int(r.baseWidth))
            .Add("baseHeight", Json::Int(r.baseHeight))
            .Add("drawScale", Json::Float(r.drawScale))
            .Add("hitScale", Json::Float(r.hitScale))
            .Add("posX", Json::Int(r.posX))
            .Add("posY", Json::Int(r.posY))
            .Add("dragX", Json::Int(r.dragX))
            .Add("dragY", Json::Int(r.dragY))
            .Add("path", Json::String(r.path.Value()))
            .Add("regionIndex", Json::Int(r.regionIndex));
        AddTuning(j, r.tuning);
        return j;
    }
    Json operator()(const ClipArt& r) const
    {
        Json j = Json::Object();
        j.Add("reserved", Json::Int(r.reserved))
            .Add("angle", Json::Float(r.angle))
            .Add("sourceIndex", Json::Int(r.sourceIndex))
            .Add("sourceWidth", Json::Int(r.sourceWidth))
            .Add("sourceHeight", Json::Int(r.sourceHeight))
            .Add("opacity", Json::Float(r.opacity))
            .Add("selected", Json::Int(r.selected))
            .Add("fromMemory", Json::Int(r.fromMemory))
            .Add("scale", Json::Float(r.scale))
            .Add("hitScale", Json::Float(r.hitScale))
            .Add("posX", Json::Int(r.posX))
            .Add("posY", Json::Int(r.posY))
            .Add("dragX", Json::Int(r.dragX))
            .Add("dragY", Json::Int(r.dragY))
            .Add("regionIndex", Json::Int(r.regionIndex));
        AddTuning(j, r.tuning);
        return j;
    }
    Json operator()(const BrushStamp& r) const
    {
        Json j = Json::Object();
        j.Add("reserved", Json::Int(r.reserved))
            .Add("angle", Json::Float(r.angle))
            .Add("sourceIndex", Json::Int(r.sourceIndex))
            .Add("sourceWidth", Json::Int(r.sourceWidth))
            .Add("sourceHeight", Json::Int(r.sourceHeight))
            .Add("opacity", Json::Float(r.opacity))
            .Add("selected", Json::Int(r.selected))
            .Add("scale", Json::Float(r.scale))
            .Add("hitScale", Json::Float(r.hitScale))
            .Add("posX", Json::Int(r.posX))
            .Add("posY", Json::Int(r.posY))
            .Add("dragX", Json::Int(r.dragX))
            .Add("dragY", Json::Int(r.dragY))
            .Add("tintColor", Json::Int(r.tintColor))
            .Add("regionIndex", Json::Int(r.regionIndex));
        AddTuning(j, r.tuning);
        return j;
    }
    Json operator()(const Text& r) const
    {
        Json box = Json::Array();
        for (const std::int32_t v : r.screenBox)
            box.elements.push_back(Json::Int(v));
        Json j = Json::Object();
        j.Add("font", FontJson(r.font))
            .Add("text", Json::String(r.text.Value()))
            .Add("style", Json::Int(r.style))
            .Add("creationOrder", Json::Int(r.creationOrder))
            .Add("angle", Json::Float(r.angle))
            .Add("boxWidth", Json::Int(r.boxWidth))
            .Add("boxHeight", Json::Int(r.boxHeight))
            .Add("scale", Json::Float(r.scale))
            .Add("colour1", Json::Int(r.colour1))
            .Add("colour2", Json::Int(r.colour2))
            .Add("selected", Json::Int(r.selected))
            .Add("screenBox", std::move(box))
            .Add("transparency", Json::Float(r.transparency))
            .Add("posX", Json::Int(r.posX))
            .Add("posY", Json::Int(r.posY))
            .Add("dragX", Json::Int(r.dragX))
            .Add("dragY", Json::Int(r.dragY))
            .Add("regionIndex", Json::Int(r.regionIndex));
        return j;
    }
};

int Dump(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    project::Reader reader(file);
    const bool headerRead = reader.ReadHeader();
    Json items = Json::Array();
    if (headerRead) {
        project::Entry entry;
        while (reader.NextEntry(entry)) {
            Json item = Json::Object();
            item.Add("kind", Json::Int(entry.kind));
            if (entry.record) {
                item.Add("kindName", Json::String(QLatin1String(KindName(KindOf(*entry.record)))));
                item.Add("record", std::visit(RecordJson{}, *entry.record));
            }
            items.elements.push_back(std::move(item));
        }
    }
    if (reader.Status() != project::ReadStatus::Complete)
        return Failure(QStringLiteral("%1 is not a valid project file: %2").arg(path, reader.Problem()));

    const project::Header& h = reader.FileHeader();
    Json root = Json::Object();
    root.Add("canvasWidth", Json::Int(h.canvasWidth))
        .Add("canvasHeight", Json::Int(h.canvasHeight))
        .Add("backgroundImagePath", Json::String(QString::fromUtf8(h.backgroundImagePath)))
        .Add("backgroundColor", Json::Int(h.backgroundColor))
        .Add("backgroundPlacement", Json::Int(h.backgroundPlacement))
        .Add("itemCount", Json::Int(h.itemCount))
        .Add("items", std::move(items));
    std::string out;
    root.Print(out, 0);
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kOk;
}

int Resave(const QString& in, const QString& out)
{
    CollageModel model;
    const project::LoadResult loaded = project::LoadProjectFile(model, in);
    if (loaded.status == project::LoadStatus::CannotOpen)
        return Failure(loaded.problem);
    if (loaded.status != project::LoadStatus::Loaded)
        return Failure(QStringLiteral("%1 is not a valid project file: %2").arg(in, loaded.problem));
    const project::SaveResult saved = project::SaveProjectFile(model, out);
    if (!saved.ok)
        return Failure(saved.problem);
    return kOk;
}

} // namespace

Command ProjectCommand()
{
    return Command{"project", "project dump FILE | project resave IN OUT", [](QStringList args) {
        if (args.size() == 2 && args[0] == QLatin1String("dump"))
            return Dump(args[1]);
        if (args.size() == 3 && args[0] == QLatin1String("resave"))
            return Resave(args[1], args[2]);
        return Usage(QStringLiteral("usage: project dump FILE | project resave IN OUT"));
    }};
}

} // namespace tool

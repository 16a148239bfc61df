// Canvas composition, side by side in one run, on 1024 x 768 collages of 10, 50 and 200
// photo items (400 x 300 JPEGs, rotated, at the default scale, zoom 0.75, a
// 1024 x 768 window):
//
//   BM_RedrawCold      every photo decoded again (its cached picture dropped first)
//   BM_RedrawWarm      a full Redraw with every picture cached, nothing selected
//   BM_DragFrame       one frame while the middle item is dragged (moved and turned)
//   BM_DragFrameBottom the same for the bottom item (every other item above it)
//   BM_SceneFull       the same items as QGraphicsPixmapItems, the whole scene rendered
//   BM_SceneDrag       moving one scene item and rendering the region it exposes, as a
//                      QGraphicsView repaints
//
// Goal: a drag frame under 8 ms whatever the item count, and no slower than the scene.

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"
#include "canvas/ItemPictures.h"
#include "editing/CxImage.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kPhotoWidth = 400;
constexpr int kPhotoHeight = 300;
constexpr int kMaxItems = 200;
constexpr QSize kClient(1024, 768);

// 200 distinct JPEG photos with some detail (gradients and rings), made once.
struct Photos {
    QTemporaryDir dir;
    std::vector<QString> paths;
    Photos()
    {
        for (int i = 0; i < kMaxItems; ++i) {
            QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
            for (int y = 0; y < kPhotoHeight; ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < kPhotoWidth; ++x) {
                    const double r = std::hypot(x - 200 + i, y - 150);
                    row[x] = qRgb((x + 3 * i) & 255, (y * 2 + i) & 255, int(127 + 127 * std::sin(r / (4.0 + i % 5))));
                }
            }
            const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
            image.save(path, "JPEG", 88);
            paths.push_back(path);
        }
    }
};

Photos& SharedPhotos()
{
    static Photos photos;
    return photos;
}

struct Placement {
    int x, y;
    float angle;
};

std::vector<Placement> Placements(int count)
{
    QRandomGenerator random(1234);
    std::vector<Placement> placements;
    for (int i = 0; i < count; ++i)
        placements.push_back({random.bounded(-100, 800), random.bounded(-80, 560), float(random.bounded(-30, 30))});
    return placements;
}

// A collage of `count` photos placed as Placements(count) says, composed once.
struct Collage {
    CollageModel model;
    CanvasRenderer renderer{model};
    explicit Collage(int count)
    {
        renderer.SetDataFolder(SharedPhotos().dir.path());
        renderer.SetClientSize(kClient);
        const std::vector<Placement> placements = Placements(count);
        for (int i = 0; i < count; ++i) {
            model.AddPhoto(SharedPhotos().paths[std::size_t(i)], kPhotoWidth, kPhotoHeight, 0, 0);
            Photo& photo = std::get<Photo>(model.ItemAt(i));
            photo.posX = placements[std::size_t(i)].x;
            photo.posY = placements[std::size_t(i)].y;
            photo.angle = placements[std::size_t(i)].angle;
        }
        model.ClearSelection();
        renderer.Redraw();
    }
};

Collage& SharedCollage(int count)
{
    static std::map<int, std::unique_ptr<Collage>> collages;
    auto& collage = collages[count];
    if (!collage)
        collage = std::make_unique<Collage>(count);
    return *collage;
}

void BM_RedrawCold(benchmark::State& state)
{
    Collage& c = SharedCollage(int(state.range(0)));
    c.model.ClearSelection();
    for (auto _ : state) {
        c.model.DropCaches();
        c.renderer.Redraw();
    }
    state.counters["items"] = double(state.range(0));
}

void BM_RedrawWarm(benchmark::State& state)
{
    Collage& c = SharedCollage(int(state.range(0)));
    c.model.ClearSelection();
    c.renderer.Redraw();
    for (auto _ : state)
        c.renderer.Redraw();
}

void Drag(benchmark::State& state, int index)
{
    Collage& c = SharedCollage(int(state.range(0)));
    c.model.SelectOnly(index);
    c.renderer.BeginDrag();
    c.renderer.Redraw();
    c.renderer.ResetStats();
    CanvasItem& item = c.model.ItemAt(index);
    const DrawFields start = DrawFieldsOf(item);
    int step = 0;
    for (auto _ : state) {
        ++step;
        SetPosition(item, start.left + step % 200, start.top + step % 150);
        SetAngle(item, start.angle + float(step % 90));
        c.renderer.Redraw();
    }
    state.counters["layered"] = double(c.renderer.Stats().dragFrames) / double(std::max<std::int64_t>(1, step));
    c.renderer.EndDrag();
    SetPosition(item, start.left, start.top);
    SetAngle(item, start.angle);
    c.model.ClearSelection();
}

void BM_DragFrame(benchmark::State& state)
{
    Drag(state, int(state.range(0)) / 2);
}

void BM_DragFrameBottom(benchmark::State& state)
{
    Drag(state, 0);
}

// The same items in a QGraphicsScene: display-size pixmaps (as our caches hold them),
// smooth transformation, rotated about their centres, at the view's scale.
struct Scene {
    QGraphicsScene scene;
    std::vector<QGraphicsPixmapItem*> items;
    QImage target{QSize(1024, 768), QImage::Format_ARGB32_Premultiplied};
    explicit Scene(int count)
    {
        Collage& c = SharedCollage(count);
        scene.setSceneRect(0, 0, 1024, 768);
        scene.setItemIndexMethod(QGraphicsScene::BspTreeIndex);
        scene.addRect(QRectF(0, 0, 768, 576), Qt::NoPen, Qt::white)->setZValue(-1);
        const float zoom = c.model.Zoom();
        for (int i = 0; i < count; ++i) {
            const Photo& photo = std::get<Photo>(c.model.ItemAt(i));
            const QSize size = render::DisplaySize(DrawFieldsOf(c.model.ItemAt(i)), zoom);
            const QImage picture = QImage(photo.path.Value()).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            auto* item = scene.addPixmap(QPixmap::fromImage(picture));
            item->setTransformationMode(Qt::SmoothTransformation);
            item->setTransformOriginPoint(size.width() / 2.0, size.height() / 2.0);
            item->setRotation(photo.angle);
            item->setPos(photo.posX * zoom, photo.posY * zoom);
            item->setZValue(i);
            items.push_back(item);
        }
    }
    void Render(const QRectF& region)
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setClipRect(region);
        painter.fillRect(region, QColor(0xDD, 0xDD, 0xDD));
        scene.render(&painter, region, region);
    }
};

Scene& SharedScene(int count)
{
    static std::map<int, std::unique_ptr<Scene>> scenes;
    auto& scene = scenes[count];
    if (!scene)
        scene = std::make_unique<Scene>(count);
    return *scene;
}

void BM_SceneFull(benchmark::State& state)
{
    Scene& s = SharedScene(int(state.range(0)));
    for (auto _ : state)
        s.Render(QRectF(0, 0, 1024, 768));
}

void BM_SceneDrag(benchmark::State& state)
{
    Scene& s = SharedScene(int(state.range(0)));
    QGraphicsPixmapItem* item = s.items[s.items.size() / 2];
    const QPointF start = item->pos();
    const qreal angle = item->rotation();
    int step = 0;
    for (auto _ : state) {
        ++step;
        const QRectF before = item->sceneBoundingRect();
        item->setPos(start + QPointF(step % 200 * 0.75, step % 150 * 0.75));
        item->setRotation(angle + step % 90);
        s.Render(before.united(item->sceneBoundingRect()).adjusted(-2, -2, 2, 2));
    }
    item->setPos(start);
    item->setRotation(angle);
}

} // namespace

BENCHMARK(BM_RedrawCold)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWarm)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFrame)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFrameBottom)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneFull)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneDrag)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    StartImageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopImageLibrary();
    return 0;
}

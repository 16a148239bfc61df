// montara-gallery [--probes FILE] [--dialog]: the control gallery (see Gallery.h). With
// --dialog the About box also opens as a window of its own, to try dragging it.

#include "Gallery.h"
#include "Sections.h"

#include "ui/AboutBox.h"

#include <QApplication>

namespace {

using SectionFunction = void (*)(Gallery&);

// Page order; one function per section.
constexpr SectionFunction kSections[] = {
    AddPushButtonSection,
    AddSmallButtonSection,
    AddIconSection,
    AddDialogSection,
    AddMenuListSection,
    AddSliderPickerSection,
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString probes;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--probes"));
    if (at >= 0 && at + 1 < args.size())
        probes = args.at(at + 1);

    Gallery gallery;
    for (const SectionFunction add : kSections)
        add(gallery);
    gallery.Finish(probes);
    gallery.move(0, 0);
    gallery.show();
    AboutBox about(&gallery);
    if (args.contains(QStringLiteral("--dialog"))) {
        about.move(1150, 100);
        about.show();
    }
    return app.exec();
}

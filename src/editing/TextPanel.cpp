#include "editing/TextPanel.h"

#include "editing/PanelSlider.h"
#include "editing/StyleGallery.h"
#include "editing/TextRendering.h"
#include "ui/CVelColourPicker.h"
#include "ui/CVelComboBox.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QTextCursor>

#include <algorithm>

namespace textpanel {

namespace {
int Y0(QSize panel)
{
    return panel.height() / 8;
}
} // namespace

QRect SliderRect(QSize panel)
{
    const int y0 = Y0(panel);
    return {QPoint(kControlLeft, y0 + kSliderTop), QPoint(kControlRight - 1, y0 + kSliderBottom - 1)};
}

QRect FontRect(QSize panel)
{
    return {kControlLeft, Y0(panel) + kFontTop, kControlRight - kControlLeft, kRowHeight};
}

QRect Colour1Rect(QSize panel)
{
    return {kControlLeft, Y0(panel) + kColour1Top, kControlRight - kControlLeft, kRowHeight};
}

QRect Colour2Rect(QSize panel)
{
    return {kControlLeft, Y0(panel) + kColour2Top, kControlRight - kControlLeft, kRowHeight};
}

QRect GalleryRect(QSize panel)
{
    return {kGalleryLeft, kGalleryTop, stylegallery::kWidth, std::max(panel.height() - 2 * kGalleryTop, 0)};
}

QRect TextBoxRect(QSize panel)
{
    const int left = GalleryRect(panel).right() + 1 + kTextBoxGap;
    const int right = panel.width() - kRightMargin - kAddWidth - kAddGap;
    return {left, kTextBoxTop, std::max(right - left, 0), std::max(panel.height() - 2 * kTextBoxTop, 0)};
}

QRect AddRect(QSize panel)
{
    const QRect box = TextBoxRect(panel);
    return {box.right() + 1 + kAddGap, box.bottom() + 1 - kAddHeight, kAddWidth, kAddHeight};
}

QStringList UsableFontFamilies(const QStringList& families, const std::function<bool(const QString&)>& usable)
{
    QStringList kept;
    for (const QString& family : families) {
        if (family.isEmpty() || family.startsWith(QLatin1Char('@')) || family == QLatin1String("Aharoni"))
            continue;
        if (family.toUtf8().size() >= LogFont::kFaceNameSize)
            continue; // the record could not name it
        if (usable && !usable(family))
            continue;
        kept.append(family);
    }
    std::sort(kept.begin(), kept.end(), [](const QString& a, const QString& b) {
        const int byCase = a.compare(b, Qt::CaseInsensitive);
        return byCase != 0 ? byCase < 0 : a < b;
    });
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    return kept;
}

QString FamilyWithoutFoundry(const QString& family)
{
    const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
    if (open > 0 && family.endsWith(QLatin1Char(']')))
        return family.left(open);
    return family;
}

QStringList InstalledFontFamilies()
{
    // A family that several foundries make is listed once, by its plain name: the name a
    // text record keeps and fontconfig matches.
    QStringList families;
    for (const QString& family : QFontDatabase::families())
        families.append(FamilyWithoutFoundry(family));
    return UsableFontFamilies(families, [](const QString& family) {
        return !QFontDatabase::isPrivateFamily(family) && !QFontDatabase::styles(family).isEmpty();
    });
}

QString FitTextField(const QString& text)
{
    constexpr int kMaxChars = kTextFieldSize - 1;
    QString kept = text.left(kMaxChars);
    if (kept.size() == kMaxChars && kept.back().isHighSurrogate())
        kept.chop(1); // never half a character
    while (kept.toUtf8().size() > kMaxTextBytes) {
        const int cut = kept.size() >= 2 && kept.back().isLowSurrogate() ? 2 : 1;
        kept.chop(cut);
    }
    return kept;
}

} // namespace textpanel

using namespace textpanel;

// ---- the text box -------------------------------------------------------------------

TextEditBox::TextEditBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFrameShape(QFrame::NoFrame);
    connect(this, &QPlainTextEdit::textChanged, this, &TextEditBox::Limit);
}

void TextEditBox::Limit()
{
    const QString text = toPlainText();
    if (text.size() <= kTextBoxMaxChars)
        return;
    // Keep the first 1000 characters; the caret stays where it was when it still can.
    QString kept = text.left(kTextBoxMaxChars);
    if (kept.back().isHighSurrogate())
        kept.chop(1);
    const int caret = std::min(textCursor().position(), static_cast<int>(kept.size()));
    QSignalBlocker blocker(this);
    setPlainText(kept);
    QTextCursor cursor = textCursor();
    cursor.setPosition(caret);
    setTextCursor(cursor);
    blocker.unblock();
    emit textChanged();
}

QSize TextEditBox::sizeHint() const
{
    return {200, 80};
}

// ---- the panel ------------------------------------------------------------------------

TextPanel::TextPanel(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, skin::kPanelBackground);
    setPalette(pal);

    settings_.font.lfHeight = 48;

    transparency_ = new PanelSlider(kTransparencyId, this); // owned by this panel
    transparency_->SetRange(0, 100);
    transparency_->SetPosition(0);
    connect(transparency_, &PanelSlider::positionReported, this, [this](int, int position) {
        settings_.transparency = static_cast<float>(position) / 100.0f;
        update(); // the printed value
        Notify();
    });

    fonts_ = new CVelComboBox(this, 0); // owned by this panel; a list to choose from
    fonts_->Edit()->setReadOnly(true);
    for (const QString& family : InstalledFontFamilies())
        fonts_->AddItem(family);
    connect(fonts_, &CVelComboBox::selectionChosen, this, [this](int index) { PickFont(fonts_->ItemText(index)); });

    colour1_ = new CVelColourPicker(kColour1Id, this); // owned by this panel
    colour2_ = new CVelColourPicker(kColour2Id, this); // owned by this panel
    for (CVelColourPicker* picker : {colour1_, colour2_}) {
        picker->SetDefaultText(QStringLiteral("Color"));
        picker->SetCustomText(QStringLiteral("Custom Color"));
        connect(picker, &CVelColourPicker::endedWithChoice, this, [this](quint32 colour, int id) {
            (id == kColour1Id ? settings_.colour1 : settings_.colour2) = colour;
            Notify();
        });
    }

    gallery_ = new StyleGallery(this); // owned by this panel
    connect(gallery_, &StyleGallery::selectionChanged, this, &TextPanel::PickStyle);

    textBox_ = new TextEditBox(this); // owned by this panel
    connect(textBox_, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = textBox_->toPlainText();
        settings_.text.Set(FitTextField(text));
        emit textChanged(text);
    });

    add_ = new SkinButton(QRect(), this, kAddId); // owned by this panel
    add_->SetCaption(QStringLiteral("Add"));
    connect(add_, &SkinButton::command, this, [this] { emit addRequested(gallery_->Selected()); });

    // The first font, style 0 and its colours; nobody listens yet.
    if (fonts_->Count() > 0) {
        fonts_->SetCurSel(0);
        settings_.font.SetFaceName(fonts_->ItemText(0));
    }
    const StyleColours colours = DefaultStyleColours(0);
    settings_.style = 0;
    settings_.colour1 = colours.colour1;
    settings_.colour2 = colours.colour2;
    colour1_->SetColour(colours.colour1);
    colour2_->SetColour(colours.colour2);

    setFocusProxy(textBox_);
    LayOut();
}

void TextPanel::PickStyle(int style)
{
    gallery_->SetSelected(style);
    const StyleColours colours = DefaultStyleColours(gallery_->Selected());
    colour1_->SetColour(colours.colour1);
    colour2_->SetColour(colours.colour2);
    settings_.colour1 = colours.colour1;
    settings_.colour2 = colours.colour2;
    settings_.style = gallery_->Selected();
    Notify();
}

bool TextPanel::PickFont(const QString& family)
{
    const int index = fonts_->FindItem(family);
    if (index < 0 || !settings_.font.SetFaceName(family))
        return false;
    if (fonts_->GetCurSel() != index)
        fonts_->SetCurSel(index);
    Notify();
    return true;
}

void TextPanel::Notify()
{
    // The owner may have put an item's text into the box without telling the panel.
    settings_.text.Set(FitTextField(textBox_->toPlainText()));
    emit settingsChanged(settings_);
}

void TextPanel::LayOut()
{
    const QSize panel = size();
    transparency_->setGeometry(SliderRect(panel));
    fonts_->setGeometry(FontRect(panel));
    colour1_->setGeometry(Colour1Rect(panel));
    colour2_->setGeometry(Colour2Rect(panel));
    gallery_->setGeometry(GalleryRect(panel));
    textBox_->setGeometry(TextBoxRect(panel));
    add_->setGeometry(AddRect(panel));
}

void TextPanel::resizeEvent(QResizeEvent*)
{
    LayOut();
}

QSize TextPanel::sizeHint() const
{
    return {900, 123};
}

QSize TextPanel::minimumSizeHint() const
{
    return {kGalleryLeft + stylegallery::kWidth + kTextBoxGap + 100 + kAddGap + kAddWidth + kRightMargin,
            2 * kGalleryTop + stylegallery::kCellHeight};
}

void TextPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QSize panel = size();
    // Two frames around each control: 200 grey next to it, 235 grey outside.
    for (const QRect& r : {FontRect(panel), Colour1Rect(panel), Colour2Rect(panel), GalleryRect(panel), TextBoxRect(panel)}) {
        painter.setPen(skin::kFrameColour);
        painter.drawRect(r.adjusted(-1, -1, 0, 0));
        painter.setPen(skin::kPanelInnerFrame);
        painter.drawRect(r.adjusted(-2, -2, 1, 1));
    }
    painter.setPen(skin::kText);
    const auto label = [&](const QRect& control, const QString& text) {
        painter.drawText(QRect(kLabelX, control.top() - 4, kControlLeft - kLabelX - 6, control.height() + 8),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    label(SliderRect(panel), QStringLiteral("Transparency"));
    label(FontRect(panel), QStringLiteral("Font"));
    label(Colour1Rect(panel), QStringLiteral("1st Color"));
    label(Colour2Rect(panel), QStringLiteral("2nd Color"));
    const QRect gallery = GalleryRect(panel);
    painter.drawText(QRect(gallery.left(), 0, gallery.width(), gallery.top() - 2), Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Style"));
    // The transparency value just above the slider's right end.
    const QRect slider = SliderRect(panel);
    const QFontMetrics metrics(font());
    painter.drawText(QRect(slider.right() - 40, slider.top() - 2 - metrics.height(), 41, metrics.height()),
                     Qt::AlignRight | Qt::AlignBottom, QString::number(transparency_->Position()));
}

#include "ui/CVelComboBox.h"

#include "ui/skin/Skin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include <algorithm>

using namespace combo;

// The drop-down list: a popup window drawn line by line. Keys that reach it go to the combo
// box's key rules first and, when those leave them, to the edit field, so typing goes on
// while the list is open.
class ComboDropList : public QWidget {
public:
    explicit ComboDropList(CVelComboBox* combo) : QWidget(combo, Qt::Popup), combo_(combo)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const QPalette palette = QApplication::palette();
        highlight_ = palette.color(QPalette::Active, QPalette::Highlight);
        highlightText_ = palette.color(QPalette::Active, QPalette::HighlightedText);
    }

    int VisibleLines() const { return std::clamp(combo_->Count(), 1, kComboFace.listVisible); }

    void Place()
    {
        const int h = VisibleLines() * kComboFace.listLine + 2;
        const int w = std::max(combo_->width(), 40);
        QPoint pos = combo_->mapToGlobal(QPoint(0, combo_->height()));
        if (const QScreen* screen = combo_->screen()) {
            const QRect area = screen->availableGeometry();
            const QPoint above = combo_->mapToGlobal(QPoint(0, -h));
            if (pos.y() + h > area.bottom() + 1 && above.y() >= area.top())
                pos = above;
            pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() + 1 - w)));
        }
        setGeometry(QRect(pos, QSize(w, h)));
        EnsureVisible(combo_->listLine_);
    }

    void EnsureVisible(int line)
    {
        const int visible = VisibleLines();
        top_ = std::clamp(top_, 0, std::max(0, combo_->Count() - visible));
        if (line < 0)
            return;
        if (line < top_)
            top_ = line;
        else if (line >= top_ + visible)
            top_ = line - visible + 1;
        update();
    }

    int LineAt(const QPoint& pos) const
    {
        if (!rect().contains(pos))
            return -1;
        const int line = top_ + (pos.y() - 1) / kComboFace.listLine;
        return line >= 0 && line < combo_->Count() && pos.y() >= 1 ? line : -1;
    }

    int Top() const { return top_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), skin::kPanelBackground);
        const int visible = VisibleLines();
        const int textWidth = width() - 2 - 2 * kComboFace.listTextInset;
        p.setFont(combo_->edit_->font());
        for (int i = 0; i < visible && top_ + i < combo_->Count(); ++i) {
            const int line = top_ + i;
            const QRect row(1, 1 + i * kComboFace.listLine, width() - 2, kComboFace.listLine);
            const bool current = line == combo_->listLine_;
            if (current)
                p.fillRect(row, highlight_);
            p.setPen(current ? highlightText_ : palette().color(QPalette::Text));
            p.drawText(QRect(row.left() + kComboFace.listTextInset, row.top(), textWidth, row.height()),
                       Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                       fontMetrics().elidedText(combo_->items_[size_t(line)].text, Qt::ElideRight, textWidth));
        }
        if (combo_->Count() > visible) {
            // Where the shown lines are in the whole list: a slim thumb along the right edge.
            const int track = height() - 6;
            const int thumb = std::max(12, track * visible / combo_->Count());
            const int y = 3 + (track - thumb) * top_ / std::max(1, combo_->Count() - visible);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(skin::kFrameColour);
            p.drawRoundedRect(QRectF(width() - 6, y, 3, thumb), 1.5, 1.5);
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(skin::kComboEdgeHover);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        const int line = LineAt(event->position().toPoint());
        if (line >= 0 && line != combo_->listLine_)
            combo_->SetListLine(line);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        const int line = LineAt(event->position().toPoint());
        if (line >= 0)
            combo_->ChooseLine(line);
    }

    void wheelEvent(QWheelEvent* event) override
    {
        const int steps = event->angleDelta().y() / 120;
        top_ = std::clamp(top_ - steps * 3, 0, std::max(0, combo_->Count() - VisibleLines()));
        update();
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!combo_->HandleKey(event))
            static_cast<QObject*>(combo_->edit_)->event(event); // past the field's filter
    }

    void hideEvent(QHideEvent* event) override
    {
        QWidget::hideEvent(event);
        combo_->OnListHidden();
    }

private:
    CVelComboBox* combo_;
    int top_ = 0;
    QColor highlight_;
    QColor highlightText_;
};

CVelComboBox::CVelComboBox(QWidget* parent, int styleBits)
    : QWidget(parent)
    , styleBits_(styleBits)
{
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_NoMouseReplay); // a click on the face while the list is open only closes it
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    face_ = QPixmap::fromImage(DrawComboFaceBitmap());

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("edit%1").arg(kEditId));
    edit_->setProperty("controlId", kEditId);
    edit_->setFrame(false);
    edit_->setFont(QApplication::font()); // the default GUI font
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, skin::kPanelBackground);
    palette.setColor(QPalette::Disabled, QPalette::Base, skin::kComboDisabledField);
    palette.setColor(QPalette::Disabled, QPalette::Text, skin::kDisabledText);
    edit_->setPalette(palette);
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::textEdited, this, &CVelComboBox::OnTextEdited);

    list_ = new ComboDropList(this);
    list_->hide();
}

CVelComboBox::~CVelComboBox()
{
    closing_ = true; // no notifications while the children go
}

// ---- items and selection ----

int CVelComboBox::AddItem(const QString& text, ItemData data)
{
    items_.push_back({text, data});
    if (list_->isVisible())
        list_->Place();
    updateGeometry();
    return int(items_.size()) - 1;
}

void CVelComboBox::ResetContent()
{
    items_.clear();
    curSel_ = -1;
    listLine_ = -1;
    SetTextSilently({});
    if (list_->isVisible())
        list_->Place();
    updateGeometry();
}

QString CVelComboBox::ItemText(int index) const
{
    return index >= 0 && index < Count() ? items_[size_t(index)].text : QString();
}

CVelComboBox::ItemData CVelComboBox::GetItemData(int index) const
{
    return index >= 0 && index < Count() ? items_[size_t(index)].data : ItemData{0, 0, 0};
}

void CVelComboBox::SetItemData(int index, ItemData data)
{
    if (index >= 0 && index < Count())
        items_[size_t(index)].data = data;
}

int CVelComboBox::FindItem(const QString& text) const
{
    for (int i = 0; i < Count(); ++i) {
        if (items_[size_t(i)].text == text)
            return i;
    }
    return -1;
}

void CVelComboBox::SetCurSel(int index)
{
    curSel_ = index >= 0 && index < Count() ? index : -1;
    listLine_ = curSel_;
    SetTextSilently(ItemText(curSel_));
    if (list_->isVisible())
        list_->EnsureVisible(listLine_);
}

QString CVelComboBox::Text() const
{
    return edit_->text();
}

void CVelComboBox::SetText(const QString& text)
{
    SetTextSilently(text);
    const int found = FindItem(text);
    if (found >= 0)
        SetListLine(found);
}

void CVelComboBox::SetTextSilently(const QString& text)
{
    const bool was = settingText_;
    settingText_ = true;
    edit_->setText(text);
    settingText_ = was;
}

QStringList CVelComboBox::Texts() const
{
    QStringList texts;
    texts.reserve(Count());
    for (const Item& item : items_)
        texts.push_back(item.text);
    return texts;
}

void CVelComboBox::SetListLine(int line)
{
    listLine_ = line >= 0 && line < Count() ? line : -1;
    if (list_->isVisible())
        list_->EnsureVisible(listLine_);
}

void CVelComboBox::SelectByUser(int index)
{
    if (index < 0 || index >= Count())
        return;
    listLine_ = index;
    SetTextSilently(items_[size_t(index)].text);
    edit_->selectAll();
    if (index == curSel_)
        return;
    curSel_ = index;
    Notify(kSelChange);
}

void CVelComboBox::Notify(int code)
{
    emit notify(code);
    if (code == kSelChange)
        emit selectionChanged(curSel_);
    else if (code == kSelEndOk)
        emit selectionChosen(curSel_);
}

// ---- the list ----

bool CVelComboBox::DroppedDown() const
{
    return list_->isVisible();
}

void CVelComboBox::ShowDropDown(bool show)
{
    if (show == DroppedDown() || (show && !isEnabled()))
        return;
    if (!show) {
        CloseList(false);
        return;
    }
    Notify(kDropDown);
    if (listLine_ < 0)
        listLine_ = curSel_;
    list_->Place();
    list_->show();
    update();
}

void CVelComboBox::ToggleDropDown()
{
    ShowDropDown(!DroppedDown());
}

void CVelComboBox::ChooseLine(int line)
{
    if (line < 0 || line >= Count())
        return;
    SelectByUser(line);
    if (DroppedDown())
        CloseList(true);
    else
        Notify(kSelEndOk);
}

void CVelComboBox::CloseList(bool chosen)
{
    if (!DroppedDown())
        return;
    closing_ = true;
    Notify(chosen ? kSelEndOk : kSelEndCancel);
    list_->hide();
    closing_ = false;
    if (!chosen)
        listLine_ = curSel_;
    Notify(kCloseUp);
    update();
}

void CVelComboBox::OnListHidden()
{
    // Closed from outside (a click elsewhere, the window going): a close without a choice.
    if (closing_)
        return;
    listLine_ = curSel_;
    Notify(kSelEndCancel);
    Notify(kCloseUp);
    update();
}

// ---- keys and completion ----

bool CVelComboBox::HandleKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta)
        return false;
    completionOn_ = key != Qt::Key_Backspace && key != Qt::Key_Delete;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool alt = modifiers & Qt::AltModifier;
    if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Up || key == Qt::Key_Down))) {
        ToggleDropDown();
        return true;
    }
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int step = key == Qt::Key_Up ? -1 : 1;
        if (DroppedDown()) {
            SetListLine(listLine_ < 0 ? 0 : std::clamp(listLine_ + step, 0, Count() - 1));
        } else if (Count() > 0) {
            SelectByUser(curSel_ < 0 ? 0 : std::clamp(curSel_ + step, 0, Count() - 1));
        }
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!DroppedDown())
            return false;
        SetListLine(std::clamp(std::max(listLine_, 0) + (key == Qt::Key_PageUp ? -1 : 1) * list_->VisibleLines(), 0,
                               Count() - 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (listLine_ >= 0) {
            ChooseLine(listLine_); // message 1025
            return true;
        }
        if (DroppedDown()) {
            CloseList(false);
            return true;
        }
        return false;
    case Qt::Key_Escape:
        if (!DroppedDown())
            return false;
        CloseList(false);
        return true;
    case Qt::Key_Right:
        if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))
            return false;
    {
        const bool atEnd = !edit_->hasSelectedText() && edit_->cursorPosition() == Text().size();
        static_cast<QObject*>(edit_)->event(event); // past the field's filter
        if (atEnd && (styleBits_ & kAutoComplete))
            RunCompletion();
        return true;
    }
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = typed.front();
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
            const int line = FirstItemWithInitial(Texts(), c);
            if (line >= 0)
                SetListLine(line);
        }
    }
    return false;
}

void CVelComboBox::OnTextEdited(const QString& text)
{
    if (settingText_)
        return;
    Notify(kEditUpdate);
    if ((styleBits_ & kAutoComplete) && completionOn_)
        RunCompletion();
    if ((styleBits_ & kSuggestionList) && !DroppedDown() && !text.isEmpty() &&
        FirstItemWithPrefix(Texts(), Text()) >= 0) {
        ShowDropDown(true);
    }
    Notify(kEditChange);
}

void CVelComboBox::RunCompletion()
{
    if (settingText_)
        return;
    const QString typed = Text();
    const int found = FirstItemWithPrefix(Texts(), typed);
    if (found < 0)
        return;
    SetListLine(found);
    const QString& item = items_[size_t(found)].text;
    if (item.size() == typed.size())
        return;
    SetTextSilently(item);
    edit_->setSelection(int(typed.size()), int(item.size() - typed.size())); // typing on replaces it
}

bool CVelComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (HandleKey(static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::FocusIn:
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                Notify(kSetFocus);
            break;
        case QEvent::FocusOut:
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
                if (DroppedDown())
                    CloseList(false);
                Notify(kKillFocus);
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the face ----

ComboFaceState CVelComboBox::FaceState() const
{
    if (!isEnabled())
        return ComboFaceState::Disabled;
    if (DroppedDown())
        return ComboFaceState::Pressed;
    if (hover_ || edit_->hasFocus())
        return ComboFaceState::Hover;
    return ComboFaceState::Normal;
}

void CVelComboBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int row = int(FaceState()) * kComboFace.height;
    for (const FacePiece& piece : ComboFacePieces(size())) {
        if (!piece.target.isEmpty())
            p.drawPixmap(piece.target, face_, piece.source.translated(0, row));
    }
}

void CVelComboBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    edit_->setGeometry(ComboEditRect(size()));
    if (list_->isVisible())
        list_->Place();
}

void CVelComboBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    edit_->setFocus(Qt::MouseFocusReason);
    ToggleDropDown();
}

void CVelComboBox::enterEvent(QEnterEvent* event)
{
    hover_ = true;
    update();
    QWidget::enterEvent(event);
}

void CVelComboBox::leaveEvent(QEvent* event)
{
    hover_ = false;
    update();
    QWidget::leaveEvent(event);
}

void CVelComboBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && DroppedDown())
            CloseList(false);
        update();
    }
    QWidget::changeEvent(event);
}

QSize CVelComboBox::sizeHint() const
{
    const QFontMetrics metrics(edit_->font());
    int widest = metrics.horizontalAdvance(QStringLiteral("0000%"));
    for (const Item& item : items_)
        widest = std::max(widest, metrics.horizontalAdvance(item.text));
    const int height = std::max(kComboFace.height, metrics.height() + 2 * kComboFace.editTop + 2);
    return QSize(kComboFace.editLeft + widest + 8 + kComboFace.button, height);
}

QSize CVelComboBox::minimumSizeHint() const
{
    return QSize(kComboFace.leftCap + kComboFace.button + 24, sizeHint().height());
}

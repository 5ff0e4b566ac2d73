#include "app/BarFace.h"

#include <algorithm>

namespace tempora {

namespace {
bool Intersects(const TSkinRect& a, const TSkinRect& b) {
    return a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0 &&
           a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TSkinRect Union(const TSkinRect& a, const TSkinRect& b) {
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

bool Inside(const TSkinRect& r, int x, int y) {
    return x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height;
}

bool IsButton(TBarPart part) {
    return part == TBarPart::MenuButton || part == TBarPart::MinButton;
}
}  // namespace

bool TPictureButton::Contains(int x, int y) const {
    return Inside(button_.place, x, y);
}

void TPictureButton::PaintTo(Bitmap& target, bool lit) const {
    const Bitmap& pic = lit && !button_.hot.Empty() ? button_.hot : button_.up;
    target.CopyTransparent(button_.place.left, button_.place.top, pic, 0, 0, pic.Width(),
                           pic.Height());
}

TBarFace::TBarFace(TGlyphRasterizer& glyphs, const TSystemLabels* labels) : FadeTextDate(glyphs) {
    LED.OnInvalidate = [this](TLEDFontNum::Rect r) {
        if (OnInvalidate)
            OnInvalidate({r.left, r.top, r.width, r.height}, false);
    };
    // A new second: only the digits change, so only they go to the screen.
    LED.OnRendered = [this] {
        LED.CopyTo(picture_);
        if (OnInvalidate && LED.Visible() && !picture_.Empty())
            OnInvalidate({LED.Left(), LED.Top(), LED.Width(), LED.Height()}, true);
    };
    FadeTextDate.OnInvalidate = [this](bool now) {
        const TSkinRect r = Place(TBarPart::DateLine);
        if (now && !picture_.Empty())
            FadeTextDate.Paint(picture_);
        if (OnInvalidate)
            OnInvalidate(r, now && !picture_.Empty());
    };
    FadeTextDate.SetSystemLabels(labels);
    FadeTextDate.SetParentBackground(&skin_.background);
    ConfigureBarDateLine(FadeTextDate);
}

void TBarFace::Apply(TBarSkin skin) {
    skin_ = std::move(skin);
    menuButton_.Set(skin_.btnMenu);
    minButton_.Set(skin_.btnMin);
    const TSkinRect& led = skin_.led;
    SetUpBarLed(LED, led.left, led.top, led.width, led.height, skin_.ledCell);
    LED.SetBGColor(skin_.ledBkColor);
    LED.SetLightColor(skin_.ledFontColor);
    LED.SetDarkColor(skin_.ledDarkColor);
    const TSkinRect& date = skin_.dateLine;
    FadeTextDate.SetBounds(date.left, date.top, date.width, date.height);
    SetBarDateLineColor(FadeTextDate, skin_.fontColor);
    if (!FadeTextDate.IsLoaded())
        FadeTextDate.Loaded();
    picture_ = skin_.background;
    Compose({0, 0, Width(), Height()});
    if (OnInvalidate)
        OnInvalidate({0, 0, Width(), Height()}, false);
}

void TBarFace::SetScale(TScale scale) {
    scale_ = scale;
    SetBarDateLineScale(FadeTextDate, scale);
}

TSkinRect TBarFace::Place(TBarPart part) const {
    switch (part) {
        case TBarPart::Panel:
            return skin_.panel;
        case TBarPart::MenuButton:
            return menuButton_.Place();
        case TBarPart::MinButton:
            return minButton_.Place();
        case TBarPart::DateLine:
            return skin_.dateLine;
        case TBarPart::Background:
            return {0, 0, Width(), Height()};
        case TBarPart::None:
            break;
    }
    return {};
}

TBarPart TBarFace::HitTest(int x, int y) const {
    for (TBarPart part :
         {TBarPart::MenuButton, TBarPart::MinButton, TBarPart::Panel, TBarPart::DateLine}) {
        if (Inside(Place(part), x, y))
            return part;
    }
    return TBarPart::Background;
}

void TBarFace::SetHot(TBarPart part) {
    SetButtonState(hot_, part);
}

void TBarFace::SetPressed(TBarPart part) {
    SetButtonState(pressed_, part);
}

void TBarFace::SetButtonState(TBarPart& state, TBarPart part) {
    part = IsButton(part) ? part : TBarPart::None;
    if (part == state)
        return;
    const TBarPart was = state;
    state = part;
    if (OnInvalidate) {
        OnInvalidate(Place(was), false);
        OnInvalidate(Place(state), false);
    }
}

void TBarFace::SetDigitsVisible(bool visible) {
    LED.SetVisible(visible);
    if (OnInvalidate)
        OnInvalidate(Place(TBarPart::Panel), false);
}

bool TBarFace::ShowTime(TDateTime t) {
    const std::string hms = FormatHMS(t);
    if (hms != LED.Text()) {
        LED.SetText(hms);
        // Without digits the window writes the text over the panel.
        if (!LED.Visible() && OnInvalidate)
            OnInvalidate(Place(TBarPart::Panel), false);
    }
    const int64_t day = DayNumber(t);
    const bool newDay = day != shownDay_;
    if (newDay) {
        shownDay_ = day;
        const std::string line = "<FontCN>" + FormatChineseDate(t);
        std::vector<std::string>& lines = FadeTextDate.Lines();
        if (lines.empty() || lines[0] != line) {
            FadeTextDate.BeginUpdate();
            if (lines.empty()) {
                lines.push_back(line);
            } else {
                lines[0] = line;
            }
            FadeTextDate.EndUpdate();
        }
    }
    // The line cycles (the advertisement lines join the date later).
    if (!FadeTextDate.Active()) {
        FadeTextDate.SetActive(true);
    } else if (FadeTextDate.LineIndex() < 0) {
        FadeTextDate.ShowLine(0);
    }
    return newDay;
}

void TBarFace::SetAdLines(const std::vector<std::string>& adLines) {
    std::vector<std::string>& lines = FadeTextDate.Lines();
    FadeTextDate.BeginUpdate();
    lines.resize(std::min<size_t>(lines.size(), 1));
    if (lines.empty())
        lines.emplace_back();
    lines.insert(lines.end(), adLines.begin(), adLines.end());
    FadeTextDate.EndUpdate();
}

const Bitmap& TBarFace::Compose(TSkinRect area) {
    if (picture_.Width() != Width() || picture_.Height() != Height())
        picture_ = skin_.background;
    // Controls are repainted whole, so the area grows to cover each control
    // it touches; they do not overlap, so one pass per control settles it.
    const TBarPart controls[] = {TBarPart::MenuButton, TBarPart::MinButton, TBarPart::Panel,
                                 TBarPart::DateLine};
    for (int pass = 0; pass < 2; ++pass) {
        for (TBarPart part : controls) {
            if (Intersects(area, Place(part)))
                area = Union(area, Place(part));
        }
    }
    picture_.CopyRect(area.left, area.top, skin_.background, area.left, area.top, area.width,
                      area.height);
    PaintControls(area);
    return picture_;
}

void TBarFace::PaintControls(TSkinRect area) {
    if (Intersects(area, menuButton_.Place()))
        menuButton_.PaintTo(picture_,
                            hot_ == TBarPart::MenuButton || pressed_ == TBarPart::MenuButton);
    if (Intersects(area, minButton_.Place()))
        minButton_.PaintTo(picture_,
                           hot_ == TBarPart::MinButton || pressed_ == TBarPart::MinButton);
    const TSkinRect& panel = skin_.panel;
    if (Intersects(area, panel)) {
        // A flat frame whose inside takes the digits' background.
        picture_.FillRect(panel.left, panel.top, panel.width, panel.height, skin_.ledBorderColor);
        picture_.FillRect(panel.left + 1, panel.top + 1, panel.width - 2, panel.height - 2,
                          LED.BGColor());
        if (LED.Visible())
            LED.PaintTo(picture_);
    }
    if (Intersects(area, skin_.dateLine))
        FadeTextDate.Paint(picture_);
}

}  // namespace tempora

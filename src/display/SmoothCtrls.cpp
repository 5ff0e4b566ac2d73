#include "SmoothCtrls.h"

#include <algorithm>
#include <cstdlib>

#include "core/ClockSource.h"
#include "core/DateTime.h"

namespace tempora {

namespace {

// The first "<name>" in text, without regard to ASCII case; npos when none.
size_t FindLabel(std::string_view text, std::string_view name) {
    const size_t len = name.size() + 2;
    if (name.empty() || text.size() < len)
        return std::string_view::npos;
    for (size_t pos = text.find('<'); pos != std::string_view::npos && pos + len <= text.size();
         pos = text.find('<', pos + 1)) {
        if (text[pos + len - 1] == '>' && EqualsNoCase(text.substr(pos + 1, name.size()), name))
            return pos;
    }
    return std::string_view::npos;
}

// The picture takes the size; its pixels are kept when the size is unchanged.
void Fit(Bitmap& p, int width, int height) {
    if (p.Width() != width || p.Height() != height)
        p.Create(width, height);
}

}  // namespace

void CrossFade(const Bitmap& old, const Bitmap& neu, int p, Bitmap& out) {
    const int w = std::min(old.Width(), neu.Width());
    const int h = std::min(old.Height(), neu.Height());
    Fit(out, w, h);
    p = std::clamp(p, 0, 255);
    const Bitmap& whole = p == 0 ? old : neu;
    if (p == 0 || p == 255) {
        out.CopyRect(0, 0, whole, 0, 0, w, h);
        return;
    }
    for (int y = 0; y < h; ++y) {
        const uint32_t* a = old.Row(y);
        const uint32_t* b = neu.Row(y);
        uint32_t* o = out.Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t mixed = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int from = (a[x] >> shift) & 0xFF;
                const int to = (b[x] >> shift) & 0xFF;
                mixed |= static_cast<uint32_t>(from + ((p * (to - from)) >> 8)) << shift;
            }
            o[x] = mixed;
        }
    }
}

TFadeText::TFadeText(TGlyphRasterizer& glyphs) : painter_(glyphs) {
    lines_ = {"淡入淡出文字"};
    fonts_.changed_ = [this] { Refresh(); };
    labels_.changed_ = [this] { Refresh(); };
    carry_ = prevStart_ = curStart_ = BaseStyle();
}

template <class T>
void TFadeText::Assign(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    Refresh();
}

void TFadeText::SetBounds(int left, int top, int width, int height) {
    width = std::clamp(width, 0, Bitmap::kMaxSide);
    height = std::clamp(height, 0, Bitmap::kMaxSide);
    if (!Bitmap::SizeAllowed(width, height))
        return;
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Refresh();
}

void TFadeText::SetTimer(TFadeTimer timer, unsigned ms) {
    (timer == TFadeTimer::Line ? lineTimerOn_ : fadeTimerOn_) = ms != 0;
    if (OnSetTimer)
        OnSetTimer(timer, ms);
}

void TFadeText::Loaded() {
    if (loaded_)
        return;
    loaded_ = true;
    carry_ = prevStart_ = curStart_ = BaseStyle();
    Refresh();
    pass_ = 0;
    if (active_) {
        SetTimer(TFadeTimer::Line, lineInterval_);
        NextLine();
    }
}

void TFadeText::SetActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    if (!loaded_)
        return;
    SetTimer(TFadeTimer::Line, active ? lineInterval_ : 0);
    if (active) {
        pass_ = 0;
        NextLine();
    }
}

void TFadeText::SetRepeatCount(int count) {
    if (count >= 0)
        repeatCount_ = count;
}

void TFadeText::SetLineDelay(unsigned ms) {
    const unsigned interval = std::max(ms, fadeDelay_ + 200);
    if (interval == lineInterval_)
        return;
    lineInterval_ = interval;
    if (lineTimerOn_)
        SetTimer(TFadeTimer::Line, lineInterval_);
}

void TFadeText::SetFadeDelay(unsigned ms) {
    if (ms == fadeDelay_)
        return;
    // lineInterval_ >= fadeDelay_ + 200 >= 250, so this never wraps.
    ms = std::max(std::min(ms, lineInterval_ - 200), 50u);
    fadeDelay_ = ms;
}

void TFadeText::SetTransparent(bool transparent) {
    Assign(transparent_, transparent);
}
void TFadeText::SetAlignment(TAlignment alignment) {
    if (alignment <= taCenter)
        Assign(alignment_, alignment);
}
void TFadeText::SetLayout(TTextLayout layout) {
    if (layout <= tlBottom)
        Assign(layout_, layout);
}
void TFadeText::SetQuality(TTextQuality quality) {
    if (quality <= tqNone)
        Assign(quality_, quality);
}
void TFadeText::SetFontEffect(const TTextEffect& effect) {
    Assign(fontEffect_, effect);
}
void TFadeText::SetLabelEffect(TLabelEffect effect) {
    if (effect <= leUntilNextLabel)
        Assign(labelEffect_, effect);
}
void TFadeText::SetBackColor(uint32_t color) {
    Assign(backColor_, color);
}
void TFadeText::SetBackGround(const Bitmap& picture) {
    Assign(backGround_, picture);
}
void TFadeText::SetBackGroundMode(TBackGroundMode mode) {
    if (mode <= bmNormal)
        Assign(backGroundMode_, mode);
}
void TFadeText::SetFont(const TFontSpec& font) {
    Assign(font_, font);
}

void TFadeText::EndUpdate() {
    if (updateCount_ > 0)
        --updateCount_;
}

void TFadeText::ShowLine(int index) {
    if (lines_.empty())
        return;
    index = std::max(index, 0);
    if (static_cast<size_t>(index) >= lines_.size()) {
        ++pass_;
        if (repeatCount_ != 0 && pass_ >= repeatCount_) {
            active_ = false;
            SetTimer(TFadeTimer::Line, 0);
            pass_ = 0;
            lineIndex_ = -1;
            StartFade(std::string());
            if (OnComplete)
                OnComplete();
            return;
        }
        index = 0;
    }
    // A copy: the line may be edited while it shows.
    StartFade(std::string(lines_[static_cast<size_t>(index)]));
    lineIndex_ = index;
}

void TFadeText::StartFade(const std::string& text) {
    if (display_.Width() != width_ || display_.Height() != height_)
        RenderLine(curText_, curStart_, display_);
    old_ = display_;
    const LineStyle start = carry_;
    carry_ = RenderLine(text, start, new_);
    // The line on screen shown again (the only line, when its LineDelay is
    // up) fades to itself: its fade ends at once, since its steps would
    // change nothing on screen and the fade timer would only wake the program.
    const bool again = text == curText_ && new_ == old_;
    prevText_ = std::move(curText_);
    prevStart_ = curStart_;
    curText_ = text;
    curStart_ = start;
    if (again) {
        progress_ = accumulator_ = 255;
        SetTimer(TFadeTimer::Fade, 0);
    } else {
        progress_ = 0;
        SetTimer(TFadeTimer::Fade, kFadeInterval);
    }
    // Every line gets its whole LineDelay, counted from the start of its fade.
    if (lineTimerOn_)
        SetTimer(TFadeTimer::Line, lineInterval_);
}

void TFadeText::OnLineTimer() {
    if (lineTimerOn_)
        NextLine();
}

void TFadeText::OnFadeTimer() {
    if (!fadeTimerOn_)
        return;
    // A fade started since the last tick set the progress back to 0.
    if (std::abs(accumulator_ - progress_) > 1)
        accumulator_ = progress_;
    // 10 per tick for 600 ms: 26 ticks. At least 1, so that a long FadeDelay
    // still ends.
    accumulator_ += std::max(1u, kFadeInterval * 255 / fadeDelay_);
    if (accumulator_ > 255) {
        accumulator_ = 255;
        SetTimer(TFadeTimer::Fade, 0);
    }
    if (accumulator_ != progress_) {
        progress_ = accumulator_;
        if (OnInvalidate)
            OnInvalidate(true);
    }
}

std::string TFadeText::LabelText(const TUserLabel& label) const {
    switch (label.Style) {
        case lsRegOwner:
            return system_ ? system_->RegisteredOwner() : std::string();
        case lsRegOrganization:
            return system_ ? system_->RegisteredOrganization() : std::string();
        case lsAppTitle:
            return system_ ? system_->AppTitle() : std::string();
        case lsDate:
            return FormatShortDate(ClockSource::Current().NowLocal());
        case lsTime:
            return FormatLongTime(ClockSource::Current().NowLocal());
        case lsCustom:
            return label.Text;
        default:
            return std::string();
    }
}

void TFadeText::PaintBackground(Bitmap& p) {
    Fit(p, width_, height_);
    if (transparent_) {
        const Bitmap* bg = parentBackground_;
        const bool covered = bg != nullptr && left_ >= 0 && top_ >= 0 &&
                             int64_t{left_} + width_ <= bg->Width() &&
                             int64_t{top_} + height_ <= bg->Height();
        if (!covered)
            p.Fill(backColor_);
        if (bg != nullptr)
            p.CopyRect(0, 0, *bg, left_, top_, width_, height_);
        return;
    }
    p.Fill(backColor_);
    const Bitmap& pic = backGround_;
    if (pic.Empty())
        return;
    switch (backGroundMode_) {
        case bmTiled:
            for (int y = 0; y < height_; y += pic.Height()) {
                for (int x = 0; x < width_; x += pic.Width())
                    p.CopyRect(x, y, pic, 0, 0, pic.Width(), pic.Height());
            }
            break;
        case bmStretched:
            p.StretchRect(0, 0, width_, height_, pic, 0, 0, pic.Width(), pic.Height());
            break;
        case bmCenter:
            p.CopyRect((width_ - pic.Width()) / 2, (height_ - pic.Height()) / 2, pic, 0, 0,
                       pic.Width(), pic.Height());
            break;
        case bmNormal:
            p.CopyRect(0, 0, pic, 0, 0, pic.Width(), pic.Height());
            break;
    }
}

TFadeText::LineStyle TFadeText::RenderLine(std::string text, LineStyle style, Bitmap& p) {
    if (labelEffect_ == leOnlyALine)
        style = BaseStyle();
    // Font labels: the last item in collection order that occurs wins; only
    // the first occurrence of each is taken out.
    for (const TFontLabel& item : fonts_.items_) {
        const size_t pos = FindLabel(text, item.Name);
        if (pos == std::string::npos)
            continue;
        style.font = item.Font;
        style.effect = item.Effect;
        text.erase(pos, item.Name.size() + 2);
    }
    for (const TUserLabel& label : labels_.items_) {
        const size_t pos = FindLabel(text, label.Name);
        if (pos == std::string::npos)
            continue;
        text.erase(pos, label.Name.size() + 2);
        switch (label.Style) {
            case lsLeftJustify:
                style.alignment = taLeftJustify;
                break;
            case lsCenter:
                style.alignment = taCenter;
                break;
            case lsRightJustify:
                style.alignment = taRightJustify;
                break;
            default: {
                std::string inserted = LabelText(label);
                if (label.OnGetText)
                    label.OnGetText(label, inserted);
                text.insert(pos, inserted);
                break;
            }
        }
    }

    painter_.SetFont(style.font);
    painter_.SetEffect(style.effect);
    painter_.SetQuality(quality_);
    const TSize extent = painter_.TextExtent(text);
    // Divisions truncate toward zero: text wider than the control starts left of it.
    const int x = style.alignment == taLeftJustify    ? 0
                  : style.alignment == taRightJustify ? width_ - extent.Width
                                                      : (width_ - extent.Width) / 2;
    const int y = layout_ == tlTop      ? 0
                  : layout_ == tlBottom ? height_ - extent.Height
                                        : (height_ - extent.Height) / 2;
    PaintBackground(p);
    painter_.SetSurface(&p);
    painter_.PaintText(x, y, text);
    painter_.SetSurface(nullptr);
    return style;
}

void TFadeText::RenderPictures(bool all) {
    if (progress_ == 0) {
        // Until the first fade step the screen keeps showing the previous text.
        RenderLine(prevText_, prevStart_, display_);
        if (all) {
            old_ = display_;
            RenderLine(curText_, curStart_, new_);
        }
        return;
    }
    if (all || progress_ != 255)
        RenderLine(prevText_, prevStart_, old_);
    RenderLine(curText_, curStart_, new_);
    CrossFade(old_, new_, progress_, display_);
}

void TFadeText::Refresh() {
    if (!loaded_ || updateCount_ > 0)
        return;
    RenderPictures(true);
    if (OnInvalidate)
        OnInvalidate(false);
}

void TFadeText::Paint(Bitmap& target) {
    if (painting_)
        return;
    if (!loaded_)
        Loaded();
    painting_ = true;
    const bool stale = display_.Width() != width_ || display_.Height() != height_;
    if (transparent_ || stale)
        RenderPictures(false);  // the background may have changed
    else if (progress_ != 0)
        CrossFade(old_, new_, progress_, display_);
    target.CopyRect(left_, top_, display_, 0, 0, width_, height_);
    if (OnPainted)
        OnPainted();
    painting_ = false;
}

void ConfigureBarDateLine(TFadeText& fade) {
    fade.SetBounds(173, 12, 154, 20);
    fade.SetActive(false);
    fade.SetRepeatCount(0);
    fade.Lines() = {""};
    fade.SetLineDelay(3500);
    fade.SetFadeDelay(600);
    fade.SetTransparent(true);
    fade.SetAlignment(taCenter);
    fade.SetLayout(tlCenter);
    fade.SetQuality(tqNone);
    fade.SetLabelEffect(leUntilNextLabel);

    TFontSpec song;
    song.Name = "宋体";
    song.Height = -12;
    song.Color = 0xFFFFFF;
    TTextEffect shadowed;
    shadowed.Shadow.Enabled = true;
    shadowed.Shadow.OffsetX = 1;
    shadowed.Shadow.OffsetY = 1;
    TFontSpec underlined = song;
    underlined.Underline = true;
    fade.Fonts().Clear();
    fade.Fonts().Add({"FontCN", song, shadowed});
    fade.Fonts().Add({"FontAD", underlined, TTextEffect{}});

    fade.Labels().Clear();
    const std::pair<const char*, TLabelStyle> labels[] = {
        {"Left", lsLeftJustify},
        {"Center", lsCenter},
        {"Right", lsRightJustify},
        {"Owner", lsRegOwner},
        {"Organization", lsRegOrganization},
        {"AppTitle", lsAppTitle},
        {"Date", lsDate},
        {"Time", lsTime},
    };
    for (const auto& [name, style] : labels)
        fade.Labels().Add({name, style, std::string(), nullptr});
}

void SetBarDateLineColor(TFadeText& fade, uint32_t color) {
    for (const char* name : {"FontCN", "FontAD"}) {
        const int i = fade.Fonts().IndexOf(name);
        if (i < 0)
            continue;
        TFontLabel item = fade.Fonts()[i];
        item.Font.Color = color & 0xFFFFFF;
        fade.Fonts().Set(i, std::move(item));
    }
}

void SetBarDateLineScale(TFadeText& fade, TScale scale) {
    for (const char* name : {"FontCN", "FontAD"}) {
        const int i = fade.Fonts().IndexOf(name);
        if (i < 0)
            continue;
        TFontLabel item = fade.Fonts()[i];
        item.Font.Height = scale.FontHeight(9);
        if (item.Effect.Shadow.Enabled)
            item.Effect.Shadow.OffsetX = item.Effect.Shadow.OffsetY = scale.Px(1);
        fade.Fonts().Set(i, std::move(item));
    }
}

}  // namespace tempora

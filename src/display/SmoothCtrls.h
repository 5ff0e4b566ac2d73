// TFadeText: a windowless line of anti-aliased text that shows the lines of a
// list one at a time and cross-fades from the picture on screen to the next.
//
// A line may start with labels: "<FontCN>" picks the font item of that name,
// "<Center>" an alignment, "<Date>" inserts today's date, and so on (names
// compared without regard to case; unknown labels stay as text).
//
// The control owns no window and no timers. Its host (the bar) provides:
//   OnSetTimer(timer, ms)  start or restart that timer with the interval, or
//                          stop it when ms is 0; the host calls OnLineTimer()
//                          or OnFadeTimer() when it fires. The fade timer runs
//                          at 25 ms only while a cross-fade is in progress;
//                          the line timer runs at LineDelay() while Active().
//   OnInvalidate(now)      now == false: repaint when convenient (invalidate
//                          the control's rectangle); now == true (every fade
//                          step): repaint at once, that is call Paint() into
//                          the window's picture and copy the control's
//                          rectangle to the screen. Paint() covers that whole
//                          rectangle, background included, so nothing else
//                          needs composing first.
//   SetParentBackground()  the picture of what lies behind the control, in the
//                          parent's coordinates (the bar's skin picture without
//                          the text); a transparent control copies its bounds
//                          from it at every paint, because it may change.
//
// ConfigureBarDateLine gives the bar's date line its look; the bar's face
// (app/BarFace.h) hosts it.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "core/Scale.h"
#include "core/Text.h"
#include "display/SmoothFont.h"

namespace tempora {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
// leOnlyALine: every line starts from the control's font, FontEffect and
// Alignment; leUntilNextLabel: what a label set carries over to later lines.
enum TLabelEffect : uint8_t { leOnlyALine, leUntilNextLabel };
enum TBackGroundMode : uint8_t { bmTiled, bmStretched, bmCenter, bmNormal };
enum TLabelStyle : uint8_t {
    lsLeftJustify,
    lsCenter,
    lsRightJustify,
    lsRegOwner,
    lsRegOrganization,
    lsAppTitle,
    lsDate,
    lsTime,
    lsCustom,
};

struct TFontLabel {
    std::string Name;
    TFontSpec Font;
    TTextEffect Effect;
};

struct TUserLabel {
    std::string Name;
    TLabelStyle Style = lsCustom;
    std::string Text;  // what lsCustom inserts
    // May replace the text that a non-alignment label inserts.
    std::function<void(const TUserLabel& label, std::string& text)> OnGetText;
};

// A list of font items or user labels whose names are unique. Every change
// refreshes the control that owns it.
template <class Item>
class TNamedItems {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const Item& operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    // -1 when no item has the name; an empty name names nothing.
    int IndexOf(std::string_view name) const {
        for (int i = 0; i < Count(); ++i) {
            if (!name.empty() && EqualsNoCase(items_[i].Name, name))
                return i;
        }
        return -1;
    }
    // Throw std::invalid_argument("Duplicate string!") when another item
    // already has the name, and change nothing then.
    void Add(Item item) {
        CheckName(item.Name, -1);
        items_.push_back(std::move(item));
        Changed();
    }
    void Set(int index, Item item) {
        if (index < 0 || index >= Count())
            return;
        CheckName(item.Name, index);
        items_[index] = std::move(item);
        Changed();
    }
    void Delete(int index) {
        if (index < 0 || index >= Count())
            return;
        items_.erase(items_.begin() + index);
        Changed();
    }
    void Clear() {
        items_.clear();
        Changed();
    }

private:
    friend class TFadeText;
    void CheckName(std::string_view name, int self) const {
        const int other = IndexOf(name);
        if (other >= 0 && other != self)
            throw std::invalid_argument("Duplicate string!");
    }
    void Changed() {
        if (changed_)
            changed_();
    }
    std::vector<Item> items_;
    std::function<void()> changed_;
};

// Where lsRegOwner, lsRegOrganization and lsAppTitle take their text.
class TSystemLabels {
public:
    virtual ~TSystemLabels() = default;
    virtual std::string RegisteredOwner() const = 0;
    virtual std::string RegisteredOrganization() const = 0;
    virtual std::string AppTitle() const = 0;
};

enum class TFadeTimer : uint8_t { Line, Fade };

// out := old cross-faded towards neu by p (0 = old, 255 = neu): every colour
// byte becomes old + floor(p * (neu - old) / 256). `out` takes the smaller
// width and height of the two.
void CrossFade(const Bitmap& old, const Bitmap& neu, int p, Bitmap& out);

class TFadeText {
public:
    static constexpr unsigned kFadeInterval = 25;

    explicit TFadeText(TGlyphRasterizer& glyphs);
    TFadeText(const TFadeText&) = delete;
    TFadeText& operator=(const TFadeText&) = delete;

    std::function<void(TFadeTimer timer, unsigned intervalMs)> OnSetTimer;
    std::function<void(bool now)> OnInvalidate;
    std::function<void()> OnComplete;  // after the last of RepeatCount passes
    std::function<void()> OnPainted;   // after every paint

    // Not owned; nullptr: those labels insert nothing.
    void SetSystemLabels(const TSystemLabels* labels) { system_ = labels; }
    // Not owned; nullptr or a picture that does not cover the control: the
    // uncovered part shows BackColor.
    void SetParentBackground(const Bitmap* picture) { parentBackground_ = picture; }

    // Position in the parent's picture and size; a negative size counts as 0.
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The form's values have been applied: take the alignment, draw, and
    // start the lines if Active. The first Paint() does it when nobody did.
    void Loaded();
    bool IsLoaded() const { return loaded_; }

    bool Active() const { return active_; }
    void SetActive(bool active);
    int RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int count);  // 0: endless; negative values are ignored

    // The lines. Editing them never changes the text on screen: a line shows
    // as it was when it was started. The bar edits between BeginUpdate and EndUpdate.
    std::vector<std::string>& Lines() { return lines_; }
    const std::vector<std::string>& Lines() const { return lines_; }

    // The line interval: at least FadeDelay() + 200.
    unsigned LineDelay() const { return lineInterval_; }
    void SetLineDelay(unsigned ms);
    // The nominal cross-fade length: at most LineDelay() - 200, at least 50.
    unsigned FadeDelay() const { return fadeDelay_; }
    void SetFadeDelay(unsigned ms);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    TTextQuality Quality() const { return quality_; }
    void SetQuality(TTextQuality quality);
    const TTextEffect& FontEffect() const { return fontEffect_; }
    void SetFontEffect(const TTextEffect& effect);
    TLabelEffect LabelEffect() const { return labelEffect_; }
    void SetLabelEffect(TLabelEffect effect);
    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t color);
    const Bitmap& BackGround() const { return backGround_; }
    void SetBackGround(const Bitmap& picture);
    TBackGroundMode BackGroundMode() const { return backGroundMode_; }
    void SetBackGroundMode(TBackGroundMode mode);
    // The control's own font: lines without a font label use it.
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);

    TNamedItems<TFontLabel>& Fonts() { return fonts_; }
    TNamedItems<TUserLabel>& Labels() { return labels_; }

    // While the update count is above 0, changes do not refresh the control;
    // EndUpdate refreshes nothing by itself.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // Starts the cross-fade to line `index` (below 0: line 0; past the last
    // line: the next pass, from line 0). Nothing happens without lines.
    void ShowLine(int index);
    void NextLine() { ShowLine(lineIndex_ + 1); }
    // The line started last; -1 before the first and after the last pass.
    int LineIndex() const { return lineIndex_; }

    // Timer entry points for the host; a tick of a stopped timer is ignored.
    void OnLineTimer();
    void OnFadeTimer();
    bool LineTimerRunning() const { return lineTimerOn_; }
    bool FadeTimerRunning() const { return fadeTimerOn_; }

    // Draws the control into the parent's picture at Left(), Top(). A paint
    // requested from inside a paint (an OnPainted handler) is ignored.
    void Paint(Bitmap& target);

    // Cross-fade progress 0..255; 255 once the line has fully faded in.
    int Progress() const { return progress_; }
    const std::string& CurrentText() const { return curText_; }
    const std::string& PreviousText() const { return prevText_; }
    const Bitmap& DisplayPicture() const { return display_; }

private:
    // Font, effect and alignment that a line starts from and that its labels change.
    struct LineStyle {
        TFontSpec font;
        TTextEffect effect;
        TAlignment alignment = taCenter;
    };

    LineStyle BaseStyle() const { return {font_, fontEffect_, alignment_}; }
    // Draws text T into P starting from `style`; returns the style its labels left.
    LineStyle RenderLine(std::string text, LineStyle style, Bitmap& p);
    std::string LabelText(const TUserLabel& label) const;
    void PaintBackground(Bitmap& p);
    // Renders the pictures again from the two texts. `all`: also the ones a
    // paint does not need (the old picture when the new one covers it).
    void RenderPictures(bool all);
    void StartFade(const std::string& text);
    void Refresh();
    void SetTimer(TFadeTimer timer, unsigned ms);
    template <class T>
    void Assign(T& field, const T& value);

    TSmoothFont painter_;
    const TSystemLabels* system_ = nullptr;
    const Bitmap* parentBackground_ = nullptr;

    int left_ = 0, top_ = 0, width_ = 240, height_ = 34;
    bool loaded_ = false;
    bool painting_ = false;
    int updateCount_ = 0;

    bool active_ = true;
    int repeatCount_ = 0;
    std::vector<std::string> lines_;
    unsigned lineInterval_ = 3000;
    unsigned fadeDelay_ = 600;
    bool transparent_ = false;
    TAlignment alignment_ = taCenter;
    TTextLayout layout_ = tlCenter;
    TTextQuality quality_ = tqNormal;
    TTextEffect fontEffect_;
    TLabelEffect labelEffect_ = leUntilNextLabel;
    uint32_t backColor_ = 0xFFFFFF;
    Bitmap backGround_;
    TBackGroundMode backGroundMode_ = bmCenter;
    TFontSpec font_;
    TNamedItems<TFontLabel> fonts_;
    TNamedItems<TUserLabel> labels_;

    int lineIndex_ = -1;
    int pass_ = 0;
    std::string prevText_, curText_;
    // The style each shown text started from, so that drawing it again gives
    // the same picture; carry_ is where the next line starts (leUntilNextLabel).
    LineStyle prevStart_, curStart_, carry_;
    int progress_ = 0;
    int accumulator_ = 0;
    bool lineTimerOn_ = false;
    bool fadeTimerOn_ = false;
    Bitmap display_, old_, new_;
};

// The bar's date line as its form sets it up: at 173, 12, 154 x 20, still
// (the bar switches Active on), one empty line, LineDelay 3500, FadeDelay 600,
// transparent, centred, quality tqNone, the font items "FontCN" (宋体 12 px,
// white, with a 1-pixel shadow) and "FontAD" (宋体 12 px, underlined, white)
// and the eight user labels.
void ConfigureBarDateLine(TFadeText& fade);
// The skin's FontColor colours both font items.
void SetBarDateLineColor(TFadeText& fade, uint32_t color);
// Both font items at `scale`: 宋体 9 pt (12 px at 100 %), the shadow as far
// off as one pixel is at 100 %.
void SetBarDateLineScale(TFadeText& fade, TScale scale);

}  // namespace tempora

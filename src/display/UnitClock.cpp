#include "UnitClock.h"

#include "core/FileSys.h"

#include <algorithm>

namespace tempora {

namespace {

bool IsEmpty(const TSkinRect& r) {
    return r.width <= 0 || r.height <= 0;
}

TSkinRect Union(const TSkinRect& a, const TSkinRect& b) {
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

TSkinRect Intersect(const TSkinRect& a, const TSkinRect& b) {
    const int64_t left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int64_t right = std::min(int64_t{a.left} + a.width, int64_t{b.left} + b.width);
    const int64_t bottom = std::min(int64_t{a.top} + a.height, int64_t{b.top} + b.height);
    if (right <= left || bottom <= top)
        return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

// A picture no larger than kMaxSide a side: its middle part, so that a
// hand's pivot stays in its middle.
Bitmap Middle(const Bitmap& picture) {
    const int w = std::min(picture.Width(), TClockFace::kMaxSide);
    const int h = std::min(picture.Height(), TClockFace::kMaxSide);
    if (w == picture.Width() && h == picture.Height())
        return picture;
    Bitmap out;
    Cut(picture, out, (picture.Width() - w) / 2, (picture.Height() - h) / 2, w, h);
    return out;
}

int HalfUp(int size) {
    return size / 2 + size % 2;
}

}  // namespace

THandAngles HandAngles(TDateTime t) {
    const TimeParts p = DecodeTime(t);
    return {-(30.0 * p.hour + 6.0 * (p.minute / 12)), -6.0 * p.minute, -6.0 * p.second};
}

int AnchoredEdge(int pos, int anchor, int size) {
    return pos < 0 && anchor >= 0 ? anchor - size : pos;
}

TSkinResult ReadClockStyle(const std::string& dataDir, const std::string& path, TClockSkin& out,
                           std::string* used, TScale scale) {
    const TSkinResult first = ReadClockSkin(dataDir, path, out, nullptr, TClockRead::Full, scale);
    if (first == TSkinResult::Applied) {
        if (used)
            *used = path;
        return first;
    }
    const size_t sep = path.find_last_of("\\/");
    const std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
    for (const std::string& name : ListFiles(folder.empty() ? "." : folder, ".cl")) {
        const std::string other = folder + name;
        if (other == path || IsSkinVariantName(name) ||
            ReadClockSkin(dataDir, other, out, nullptr, TClockRead::Full, scale) !=
                TSkinResult::Applied) {
            continue;
        }
        if (used)
            *used = other;
        return TSkinResult::Applied;
    }
    return first;
}

TClockFace::TClockFace()
    : hands_{{&RotatedImageH, {}, {}}, {&RotatedImageM, {}, {}}, {&RotatedImageS, {}, {}}} {
    for (Hand& hand : hands_) {
        hand.control->SetAutoSize(true);
        hand.control->SetCenter(true);
        hand.control->SetTransparent(true);
    }
    face_.Create(kInitialWidth, kInitialHeight, Bitmap::kKeyColor);
    picture_ = face_;
}

void TClockFace::Apply(const TClockSkin& skin) {
    face_ = {};
    Cut(skin.face, face_, 0, 0, std::min(skin.face.Width(), kMaxSide),
        std::min(skin.face.Height(), kMaxSide));
    cap_ = Middle(skin.centerPoint);
    centerX_ = skin.centerX;
    centerY_ = skin.centerY;
    smooth_ = skin.smoothHands;
    picture_ = face_;
    const Bitmap* pictures[] = {&skin.hourHand, &skin.minuteHand, &skin.secondHand};
    const double angles[] = {angles_.hour, angles_.minute, angles_.second};
    for (int i = 0; i < 3; ++i) {
        const Bitmap hand = Middle(*pictures[i]);
        hands_[i].control->SetPicture(hand);
        hands_[i].smooth.SetPicture(hand);
        hands_[i].layer = {};
        Turn(hands_[i], angles[i]);
    }
    Compose({0, 0, Width(), Height()});
}

TSkinRect TClockFace::SetHands(TDateTime t) {
    const THandAngles a = HandAngles(t);
    double* current[] = {&angles_.hour, &angles_.minute, &angles_.second};
    const double wanted[] = {a.hour, a.minute, a.second};
    TSkinRect area;
    for (int i = 0; i < 3; ++i) {
        if (*current[i] == wanted[i])
            continue;
        *current[i] = wanted[i];
        area = Union(area, Turn(hands_[i], wanted[i]));
    }
    area = Intersect(area, {0, 0, Width(), Height()});
    if (!IsEmpty(area))
        Compose(area);
    return area;
}

TSkinRect TClockFace::Turn(Hand& hand, double angle) {
    const TSkinRect before = Covered(hand);
    if (smooth_) {
        hand.smooth.Render(angle, centerX_, centerY_, Width(), Height(), hand.layer, hand.layerLeft,
                           hand.layerTop);
    } else {
        TRotatedImage& c = *hand.control;
        c.SetAngle(angle);
        c.SetBounds(centerX_ - HalfUp(c.Width()), centerY_ - HalfUp(c.Height()), c.Width(),
                    c.Height());
    }
    return Union(before, Covered(hand));
}

TSkinRect TClockFace::Covered(const Hand& hand) const {
    if (smooth_)
        return {hand.layerLeft, hand.layerTop, hand.layer.Width(), hand.layer.Height()};
    const TRotatedImage& c = *hand.control;
    if (c.Prepared().Empty())
        return {};
    return {c.Left(), c.Top(), c.Width(), c.Height()};
}

TSkinRect TClockFace::CapPlace() const {
    return {centerX_ - HalfUp(cap_.Width()), centerY_ - HalfUp(cap_.Height()), cap_.Width(),
            cap_.Height()};
}

void TClockFace::Compose(TSkinRect area) {
    area = Intersect(area, {0, 0, Width(), Height()});
    if (IsEmpty(area))
        return;
    picture_.CopyRect(area.left, area.top, face_, area.left, area.top, area.width, area.height);
    for (const Hand& hand : hands_) {
        if (smooth_) {
            BlendLayer(picture_, face_, Bitmap::kKeyColor, hand.layer, hand.layerLeft,
                       hand.layerTop, area.left, area.top, area.width, area.height);
        } else {
            hand.control->Paint(picture_, area.left, area.top, area.width, area.height);
        }
    }
    const TSkinRect cap = Intersect(CapPlace(), area);
    if (!IsEmpty(cap)) {
        const TSkinRect place = CapPlace();
        picture_.CopyTransparent(cap.left, cap.top, cap_, cap.left - place.left,
                                 cap.top - place.top, cap.width, cap.height,
                                 cap_.At(0, cap_.Height() - 1));
    }
}

}  // namespace tempora

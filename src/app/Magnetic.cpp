#include "app/Magnetic.h"

#include <algorithm>
#include <cstdlib>

namespace tempora {

bool Touches(const TMagRect& a, const TMagRect& b) {
    const int unionWidth = std::max(a.right, b.right) - std::min(a.left, b.left);
    const int unionHeight = std::max(a.bottom, b.bottom) - std::min(a.top, b.top);
    if (a.Width() + b.Width() < unionWidth || a.Height() + b.Height() < unionHeight)
        return false;
    return a.left == b.left || a.left == b.right || a.right == b.left || a.right == b.right ||
           a.top == b.top || a.top == b.bottom || a.bottom == b.top || a.bottom == b.bottom;
}

int TMagnetModel::Find(TMagWindow w) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].window == w)
            return static_cast<int>(i);
    }
    return -1;
}

bool TMagnetModel::IsAttached(TMagWindow w) const {
    const int i = Find(w);
    return i >= 0 && items_[i].attached;
}

TMagWindow TMagnetModel::ParentOf(TMagWindow w) const {
    const int i = Find(w);
    return i >= 0 ? items_[i].parent : 0;
}

bool TMagnetModel::AddWindow(TMagWindow w, TMagWindow parent) {
    if (Find(w) >= 0 || !desktop_.IsWindow(w) || (parent != 0 && !desktop_.IsWindow(parent)))
        return false;
    items_.push_back({w, parent == w ? 0 : parent, false});
    rects_.resize(items_.size() + 1);
    UpdateAttachments();
    return true;
}

bool TMagnetModel::RemoveWindow(TMagWindow w) {
    const int i = Find(w);
    if (i < 0)
        return false;
    items_.erase(items_.begin() + i);
    rects_.resize(items_.size() + 1);
    for (Item& item : items_) {
        if (item.parent == w)
            item.parent = 0;
    }
    UpdateAttachments();
    return true;
}

void TMagnetModel::UpdateAttachments() {
    const size_t n = items_.size();
    std::vector<bool> visible(n);
    for (size_t i = 0; i < n; ++i) {
        rects_[i + 1] = desktop_.WindowRect(items_[i].window);
        visible[i] = desktop_.IsVisible(items_[i].window);
        items_[i].attached = false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (!visible[i] || items_[i].parent == 0)
            continue;
        const int k = Find(items_[i].parent);
        items_[i].attached = k >= 0 && Touches(rects_[k + 1], rects_[i + 1]);
    }
    // A view touching an attached sibling is attached through it; n rounds
    // reach the end of any chain.
    for (size_t round = 0; round < n; ++round) {
        for (size_t i = 0; i < n; ++i) {
            if (!visible[i] || !items_[i].attached)
                continue;
            for (size_t j = 0; j < n; ++j) {
                if (j == i || !visible[j] || items_[j].attached ||
                    items_[j].parent != items_[i].parent)
                    continue;
                items_[j].attached = Touches(rects_[i + 1], rects_[j + 1]);
            }
        }
    }
}

void TMagnetModel::BeginMove(TMagWindow w) {
    rects_[0] = desktop_.WorkAreaOf(w);
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMagWindow item = items_[i].window;
        rects_[i + 1] = desktop_.IsMaximised(item) ? rects_[0] : desktop_.WindowRect(item);
        if (item == w) {
            startCursor_ = desktop_.CursorPos();
            currentCursor_ = startCursor_;
            grabOffset_ = {rects_[i + 1].left - startCursor_.x, rects_[i + 1].top - startCursor_.y};
        }
    }
}

void TMagnetModel::EdgeTests(const TMagRect& r, const TMagRect& t, int& dx, int& dy) const {
    const int d = snap_;
    // Each test that holds overwrites the last: the right edge's tests come
    // last, so a window as wide as its target lines up on the right.
    if (t.bottom + d > r.top && t.top - d < r.bottom) {
        if (std::abs(r.left - t.left) < d)
            dx = t.left - r.left;
        if (std::abs(r.left - t.right) < d)
            dx = t.right - r.left;
        if (std::abs(r.right - t.left) < d)
            dx = t.left - r.right;
        if (std::abs(r.right - t.right) < d)
            dx = t.right - r.right;
    }
    if (t.right + d > r.left && t.left - d < r.right) {
        if (std::abs(r.top - t.top) < d)
            dy = t.top - r.top;
        if (std::abs(r.top - t.bottom) < d)
            dy = t.bottom - r.top;
        if (std::abs(r.bottom - t.top) < d)
            dy = t.top - r.bottom;
        if (std::abs(r.bottom - t.bottom) < d)
            dy = t.bottom - r.bottom;
    }
}

namespace {
TMagRect Moved(const TMagRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
}  // namespace

void TMagnetModel::SnapMoving(TMagWindow w, TMagRect& r) {
    const int m = Find(w);
    if (m < 0)
        return;
    // The window follows the cursor exactly as grabbed, whatever the system
    // proposed.
    currentCursor_ = desktop_.CursorPos();
    r = Moved(r, currentCursor_.x + grabOffset_.x - r.left,
              currentCursor_.y + grabOffset_.y - r.top);

    const size_t n = items_.size();
    std::vector<bool> visible(n);
    for (size_t i = 0; i < n; ++i)
        visible[i] = desktop_.IsVisible(items_[i].window);
    auto isChild = [&](size_t i) {
        return visible[i] && items_[i].attached && items_[i].parent == w;
    };

    int dx = 0, dy = 0;
    EdgeTests(r, rects_[0], dx, dy);
    for (size_t i = 0; i < n; ++i) {
        if (visible[i] && items_[i].window != w && !isChild(i))
            EdgeTests(r, rects_[i + 1], dx, dy);
    }
    // The attached children snap too, to the free windows only: they are
    // carried, so the work area stays the moving window's business.
    const int cx = currentCursor_.x - startCursor_.x, cy = currentCursor_.y - startCursor_.y;
    for (size_t c = 0; c < n; ++c) {
        if (!isChild(c))
            continue;
        const TMagRect child = Moved(rects_[c + 1], cx, cy);
        for (size_t j = 0; j < n; ++j) {
            if (j != c && visible[j] && !items_[j].attached && items_[j].window != w)
                EdgeTests(child, rects_[j + 1], dx, dy);
        }
    }
    r = Moved(r, dx, dy);

    std::vector<std::pair<TMagWindow, TMagPoint>> moves;
    const int ox = r.left - rects_[m + 1].left, oy = r.top - rects_[m + 1].top;
    for (size_t c = 0; c < n; ++c) {
        if (isChild(c))
            moves.push_back({items_[c].window, {rects_[c + 1].left + ox, rects_[c + 1].top + oy}});
    }
    if (!moves.empty())
        desktop_.MoveTogether(moves);
}

void TMagnetModel::SnapSizing(TMagWindow w, TMagRect& r, int edge) {
    const TMagRect o = r;
    const int d = snap_;
    const bool left = edge == kEdgeLeft || edge == kEdgeTopLeft || edge == kEdgeBottomLeft;
    const bool right = edge == kEdgeRight || edge == kEdgeTopRight || edge == kEdgeBottomRight;
    const bool top = edge == kEdgeTop || edge == kEdgeTopLeft || edge == kEdgeTopRight;
    const bool bottom = edge == kEdgeBottom || edge == kEdgeBottomLeft || edge == kEdgeBottomRight;
    // The distances are measured from the rectangle as proposed; the overlap
    // tests see the edges already snapped.
    auto snapTo = [&](const TMagRect& t) {
        if (t.bottom + d > r.top && t.top - d < r.bottom) {
            if (left) {
                if (std::abs(o.left - t.left) < d)
                    r.left = t.left;
                if (std::abs(o.left - t.right) < d)
                    r.left = t.right;
            }
            if (right) {
                if (std::abs(o.right - t.left) < d)
                    r.right = t.left;
                if (std::abs(o.right - t.right) < d)
                    r.right = t.right;
            }
        }
        if (t.right + d > r.left && t.left - d < r.right) {
            if (top) {
                if (std::abs(o.top - t.top) < d)
                    r.top = t.top;
                if (std::abs(o.top - t.bottom) < d)
                    r.top = t.bottom;
            }
            if (bottom) {
                if (std::abs(o.bottom - t.top) < d)
                    r.bottom = t.top;
                if (std::abs(o.bottom - t.bottom) < d)
                    r.bottom = t.bottom;
            }
        }
    };
    snapTo(rects_[0]);
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].window != w && desktop_.IsVisible(items_[i].window))
            snapTo(rects_[i + 1]);
    }
}

}  // namespace tempora

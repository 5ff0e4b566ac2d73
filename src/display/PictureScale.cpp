#include "display/PictureScale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tempora {

namespace {

// What one target pixel of an axis takes from the source: `count` weights
// from source index `first` on, summing to 1.
struct Span {
    int first = 0;
    int count = 0;
    size_t weights = 0;  // index of the first weight in the axis' weight list
};

struct Axis {
    std::vector<Span> spans;
    std::vector<float> weights;
};

Axis AxisFilter(int from, int to) {
    Axis axis;
    axis.spans.resize(static_cast<size_t>(to));
    const auto add = [&](int d, int first, std::initializer_list<float> w) {
        axis.spans[static_cast<size_t>(d)] = {first, static_cast<int>(w.size()),
                                              axis.weights.size()};
        axis.weights.insert(axis.weights.end(), w);
    };
    if (to % from == 0) {
        // The same size, or a whole factor larger: every target pixel is a
        // copy of one source pixel.
        const int factor = to / from;
        for (int d = 0; d < to; ++d)
            add(d, d / factor, {1.0f});
    } else if (to < from) {
        // Area average: the target pixel covers [d, d + 1) * from / to.
        const double ratio = static_cast<double>(from) / to;
        for (int d = 0; d < to; ++d) {
            const double a = d * ratio, b = (d + 1) * ratio;
            const int first = static_cast<int>(std::floor(a));
            const int last = std::min(from - 1, static_cast<int>(std::ceil(b)) - 1);
            axis.spans[static_cast<size_t>(d)] = {first, last - first + 1, axis.weights.size()};
            for (int i = first; i <= last; ++i) {
                const double overlap = std::min<double>(b, i + 1) - std::max<double>(a, i);
                axis.weights.push_back(static_cast<float>(overlap / ratio));
            }
        }
    } else {
        // Linear between the two nearest source pixel centres; the edges
        // repeat the outermost pixel.
        const double ratio = static_cast<double>(from) / to;
        for (int d = 0; d < to; ++d) {
            const double x = std::clamp((d + 0.5) * ratio - 0.5, 0.0, from - 1.0);
            const int i = std::min(static_cast<int>(x), from - 2);
            const float f = static_cast<float>(x - i);
            add(d, i, {1.0f - f, f});
        }
    }
    return axis;
}

// A source pixel premultiplied by its coverage: drawn 1, see-through 0.
struct Premul {
    float r = 0, g = 0, b = 0, a = 0;
    void Add(const Premul& p, float w) {
        r += p.r * w;
        g += p.g * w;
        b += p.b * w;
        a += p.a * w;
    }
};

uint32_t Channel(float v) {
    return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Bitmap ScalePicture(const Bitmap& source, int width, int height, uint32_t key) {
    Bitmap out;
    if (source.Empty() || width <= 0 || height <= 0 || !out.Create(width, height, key))
        return Bitmap();
    key &= 0xFFFFFF;
    const int sw = source.Width(), sh = source.Height();
    const Axis xs = AxisFilter(sw, width), ys = AxisFilter(sh, height);

    // Rows first: each source row filtered to the target width.
    std::vector<Premul> rows(static_cast<size_t>(width) * sh);
    std::vector<Premul> line(static_cast<size_t>(sw));
    for (int y = 0; y < sh; ++y) {
        const uint32_t* src = source.Row(y);
        for (int x = 0; x < sw; ++x) {
            const uint32_t c = src[x] & 0xFFFFFF;
            line[static_cast<size_t>(x)] =
                c == key ? Premul{}
                         : Premul{static_cast<float>(c & 0xFF), static_cast<float>(c >> 8 & 0xFF),
                                  static_cast<float>(c >> 16 & 0xFF), 1.0f};
        }
        Premul* row = rows.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const Span& s = xs.spans[static_cast<size_t>(x)];
            Premul sum;
            for (int k = 0; k < s.count; ++k)
                sum.Add(line[static_cast<size_t>(s.first + k)], xs.weights[s.weights + k]);
            row[x] = sum;
        }
    }
    // Then columns; a pixel at least half covered is drawn in the average
    // colour of what covers it.
    const uint32_t nudged = key == 0xFF00FF ? 0xFE00FF : key ^ 1;
    for (int y = 0; y < height; ++y) {
        const Span& s = ys.spans[static_cast<size_t>(y)];
        uint32_t* dst = out.Row(y);
        for (int x = 0; x < width; ++x) {
            Premul sum;
            for (int k = 0; k < s.count; ++k) {
                sum.Add(rows[static_cast<size_t>(s.first + k) * width + x],
                        ys.weights[s.weights + k]);
            }
            if (sum.a < 0.5f - 1e-4f)
                continue;
            const uint32_t c =
                Channel(sum.r / sum.a) | Channel(sum.g / sum.a) << 8 | Channel(sum.b / sum.a) << 16;
            dst[x] = c == key ? nudged : c;
        }
    }
    return out;
}

}  // namespace tempora

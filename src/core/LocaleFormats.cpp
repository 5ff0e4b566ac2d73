#include "LocaleFormats.h"

#include "DateTime.h"
#include "Encoding.h"

namespace tempora {

namespace {

// Windows caps both kinds of text far below these (80 and 15 characters).
constexpr size_t kMaxPictureBytes = 256;
constexpr size_t kMaxDesignatorBytes = 64;

bool Usable(std::string_view text, size_t maxBytes) {
    if (text.empty() || text.size() > maxBytes || !IsValidUtf8(text))
        return false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Builds a pattern from fields and literal text. Literal text is quoted
// wherever FormatDateTime could read it as something else: letters and
// apostrophes travel in double quotes, double quotes in single ones.
class PatternWriter {
public:
    void Text(std::string_view text) { literal_ += text; }
    void Field(const char* field) {
        Flush();
        // "H" next to "h" would merge into one two-digit hour; an empty quote keeps them apart.
        if (!out_.empty() && (out_.back() | 0x20) == field[0])
            out_ += "\"\"";
        out_ += field;
    }
    std::string Finish() {
        Flush();
        return std::move(out_);
    }

private:
    void Flush() {
        for (size_t i = 0; i < literal_.size();) {
            const bool dquotes = literal_[i] == '"';
            size_t end = i;
            bool needsQuotes = dquotes;
            while (end < literal_.size() && (literal_[end] == '"') == dquotes) {
                needsQuotes = needsQuotes || IsAsciiLetter(literal_[end]) || literal_[end] == '\'';
                ++end;
            }
            const char quote = dquotes ? '\'' : '"';
            if (needsQuotes)
                out_ += quote;
            out_.append(literal_, i, end - i);
            if (needsQuotes)
                out_ += quote;
            i = end;
        }
        literal_.clear();
    }

    std::string out_;
    std::string literal_;
};

enum class PictureKind { Time, Date };

// The field for a run of n copies of c, or nullptr when c is text in this kind
// of picture. Windows tells month from minute by case, so the picture's letters
// are matched exactly.
const char* FieldFor(PictureKind kind, char c, size_t n, bool& showsValue) {
    static const char* const kByCount[][4] = {
        {"h", "hh", "hh", "hh"},    {"n", "nn", "nn", "nn"},    {"s", "ss", "ss", "ss"},
        {"d", "dd", "ddd", "dddd"}, {"m", "mm", "mmm", "mmmm"}, {"yy", "yy", "yyyy", "yyyy"},
    };
    const size_t k = (n > 4 ? 4 : n) - 1;
    int row = -1;
    if (kind == PictureKind::Time) {
        if (c == 't')
            return "ampm";
        row = c == 'h' || c == 'H' ? 0 : c == 'm' ? 1 : c == 's' ? 2 : -1;
    } else {
        row = c == 'd' ? 3 : c == 'M' ? 4 : c == 'y' ? 5 : -1;
    }
    if (row < 0)
        return nullptr;
    showsValue = true;
    return kByCount[row][k];
}

std::string PatternFromPicture(PictureKind kind, std::string_view picture) {
    if (!Usable(picture, kMaxPictureBytes))
        return {};
    PatternWriter w;
    bool showsValue = false;
    for (size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            // Quoted text; a doubled apostrophe inside stands for one.
            for (++i; i < picture.size(); ++i) {
                if (picture[i] == '\'') {
                    if (i + 1 >= picture.size() || picture[i + 1] != '\'')
                        break;
                    ++i;
                }
                w.Text(picture.substr(i, 1));
            }
            ++i;
            continue;
        }
        size_t n = 1;
        while (i + n < picture.size() && picture[i + n] == c)
            ++n;
        if (kind == PictureKind::Date && c == 'g') {
            w.Text("公元");
        } else if (const char* field = FieldFor(kind, c, n, showsValue)) {
            w.Field(field);
        } else {
            w.Text(picture.substr(i, n));
        }
        i += n;
    }
    return showsValue ? w.Finish() : std::string();
}

}  // namespace

std::string TimePatternFromPicture(std::string_view picture) {
    return PatternFromPicture(PictureKind::Time, picture);
}

std::string DatePatternFromPicture(std::string_view picture) {
    return PatternFromPicture(PictureKind::Date, picture);
}

void ApplyLocalePictures(std::string_view timePicture, std::string_view shortDatePicture,
                         std::string_view amDesignator, std::string_view pmDesignator) {
    const bool designators =
        Usable(amDesignator, kMaxDesignatorBytes) && Usable(pmDesignator, kMaxDesignatorBytes);
    SetLocaleFormats(TimePatternFromPicture(timePicture), DatePatternFromPicture(shortDatePicture),
                     designators ? std::string(amDesignator) : std::string(),
                     designators ? std::string(pmDesignator) : std::string());
}

}  // namespace tempora

#include "app/StatusRows.h"

namespace {

const char kEllipsis[] = "...";

bool Fits(const std::string& text, size_t length, int width, const StatusTextWidth& measure) {
    return measure(text.c_str(), static_cast<int>(length)) <= width;
}

size_t TrimmedEnd(const std::string& text, size_t end) {
    while (end > 0 && text[end - 1] == ' ') --end;
    return end;
}

// The longest start of `text` that fits, ending at a word's end when any
// word fits, else inside the first word; `reserve` is appended after it.
size_t FittingStart(const std::string& text, int width, const std::string& reserve,
                    const StatusTextWidth& measure) {
    auto fits = [&](size_t length) {
        return Fits(text.substr(0, length) + reserve, length + reserve.size(), width, measure);
    };
    size_t best = 0;
    for (size_t i = 1; i <= text.size(); ++i) {
        const bool wordEnd = i == text.size() || text[i] == ' ';
        if (!wordEnd || text[i - 1] == ' ') continue;
        if (!fits(i)) break;
        best = i;
    }
    if (best) return best;
    // A word wider than the row: as many of its characters as fit.
    size_t chars = 0;
    while (chars < text.size() && text[chars] != ' ' && fits(chars + 1)) ++chars;
    return chars;
}

std::string Ended(const std::string& text, int width, const StatusTextWidth& measure) {
    if (Fits(text, text.size(), width, measure)) return text;
    const size_t end = TrimmedEnd(text, FittingStart(text, width, kEllipsis, measure));
    return text.substr(0, end) + kEllipsis;
}

}  // namespace

StatusRows FitStatusRows(const std::string& first, const std::string& second, int width,
                         const StatusTextWidth& measure) {
    StatusRows rows;
    if (Fits(first, first.size(), width, measure) || !second.empty()) {
        rows.first = Ended(first, width, measure);
        rows.second = Ended(second, width, measure);
        return rows;
    }
    const size_t split = FittingStart(first, width, std::string(), measure);
    rows.first = first.substr(0, TrimmedEnd(first, split));
    size_t rest = split;
    while (rest < first.size() && first[rest] == ' ') ++rest;
    rows.second = Ended(first.substr(rest), width, measure);
    return rows;
}

namespace {

// The largest n in [1, most] for which fits(n) holds, 0 when none does;
// widths only grow with n, so halving finds it in a few measurements
// (a path of a thousand characters: ten), cheap enough for every paint.
template <class Fits>
size_t LargestFitting(size_t most, const Fits& fits) {
    size_t low = 0, high = most;
    while (low < high) {
        const size_t mid = low + (high - low + 1) / 2;
        if (fits(mid)) low = mid;
        else high = mid - 1;
    }
    return low;
}

}  // namespace

std::string FitPathRow(const std::string& label, const std::string& path, int width,
                       const StatusTextWidth& measure) {
    auto fits = [&](const std::string& text) { return Fits(text, text.size(), width, measure); };
    const std::string whole = label + path;
    if (fits(whole)) return whole;
    const std::string dots = kEllipsis;
    // `before`, as much of `text` as fits, "...", `after`.
    auto cut = [&](const std::string& before, const std::string& text, const std::string& after) {
        auto row = [&](size_t k) { return before + text.substr(0, k) + dots + after; };
        return row(LargestFitting(text.size(), [&](size_t k) { return fits(row(k)); }));
    };
    if (!fits(label + dots)) return cut("", label, "");
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return cut(label, path, "");
    const std::string head = path.substr(0, slash), tail = path.substr(slash);
    if (fits(label + dots + tail)) return cut(label, head, tail);
    // The name alone is too wide: its start, after the folders' dots.
    return cut(label + dots, tail, "");
}

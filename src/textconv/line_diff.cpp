// Myers' O(ND) difference with the middle-snake split: each step finds where a shortest
// edit path crosses the middle diagonal band and solves the two halves, so memory stays
// linear. Lines are compared by number: equal lines get the same number first.
#include "textconv/line_diff.h"

#include <cstdio>
#include <unordered_map>

namespace zorvane {

namespace {

class Differ {
  public:
    Differ(std::vector<int> a, std::vector<int> b)
        : a_(std::move(a)), b_(std::move(b)), removed(a_.size()), added(b_.size()) {
        compare(0, a_.size(), 0, b_.size());
    }

  private:
    std::vector<int> a_, b_;

  public:
    std::vector<char> removed, added;

  private:
    struct Snake {
        size_t x, y, u, v;  // a[x, u) equals b[y, v)
    };

    void compare(size_t a0, size_t n, size_t b0, size_t m) {
        while (n && m && a_[a0] == b_[b0]) ++a0, ++b0, --n, --m;
        while (n && m && a_[a0 + n - 1] == b_[b0 + m - 1]) --n, --m;
        if (n == 0 || m == 0) {
            for (size_t i = 0; i < n; ++i) removed[a0 + i] = 1;
            for (size_t j = 0; j < m; ++j) added[b0 + j] = 1;
            return;
        }
        // With the common ends gone at least two edits remain, so both halves are smaller.
        Snake s = middleSnake(a0, n, b0, m);
        compare(a0, s.x, b0, s.y);
        compare(a0 + s.u, n - s.u, b0 + s.v, m - s.v);
    }

    Snake middleSnake(size_t a0, size_t n, size_t b0, size_t m) {
        const ptrdiff_t N = static_cast<ptrdiff_t>(n), M = static_cast<ptrdiff_t>(m);
        const ptrdiff_t max = (N + M + 1) / 2, delta = N - M, off = max + 1;
        const bool odd = (delta & 1) != 0;
        // Furthest x reached on each diagonal k = x - y, forward from the start and
        // backward from the end (there in coordinates counted from the end).
        std::vector<ptrdiff_t> vf(static_cast<size_t>(2 * max + 3), 0), vb(vf.size(), 0);
        auto at = [off](std::vector<ptrdiff_t>& v, ptrdiff_t k) -> ptrdiff_t& {
            return v[static_cast<size_t>(k + off)];
        };
        auto a = [&](ptrdiff_t i) { return a_[a0 + static_cast<size_t>(i)]; };
        auto b = [&](ptrdiff_t j) { return b_[b0 + static_cast<size_t>(j)]; };
        for (ptrdiff_t d = 0; d <= max; ++d) {
            for (ptrdiff_t k = -d; k <= d; k += 2) {
                ptrdiff_t x = (k == -d || (k != d && at(vf, k - 1) < at(vf, k + 1)))
                                  ? at(vf, k + 1)
                                  : at(vf, k - 1) + 1;
                ptrdiff_t y = x - k, sx = x, sy = y;
                while (x < N && y < M && a(x) == b(y)) ++x, ++y;
                at(vf, k) = x;
                ptrdiff_t kr = delta - k;
                if (odd && kr >= -(d - 1) && kr <= d - 1 && x + at(vb, kr) >= N)
                    return {static_cast<size_t>(sx), static_cast<size_t>(sy),
                            static_cast<size_t>(x), static_cast<size_t>(y)};
            }
            for (ptrdiff_t k = -d; k <= d; k += 2) {
                ptrdiff_t x = (k == -d || (k != d && at(vb, k - 1) < at(vb, k + 1)))
                                  ? at(vb, k + 1)
                                  : at(vb, k - 1) + 1;
                ptrdiff_t y = x - k, sx = x, sy = y;
                while (x < N && y < M && a(N - x - 1) == b(M - y - 1)) ++x, ++y;
                at(vb, k) = x;
                ptrdiff_t kf = delta - k;
                if (!odd && kf >= -d && kf <= d && at(vf, kf) + x >= N)
                    return {static_cast<size_t>(N - x), static_cast<size_t>(M - y),
                            static_cast<size_t>(N - sx), static_cast<size_t>(M - sy)};
            }
        }
        return {0, 0, 0, 0};  // not reached: the paths always meet by d = max
    }
};

std::string rangeText(size_t before, size_t count) {
    // diff -u names an empty range by the line before it, a one-line range by its line alone.
    size_t start = count ? before + 1 : before;
    return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<LineEdit> diffLines(const std::vector<std::string_view>& oldLines,
                                const std::vector<std::string_view>& newLines) {
    std::unordered_map<std::string_view, int> numbers;
    auto numbered = [&](const std::vector<std::string_view>& lines) {
        std::vector<int> out;
        out.reserve(lines.size());
        for (std::string_view line : lines)
            out.push_back(numbers.emplace(line, static_cast<int>(numbers.size())).first->second);
        return out;
    };
    std::vector<int> a = numbered(oldLines);
    std::vector<int> b = numbered(newLines);
    Differ differ(std::move(a), std::move(b));
    std::vector<LineEdit> edits;
    size_t i = 0, j = 0;
    while (i < oldLines.size() || j < newLines.size()) {
        if (i < oldLines.size() && differ.removed[i]) {
            edits.push_back({LineEdit::Remove, i++, j});
        } else if (j < newLines.size() && differ.added[j]) {
            edits.push_back({LineEdit::Add, i, j++});
        } else {
            edits.push_back({LineEdit::Keep, i++, j++});
        }
    }
    return edits;
}

std::string unifiedDiff(std::string_view oldText, std::string_view newText, int context) {
    std::vector<std::string_view> a = splitLines(oldText), b = splitLines(newText);
    std::vector<LineEdit> edits = diffLines(a, b);
    std::vector<size_t> changes;
    for (size_t e = 0; e < edits.size(); ++e)
        if (edits[e].op != LineEdit::Keep) changes.push_back(e);
    std::string out;
    const size_t c = static_cast<size_t>(context < 0 ? 0 : context);
    for (size_t first = 0; first < changes.size();) {
        // Changes separated by at most 2 × context kept lines share a hunk.
        size_t last = first;
        while (last + 1 < changes.size() && changes[last + 1] - changes[last] - 1 <= 2 * c) ++last;
        size_t begin = changes[first] >= c ? changes[first] - c : 0;
        size_t end = std::min(edits.size(), changes[last] + 1 + c);
        size_t oldCount = 0, newCount = 0;
        for (size_t e = begin; e < end; ++e) {
            if (edits[e].op != LineEdit::Add) ++oldCount;
            if (edits[e].op != LineEdit::Remove) ++newCount;
        }
        out += "@@ -" + rangeText(edits[begin].oldLine, oldCount) + " +" +
               rangeText(edits[begin].newLine, newCount) + " @@\n";
        for (size_t e = begin; e < end; ++e) {
            const LineEdit& edit = edits[e];
            out += edit.op == LineEdit::Keep ? ' ' : edit.op == LineEdit::Remove ? '-' : '+';
            out += edit.op == LineEdit::Add ? b[edit.newLine] : a[edit.oldLine];
            out += '\n';
        }
        first = last + 1;
    }
    return out;
}

}  // namespace zorvane

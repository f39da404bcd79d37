#include "CUnifiedDiff.h"

#include <algorithm>

std::vector<std::string_view> CUnifiedDiff::Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<CUnifiedDiff::Edit> CUnifiedDiff::Edits(const std::vector<std::string_view>& a,
                                                    const std::vector<std::string_view>& b) {
    // The common start and end need no search.
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) {
        ++head;
    }
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
        ++tail;
    }
    const int n = static_cast<int>(a.size() - head - tail);
    const int m = static_cast<int>(b.size() - head - tail);
    const auto same = [&](int x, int y) {
        return a[head + static_cast<size_t>(x)] == b[head + static_cast<size_t>(y)];
    };

    // trace[d] holds V after step d: V[k] the furthest x on diagonal k = x - y, for k in
    // [-d, d], stored at k + d.
    std::vector<std::vector<int>> trace;
    const int limit = std::min(n + m, static_cast<int>(kMaxEdits));
    bool found = n + m == 0;
    std::vector<int> previous;
    for (int d = 0; !found && d <= limit; ++d) {
        std::vector<int> v(static_cast<size_t>(2 * d + 1));
        for (int k = -d; k <= d; k += 2) {
            const auto at = [&](int kk) { return previous[static_cast<size_t>(kk + d - 1)]; };
            int x = 0;
            if (d == 0) {
                x = 0;
            } else if (k == -d || (k != d && at(k - 1) < at(k + 1))) {
                x = at(k + 1);  // down: an added line
            } else {
                x = at(k - 1) + 1;  // right: a removed line
            }
            int y = x - k;
            while (x < n && y < m && same(x, y)) {
                ++x;
                ++y;
            }
            v[static_cast<size_t>(k + d)] = x;
            if (x >= n && y >= m) {
                found = true;
            }
        }
        trace.push_back(v);
        previous = std::move(v);
    }

    std::vector<Edit> middle;
    if (!found) {
        for (int x = 0; x < n; ++x) {
            middle.push_back({Op::Removed, head + static_cast<size_t>(x)});
        }
        for (int y = 0; y < m; ++y) {
            middle.push_back({Op::Added, head + static_cast<size_t>(y)});
        }
    } else if (n + m != 0) {
        int x = n;
        int y = m;
        for (int d = static_cast<int>(trace.size()) - 1; d > 0; --d) {
            const std::vector<int>& v = trace[static_cast<size_t>(d - 1)];
            const auto at = [&](int kk) { return v[static_cast<size_t>(kk + d - 1)]; };
            const int k = x - y;
            const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
            const int startK = down ? k + 1 : k - 1;
            const int startX = at(startK);
            const int startY = startX - startK;
            while (x > (down ? startX : startX + 1) && y > (down ? startY + 1 : startY)) {
                --x;
                --y;
                middle.push_back({Op::Same, head + static_cast<size_t>(x)});
            }
            if (down) {
                --y;
                middle.push_back({Op::Added, head + static_cast<size_t>(y)});
            } else {
                --x;
                middle.push_back({Op::Removed, head + static_cast<size_t>(x)});
            }
        }
        while (x > 0 && y > 0) {
            --x;
            --y;
            middle.push_back({Op::Same, head + static_cast<size_t>(x)});
        }
        std::reverse(middle.begin(), middle.end());
    }

    std::vector<Edit> edits;
    edits.reserve(head + middle.size() + tail);
    for (size_t i = 0; i < head; ++i) {
        edits.push_back({Op::Same, i});
    }
    edits.insert(edits.end(), middle.begin(), middle.end());
    for (size_t i = 0; i < tail; ++i) {
        edits.push_back({Op::Same, a.size() - tail + i});
    }
    return edits;
}

std::string CUnifiedDiff::Diff(std::string_view first, std::string_view second,
                               std::string_view firstName, std::string_view secondName) {
    const std::vector<std::string_view> a = Lines(first);
    const std::vector<std::string_view> b = Lines(second);
    const std::vector<Edit> edits = Edits(a, b);
    if (std::all_of(edits.begin(), edits.end(), [](const Edit& e) { return e.op == Op::Same; })) {
        return {};
    }
    // Line numbers in both texts before each edit.
    std::vector<size_t> lineA(edits.size() + 1);
    std::vector<size_t> lineB(edits.size() + 1);
    for (size_t i = 0; i < edits.size(); ++i) {
        lineA[i + 1] = lineA[i] + (edits[i].op != Op::Added ? 1 : 0);
        lineB[i + 1] = lineB[i] + (edits[i].op != Op::Removed ? 1 : 0);
    }
    std::string out = "--- " + std::string(firstName) + "\n+++ " + std::string(secondName) + "\n";
    size_t i = 0;
    while (i < edits.size()) {
        if (edits[i].op == Op::Same) {
            ++i;
            continue;
        }
        // A hunk: from kContext lines before this change to kContext lines after the last
        // change that lies within 2 * kContext unchanged lines of the one before.
        const size_t start = i > kContext ? i - kContext : 0;
        size_t end = i;
        size_t last = i;
        while (end < edits.size()) {
            if (edits[end].op != Op::Same) {
                last = end;
            } else if (end - last > 2 * kContext) {
                break;
            }
            ++end;
        }
        end = std::min(edits.size(), last + 1 + kContext);
        const auto range = [](size_t from, size_t count) {
            const size_t shown = count == 0 ? from : from + 1;
            return std::to_string(shown) + (count == 1 ? "" : "," + std::to_string(count));
        };
        out += "@@ -" + range(lineA[start], lineA[end] - lineA[start]) + " +" +
               range(lineB[start], lineB[end] - lineB[start]) + " @@\n";
        for (size_t e = start; e < end; ++e) {
            const Edit& edit = edits[e];
            const char mark = edit.op == Op::Same ? ' ' : edit.op == Op::Removed ? '-' : '+';
            out += mark;
            out += edit.op == Op::Added ? b[edit.line] : a[edit.line];
            out += '\n';
        }
        i = end;
    }
    return out;
}

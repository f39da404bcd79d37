// The unified diff of two texts, line by line (quilinspect --diff): "--- A", "+++ B", then
// hunks "@@ -start,count +start,count @@" with three lines of context, "-" for a line only in
// the first text, "+" for one only in the second, " " for one in both. The lines in common
// are a longest common subsequence found by Myers' algorithm; past kMaxEdits differing lines
// the middle part that differs is shown as removed and added whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CUnifiedDiff {
public:
    static constexpr size_t kContext = 3;
    static constexpr size_t kMaxEdits = 2000;

    // Empty when the texts are equal.
    static std::string Diff(std::string_view first, std::string_view second,
                            std::string_view firstName, std::string_view secondName);

private:
    enum class Op { Same, Removed, Added };
    struct Edit {
        Op op;
        size_t line;  // in the first text (Same, Removed) or the second (Added)
    };
    static std::vector<std::string_view> Lines(std::string_view text);
    // The edits turning a[0, n) into b[0, m): Myers' greedy walk, its trace kept to go back.
    static std::vector<Edit> Edits(const std::vector<std::string_view>& a,
                                   const std::vector<std::string_view>& b);
};

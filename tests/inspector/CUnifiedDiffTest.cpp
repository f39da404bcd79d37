// The unified diff of --diff, compared whole with what `diff -u` prints for the same texts.
#include <gtest/gtest.h>

#include <string>

#include "CUnifiedDiff.h"

namespace {

// The lines from `first` to `last`, each ended, with `changes` applied: "n=text" replaces
// line n, "n-" removes it.
std::string Numbers(int first, int last, std::initializer_list<std::string> changes = {}) {
    std::string text;
    for (int n = first; n <= last; ++n) {
        std::string line = std::to_string(n);
        bool removed = false;
        for (const std::string& change : changes) {
            const std::string mark = std::to_string(n);
            if (change.rfind(mark + "=", 0) == 0) {
                line = change.substr(mark.size() + 1);
            } else if (change == mark + "-") {
                removed = true;
            }
        }
        if (!removed) {
            text += line + "\n";
        }
    }
    return text;
}

}  // namespace

TEST(CUnifiedDiffTest, HunksAreThoseOfDiffU) {
    const struct {
        const char* name;
        std::string first;
        std::string second;
        std::string hunks;  // after the two name lines
    } cases[] = {
        {"equal", Numbers(1, 12), Numbers(1, 12), ""},
        {"two changes close enough for one hunk", Numbers(1, 12),
         Numbers(1, 12, {"5=five", "12=twelve"}),
         "@@ -2,11 +2,11 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n 9\n 10\n 11\n-12\n+twelve\n"},
        {"from nothing", "", Numbers(1, 3), "@@ -0,0 +1,3 @@\n+1\n+2\n+3\n"},
        {"to nothing", Numbers(1, 2), "", "@@ -1,2 +0,0 @@\n-1\n-2\n"},
        {"two hunks", Numbers(1, 20), Numbers(1, 20, {"2-", "18=x"}),
         "@@ -1,5 +1,4 @@\n 1\n-2\n 3\n 4\n 5\n@@ -15,6 +14,6 @@\n 15\n 16\n 17\n-18\n+x\n 19\n "
         "20\n"},
        {"one line", "a\n", "b\n", "@@ -1 +1 @@\n-a\n+b\n"},
        {"moved line", Numbers(1, 4), "2\n3\n4\n1\n", "@@ -1,4 +1,4 @@\n-1\n 2\n 3\n 4\n+1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CUnifiedDiff::Diff(c.first, c.second, "A", "B"),
                  c.hunks.empty() ? "" : "--- A\n+++ B\n" + c.hunks);
    }
}

// Past the edit limit the differing middle is removed and added whole, still a valid diff.
TEST(CUnifiedDiffTest, ManyEditsAreShownAsOneReplacement) {
    std::string first;
    std::string second;
    for (size_t i = 0; i <= CUnifiedDiff::kMaxEdits; ++i) {
        first += "a" + std::to_string(i) + "\n";
        second += "b" + std::to_string(i) + "\n";
    }
    const std::string diff = CUnifiedDiff::Diff("same\n" + first, "same\n" + second, "A", "B");
    const std::string count = std::to_string(CUnifiedDiff::kMaxEdits + 1);
    EXPECT_EQ(diff.substr(0, diff.find('\n', 12) + 1),
              "--- A\n+++ B\n@@ -1," + std::to_string(CUnifiedDiff::kMaxEdits + 2) + " +1," +
                  std::to_string(CUnifiedDiff::kMaxEdits + 2) + " @@\n");
    EXPECT_EQ(diff.find("\n-a" + count), std::string::npos);
    EXPECT_NE(diff.find("\n-a0\n-a1\n"), std::string::npos);
    EXPECT_NE(diff.find("\n+b0\n+b1\n"), std::string::npos);
}

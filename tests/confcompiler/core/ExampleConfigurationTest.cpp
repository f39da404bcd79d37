// The bundled example configuration compiles without any warning or error into exactly the
// database pinned in tests/data/QL_Configuration.expected.txt: a listing of the file, part by
// part, with the three header dates zeroed. When the compiler's output changes on purpose the
// test leaves the new listing as QL_Configuration.actual.txt in the temporary directory; check
// it record by record against the configuration, then copy it over the expected file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "ByteOrder.h"
#include "CConfCompiler.h"
#include "InspectorCheck.h"
#include "PdbLayout.h"
#include "TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A comment line per part (the header with the record list, then each record with its index
// and size), then the part's bytes in hexadecimal, 16 to a line behind their offset in the part.
std::string Listing(Bytes file) {
    // The creation, modification and backup dates.
    std::fill(file.begin() + PdbHeader::kCreationDate.offset,
              file.begin() + PdbHeader::kModificationNumber.offset, 0);
    const uint16_t count = ByteOrder::Load16(file.data() + PdbHeader::kRecordCount.offset);
    std::vector<size_t> starts = {0};
    for (uint16_t i = 0; i < count; ++i) {
        starts.push_back(ByteOrder::Load32(file.data() + PdbHeader::kSize +
                                           PdbRecordEntry::kSize * i +
                                           PdbRecordEntry::kDataOffset.offset));
    }
    starts.push_back(file.size());
    std::ostringstream out;
    for (size_t part = 0; part + 1 < starts.size(); ++part) {
        const size_t begin = starts[part];
        const size_t end = starts[part + 1];
        out << "# " << (part == 0 ? "header and record list" : "record " + std::to_string(part - 1))
            << ", " << end - begin << " bytes\n";
        for (size_t line = begin; line < end; line += 16) {
            char text[8];
            std::snprintf(text, sizeof text, "%05zX", line - begin);
            out << text;
            for (size_t i = line; i < std::min(end, line + 16); ++i) {
                std::snprintf(text, sizeof text, " %02X", file[i]);
                out << text;
            }
            out << '\n';
        }
    }
    return out.str();
}

TEST(ExampleConfigurationTest, CompilesCleanlyIntoThePinnedDatabase) {
    TempDir dir;
    std::ostringstream console;
    ASSERT_EQ(CConfCompiler(console).Run(
                  {QUIL_SOURCE_DIR "/examples/configuration.xml", dir.File("out.pdb")}),
              0)
        << console.str();
    EXPECT_EQ(console.str().find("[WARNING"), std::string::npos) << console.str();
    EXPECT_EQ(console.str().find("[ERROR"), std::string::npos) << console.str();
    ExpectInspectorFindsNothing(dir.File("out.pdb"));

    const std::string actual = Listing(dir.ReadBytes("out.pdb"));
    std::ifstream in(QUIL_SOURCE_DIR "/tests/data/QL_Configuration.expected.txt");
    const std::string expected{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
    if (actual == expected) {
        return;
    }
    const auto saved = std::filesystem::temp_directory_path() / "QL_Configuration.actual.txt";
    std::ofstream(saved) << actual;
    std::istringstream a(actual);
    std::istringstream e(expected);
    std::string lineA;
    std::string lineE;
    int number = 1;
    while (std::getline(a, lineA) && std::getline(e, lineE) && lineA == lineE) {
        ++number;
    }
    ADD_FAILURE() << "The database differs from the pinned listing at line " << number
                  << ":\n  expected: " << lineE << "\n  actual:   " << lineA
                  << "\nThe whole listing is in " << saved;
}

}  // namespace

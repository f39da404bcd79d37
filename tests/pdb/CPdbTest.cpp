#include "CPdb.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <sstream>

#include "ExpectedBytes.h"
#include "TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(CPdbTest, WholeFileOfTwoRecordsMatchesTheLayout) {
    CPdb pdb(CPdb::kConfigurationType, CPdb::kConfigurationCreator, 0x01020304);
    pdb.SetName("QL_Configuration");
    const uint8_t first[] = {0xAA, 0xBB, 0xCC};
    const uint8_t second[] = {0x11};
    ASSERT_TRUE(pdb.AddRecord(first, sizeof first));
    ASSERT_TRUE(pdb.AddRecord(second, sizeof second));

    const ExpectedBytes expected =
        ExpectedBytes::PdbHeader("QL_Configuration", {0x04, 0x03, 0x02, 0x01}, {'L', 'Q', 'S', 'E'},
                                 {'O', 'N', 'R', 'T'}, {3, 1})
            .Raw({0xAA, 0xBB, 0xCC, 0x11});
    EXPECT_EQ(Bytes(expected.Bytes().begin() + 78, expected.Bytes().begin() + 94),
              (Bytes{94, 0, 0, 0, 0, 0, 0, 0, 97, 0, 0, 0, 0, 0, 0, 0}));  // no gap
    EXPECT_EQ(pdb.Image(), expected.Bytes());
}

TEST(CPdbTest, TypeAndCreatorBytesAndEqualDates) {
    CPdb pdb;
    const Bytes image = pdb.Image();
    ASSERT_EQ(image.size(), CPdb::kHeaderSize);
    EXPECT_EQ(Bytes(image.begin() + 60, image.begin() + 68),
              (Bytes{0x4C, 0x51, 0x53, 0x45, 0x4F, 0x4E, 0x52, 0x54}));
    EXPECT_EQ(Bytes(image.begin() + 36, image.begin() + 40),
              Bytes(image.begin() + 40, image.begin() + 44));
    EXPECT_EQ(Bytes(image.begin() + 36, image.begin() + 40),
              Bytes(image.begin() + 44, image.begin() + 48));
    // Taken from the clock once: close to now in seconds since 1904.
    const uint32_t date = image[36] | image[37] << 8 | image[38] << 16 | uint32_t(image[39]) << 24;
    const uint32_t now = CPdb::PalmSeconds(::time(nullptr));
    EXPECT_LE(now - date, 5u);
}

TEST(CPdbTest, PalmSecondsCountFrom1904) {
    EXPECT_EQ(CPdb::PalmSeconds(0), 2082844800u);
    // 2026-01-01 00:00:00 UTC.
    EXPECT_EQ(CPdb::PalmSeconds(1767225600), 3850070400u);
}

TEST(CPdbTest, NineRecordsWithAnEmptySeventhShareAnOffset) {
    CPdb pdb(1, 2, 3);
    const uint8_t byte = 7;
    for (int i = 0; i < 9; ++i) {
        ASSERT_TRUE(pdb.AddRecord(&byte, i == 7 ? 0 : 1));
    }
    const Bytes image = pdb.Image();
    const auto entry = [&](int i) {
        const size_t at = 78 + 8 * i;
        return uint32_t(image[at] | image[at + 1] << 8 | image[at + 2] << 16 | image[at + 3] << 24);
    };
    EXPECT_EQ(image[76], 9);
    EXPECT_EQ(entry(0), 150u);  // directly after the list of 9 entries
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(entry(i), 150u + i);
    }
    EXPECT_EQ(entry(7), 157u);
    EXPECT_EQ(entry(8), 157u);
    EXPECT_EQ(image.size(), 158u);
}

TEST(CPdbTest, NameFieldIsZeroPaddedOrFullWithoutTerminator) {
    CPdb pdb(1, 2, 3);
    pdb.SetName("QL_PalmClientTransferDB");
    Bytes image = pdb.Image();
    EXPECT_EQ(std::string(image.begin(), image.begin() + 23), "QL_PalmClientTransferDB");
    EXPECT_EQ(Bytes(image.begin() + 23, image.begin() + 32), Bytes(9, 0));

    pdb.SetName(std::string(40, 'x'));
    image = pdb.Image();
    EXPECT_EQ(std::string(image.begin(), image.begin() + 32), std::string(32, 'x'));
    EXPECT_EQ(image[32], 0);  // attributes untouched
}

TEST(CPdbTest, ReplaceKeepsTheRecordSize) {
    CPdb pdb(1, 2, 3);
    const uint8_t original[] = {1, 2, 3};
    const uint8_t update[] = {9, 8, 7, 6, 5};
    pdb.AddRecord(original, 3);
    EXPECT_TRUE(pdb.ReplaceRecord(update, sizeof update, 0));
    EXPECT_EQ(pdb.Record(0), (Bytes{9, 8, 7}));
    EXPECT_FALSE(pdb.ReplaceRecord(update, sizeof update, 1));
    EXPECT_FALSE(pdb.ReplaceRecord(update, 2, 0));  // fewer bytes than the record holds
    EXPECT_EQ(pdb.Record(0), (Bytes{9, 8, 7}));
}

TEST(CPdbTest, TheHundredAndFirstRecordIsRefused) {
    CPdb pdb(1, 2, 3);
    for (size_t i = 0; i < CPdb::kMaxRecords; ++i) {
        ASSERT_TRUE(pdb.AddRecord("x", 1));
    }
    EXPECT_FALSE(pdb.AddRecord("x", 1));
    EXPECT_EQ(pdb.RecordCount(), CPdb::kMaxRecords);
}

TEST(CPdbTest, WriteReplacesALongerFileCompletelyWithPlainPermissions) {
    TempDir dir;
    dir.Write("out.pdb", std::string(5000, 'z'));
    CPdb pdb(1, 2, 3);
    pdb.AddRecord("abc", 3);
    std::ostringstream console;
    ASSERT_TRUE(pdb.Write(dir.File("out.pdb"), console));
    EXPECT_EQ(console.str(), "Creating PDB-file: " + dir.File("out.pdb") + "\n");
    EXPECT_EQ(dir.ReadBytes("out.pdb"), pdb.Image());
    EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary left behind

#ifndef _WIN32  // permission bits
    struct stat info;
    ASSERT_EQ(::stat(dir.File("out.pdb").c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
#endif
}

TEST(CPdbTest, ATargetThatCannotBeCreatedIsReported) {
    TempDir dir;
    CPdb pdb(1, 2, 3);
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("missing/out.pdb"), "No such file or directory"},
        {dir.Path(), "Is a directory"},
    };
    for (const auto& [target, reason] : cases) {
        std::ostringstream console;
        EXPECT_FALSE(pdb.Write(target, console));
        EXPECT_EQ(console.str(), "Creating PDB-file: " + target + "\nError creating " + target +
                                     " file\n" + reason + "\n");
    }
    EXPECT_EQ(dir.EntryCount(), 0u);
}

// A write that fails half-way (the file size limit is hit) must leave the old database as it
// was and no temporary file. Runs in a child process so the limit does not touch the tests.
TEST(CPdbTest, AFailedWriteLeavesTheExistingFileIntact) {
#ifdef _WIN32
    GTEST_SKIP() << "file size limits are POSIX resource limits (setrlimit); "
                    "OutputTargetTest.WindowsTargets fails a write on Windows";
#else
    TempDir dir;
    const std::string old(300, 'o');
    dir.Write("out.pdb", old);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CPdb pdb(1, 2, 3);
        const std::string big(4000, 'n');
        pdb.AddRecord(big.data(), big.size());
        std::ostringstream console;
        const bool written = pdb.Write(dir.File("out.pdb"), console);
        const bool reported = console.str().find("Error writing " + dir.File("out.pdb") +
                                                 " file\n") != std::string::npos;
        ::_exit(!written && reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const Bytes after = dir.ReadBytes("out.pdb");
    EXPECT_EQ(std::string(after.begin(), after.end()), old);
    EXPECT_EQ(dir.EntryCount(), 1u);
#endif
}

}  // namespace

// What the database writer does with the target it is given: links are followed, targets it
// may not write or that are no regular files are refused, and every failure gives a reason;
// an existing file keeps its permissions and owner; and neither compiler writes over its input.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <vector>

#include "CPdb.h"
#include "CPlatform.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

// A database of one record.
struct Database : CPdb {
    Database() : CPdb(1, 2, 3) { AddRecord("new", 3); }
};

std::string Refusal(const std::string& target, const std::string& reason) {
    return "Creating PDB-file: " + target + "\nError creating " + target + " file\n" + reason +
           "\n";
}

#ifdef _WIN32
// Windows has no FIFOs, set-user-id or permission bits, and the C++ library of this build
// makes no symbolic links there: WindowsTargets checks what Windows has instead.
#define SKIP_ON_WINDOWS() GTEST_SKIP() << "POSIX file kinds and permissions; see WindowsTargets"
#else
#define SKIP_ON_WINDOWS()
#endif

TEST(OutputTargetTest, LinksAreFollowedAndStay) {
    SKIP_ON_WINDOWS();
    TempDir dir;
    fs::create_directory(dir.File("sub"));
    struct Case {
        std::string link;    // written through
        std::string points;  // what the link holds
        std::string file;    // the file that must receive the database
    };
    const Case cases[] = {
        {"relative.pdb", "real.pdb", "real.pdb"},
        {"absolute.pdb", dir.File("sub/real.pdb"), "sub/real.pdb"},
        {"chain.pdb", "relative.pdb", "real.pdb"},
        {"sub/up.pdb", "../real.pdb", "real.pdb"},
        {"dangling.pdb", "sub/new.pdb", "sub/new.pdb"},
    };
    dir.Write("real.pdb", "old");
    dir.Write("sub/real.pdb", "old");
    for (const Case& c : cases) {
        fs::create_symlink(c.points, dir.File(c.link));
    }
    const Database pdb;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        std::ostringstream console;
        ASSERT_TRUE(pdb.Write(dir.File(c.link), console)) << console.str();
        EXPECT_EQ(dir.ReadBytes(c.file), pdb.Image());
        EXPECT_TRUE(fs::is_symlink(dir.File(c.link)));
        EXPECT_EQ(fs::read_symlink(dir.File(c.link)), c.points);
    }
    // No temporary file left: four links, real.pdb and sub; in sub real.pdb, up.pdb, new.pdb.
    EXPECT_EQ(dir.EntryCount(), 6u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("sub")), fs::directory_iterator()), 3);
}

TEST(OutputTargetTest, TargetsThatAreNoRegularFilesAreRefused) {
    SKIP_ON_WINDOWS();
#ifndef _WIN32
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0666), 0);
    fs::create_directory(dir.File("folder"));
    fs::create_symlink("folder", dir.File("to-folder"));
    fs::create_symlink("loop-b", dir.File("loop-a"));
    fs::create_symlink("loop-a", dir.File("loop-b"));
    const std::pair<std::string, std::string> cases[] = {
        {"fifo", "Not a regular file"},
        {"folder", "Is a directory"},
        {"to-folder", "Is a directory"},
        {"loop-a", "Too many levels of symbolic links"},
    };
    const Database pdb;
    for (const auto& [name, reason] : cases) {
        std::ostringstream console;
        EXPECT_FALSE(pdb.Write(dir.File(name), console));
        EXPECT_EQ(console.str(), Refusal(dir.File(name), reason));
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("fifo")));
    EXPECT_EQ(dir.EntryCount(), 5u);
#endif
}

// An existing file that the user may not write is refused even in a folder the user may
// write. Root may write any file, so as root the writer runs as nobody in a child.
TEST(OutputTargetTest, ATargetTheUserMayNotWriteIsRefused) {
    SKIP_ON_WINDOWS();
#ifndef _WIN32
    TempDir dir;
    const std::string target = dir.File("readonly.pdb");
    dir.Write("readonly.pdb", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        std::ostringstream console;
        const bool written = Database().Write(target, console);
        ::_exit(!written && console.str() == Refusal(target, "Permission denied") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::vector<uint8_t> after = dir.ReadBytes("readonly.pdb");
    EXPECT_EQ(std::string(after.begin(), after.end()), "old");
    EXPECT_EQ(dir.EntryCount(), 1u);
#endif
}

TEST(OutputTargetTest, AnExistingTargetKeepsItsPermissions) {
    SKIP_ON_WINDOWS();
#ifndef _WIN32
    TempDir dir;
    dir.Write("out.pdb", "old");
    ASSERT_EQ(::chmod(dir.File("out.pdb").c_str(), 0640), 0);
    std::ostringstream console;
    ASSERT_TRUE(Database().Write(dir.File("out.pdb"), console));
    struct stat info;
    ASSERT_EQ(::stat(dir.File("out.pdb").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
#endif
}

// An existing file keeps its owner and group where the writer may give them (root may); a
// writer who may not still replaces it, as its own file.
TEST(OutputTargetTest, AnExistingTargetKeepsItsOwnerWhereAllowed) {
    SKIP_ON_WINDOWS();
#ifndef _WIN32
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    // The file's owner and group, the writer, the owner and group afterwards.
    for (const auto& [owner, writer, after] :
         {std::tuple{65534u, 0u, 65534u}, {0u, 65534u, 65534u}}) {
        TempDir dir;
        const std::string target = dir.Write("out.pdb", "old");
        ASSERT_EQ(::chmod(target.c_str(), 0666) | ::chmod(dir.Path().c_str(), 0777) |
                      ::chown(target.c_str(), owner, owner),
                  0);
        const pid_t child = ::fork();
        if (child == 0) {
            std::ostringstream console;
            const bool as = writer == 0 || (::setgid(writer) == 0 && ::setuid(writer) == 0);
            ::_exit(as && Database().Write(target, console) ? 0 : 1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        struct stat info {};
        ::stat(target.c_str(), &info);
        EXPECT_EQ(std::tuple(status, info.st_uid, info.st_gid), std::tuple(0, after, after));
    }
#endif
}

// A compiler whose output is its input (by its name, a link to it) refuses before anything is
// read or written: the files stay as they were.
TEST(OutputTargetTest, AnOutputThatIsTheInputIsRefused) {
    const auto example = [](const char* name) {
        std::ifstream in(std::string(QUIL_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string xdb = "QL_PalmClientTransferDB.pdb";
    const std::pair<std::string, std::string> files[] = {
        {"c.xml", example("configuration.xml")},
        {"QL_Configuration.pdb", example("configuration.xml")},
        {xdb, example("exchange.xml")}};
    TempDir dir;
    for (const auto& [name, content] : files) {
        dir.Write(name, content);
    }
    const std::string conf = Quoted(QUILCONF_PATH) + " ";
    const std::string same = "[ERROR 0] Файл базы совпадает с исходным документом: ";
    const std::string is = "The database file is the input document: ";
    // The command, its exit status and its last line.
    std::vector<std::tuple<std::string, int, std::string>> cases = {
        {conf + "c.xml c.xml", 255, same + "c.xml\n"},
        {conf + "QL_Configuration.pdb", 255, same + "QL_Configuration.pdb\n"},
        {Quoted(QUILXDB_PATH) + " " + xdb, 1, is + xdb + "\n"}};
#ifndef _WIN32  // the C++ library of the Windows build makes no links
    fs::create_symlink("c.xml", dir.File("link.xml"));
    fs::create_hard_link(dir.File("c.xml"), dir.File("hard.xml"));
    fs::create_symlink(xdb, dir.File("x.xml"));
    cases.insert(cases.end(), {{conf + "c.xml link.xml", 255, same + "link.xml\n"},
                               {conf + "link.xml hard.xml", 255, same + "hard.xml\n"},
                               {Quoted(QUILXDB_PATH) + " x.xml .", 1, is + "./" + xdb + "\n"}});
#endif
    const size_t entries = dir.EntryCount();
    for (const auto& [command, expectedStatus, lastLine] : cases) {
        SCOPED_TRACE(command);
        int status = -1;
        const std::string out = RunCommand(InFolder(dir.Path(), command), status);
        EXPECT_EQ(status, expectedStatus);
        EXPECT_TRUE(out.ends_with(lastLine) && out.find("PDB-file") == std::string::npos) << out;
        for (const auto& [name, content] : files) {
            EXPECT_EQ(dir.ReadBytes(name), std::vector<uint8_t>(content.begin(), content.end()));
        }
        EXPECT_EQ(dir.EntryCount(), entries);
    }
}

#ifdef _WIN32
// What Windows has: a folder, a device and a read-only file are refused; an existing file
// keeps its attributes; a file that another program holds open without letting it be
// replaced fails the write and stays as it was, with no temporary file left.
TEST(OutputTargetTest, WindowsTargets) {
    TempDir dir;
    const auto wide = [&dir](const char* name) { return CPlatform::Wide(dir.File(name)); };
    fs::create_directory(dir.File("folder"));
    for (const char* name : {"readonly.pdb", "hidden.pdb", "held.pdb"}) {
        dir.Write(name, "old");
    }
    SetFileAttributesW(wide("readonly.pdb").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(wide("hidden.pdb").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::pair<std::string, std::string> refused[] = {
        {dir.File("folder"), "Is a directory"},
        {"NUL", "Not a regular file"},
        {dir.File("readonly.pdb"), "Permission denied"},
    };
    const Database pdb;
    for (const auto& [target, reason] : refused) {
        std::ostringstream console;
        EXPECT_FALSE(pdb.Write(target, console));
        EXPECT_EQ(console.str(), Refusal(target, reason));
    }
    std::ostringstream console;
    ASSERT_TRUE(pdb.Write(dir.File("hidden.pdb"), console));
    EXPECT_EQ(dir.ReadBytes("hidden.pdb"), pdb.Image());
    EXPECT_NE(GetFileAttributesW(wide("hidden.pdb").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    HANDLE held =
        CreateFileW(wide("held.pdb").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    console.str("");
    EXPECT_FALSE(pdb.Write(dir.File("held.pdb"), console));
    CloseHandle(held);
    EXPECT_EQ(console.str().rfind("Creating PDB-file: " + dir.File("held.pdb") +
                                      "\nError writing " + dir.File("held.pdb") + " file\n",
                                  0),
              0u)
        << console.str();
    for (const char* name : {"readonly.pdb", "held.pdb"}) {
        const std::vector<uint8_t> after = dir.ReadBytes(name);
        EXPECT_EQ(std::string(after.begin(), after.end()), "old") << name;
    }
    EXPECT_EQ(dir.EntryCount(), 4u);
    SetFileAttributesW(wide("readonly.pdb").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

}  // namespace

#include "CConfCompiler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>

#include "ByteOrder.h"
#include "CPdb.h"
#include "CReadContext.h"
#include "CStringsReader.h"
#include "InspectorCheck.h"
#include "QuilVersion.h"
#include "TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The records of a written database, split by its record list.
std::vector<Bytes> Records(const Bytes& file) {
    std::vector<Bytes> records;
    const uint16_t count = ByteOrder::Load16(file.data() + 76);
    for (uint16_t i = 0; i < count; ++i) {
        const uint32_t begin = ByteOrder::Load32(file.data() + 78 + 8 * i);
        const uint32_t end =
            i + 1 < count ? ByteOrder::Load32(file.data() + 78 + 8 * (i + 1)) : file.size();
        records.emplace_back(file.begin() + begin, file.begin() + end);
    }
    return records;
}

// A section reader that yields a fixed record, or fails when `record` is null.
CConfCompiler::SectionReader Section(const Bytes* record) {
    return [record](CReadContext&, size_t& size) -> const uint8_t* {
        size = record ? record->size() : 0;
        return record ? record->data() : nullptr;
    };
}

class CConfCompilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("conf.xml", "<?xml version='1.0' encoding='UTF-8'?>\n<quillora name='Тест'/>");
        readers_ = {Section(&menus_),       Section(&journals_),   Section(&documents_),
                    Section(&recordViews_), Section(&references_), Section(&frames_)};
    }
    int Run(std::vector<std::string> args) { return CConfCompiler(readers_, log_).Run(args); }
    // The menus section also adds to the run's string pool first.
    void MenusAdding(std::function<void(CStringsReader&)> add) {
        readers_.menus = [this, add](CReadContext& context, size_t& size) -> const uint8_t* {
            add(context.Pool());
            size = menus_.size();
            return menus_.data();
        };
    }
    int RunOn(const std::string& xml) {
        dir_.Write("in.xml", xml);
        return Run({dir_.File("in.xml"), dir_.File("out.pdb")});
    }

    Bytes menus_{2, 0, 'm', 'm'}, journals_{3}, documents_{4, 4}, recordViews_{5},
        references_{6, 6, 6}, frames_{7};
    CConfCompiler::SectionReaders readers_;
    TempDir dir_;
    std::ostringstream log_;
};

const std::string kBanner =
    "[INFO] Норвил АРМ: компилятор конфигураций мобильного клиента.\n"
    "[INFO] Справка: quilconf --help и файл README.md в комплекте компилятора.\n"
    "[INFO] Версия компилятора конфигураций: 5.4.7\n";

TEST_F(CConfCompilerTest, WithoutArgumentsOnlyBannerAndUsage) {
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(log_.str(), kBanner + "[INFO] Синтаксис: quilconf.exe имя_файла\n");
}

TEST_F(CConfCompilerTest, VersionAndHelpSucceed) {
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(log_.str(), std::string("[INFO] Версия компилятора конфигураций: ") +
                              QuilVersion::kPackage + "\n");
    log_.str("");
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(log_.str().find("--expr"), std::string::npos);
}

TEST_F(CConfCompilerTest, AFullRunNumbersTheRecordsAndPrintsEverySection) {
    dir_.Write("in.xml", "<quillora name='Тест'/>");
    ASSERT_EQ(Run({dir_.File("in.xml"), dir_.File("out.pdb"), "ignored"}), 0);
    EXPECT_EQ(log_.str(), kBanner +
                              "\n[INFO] Чтение меню\n"
                              "[INFO] Описание меню уcпешно прочитано\n"
                              "\n"
                              "[INFO] Чтение журналов документов\n"
                              "[INFO] Описание журналов документов уcпешно прочитано\n"
                              "\n"
                              "[INFO] Чтение документов\n"
                              "[INFO] Описание документов уcпешно прочитано\n"
                              "[INFO] Чтение форм просмотра записей.\n"
                              "[INFO] Описания форм просмотра записей успешно прочитано.\n"
                              "\n"
                              "[INFO] Чтение справочников\n"
                              "[INFO] Описание справочников уcпешно прочитано\n"
                              "\n"
                              "[INFO] Чтение форм-меню\n"
                              "[INFO] Описание форм-меню уcпешно прочитано\n"
                              "\n"
                              "Creating PDB-file: " +
                              dir_.File("out.pdb") +
                              "\n"
                              "Конфигурация сохранена в файл " +
                              dir_.File("out.pdb") + "\n");

    const Bytes file = dir_.ReadBytes("out.pdb");
    ASSERT_GE(file.size(), 78u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 17), std::string("QL_Configuration\0", 17));
    const std::vector<Bytes> records = Records(file);
    ASSERT_EQ(records.size(), 9u);
    EXPECT_EQ(records[0].size(), 146u);
    // Slots: references 6, documents 4, menus 2, record views 5, frames 7, journals 3.
    EXPECT_EQ(Bytes(records[0].begin() + 134, records[0].end()),
              (Bytes{6, 0, 4, 0, 2, 0, 5, 0, 7, 0, 3, 0}));
    EXPECT_EQ(records[1], Bytes(16, 0));
    EXPECT_EQ(records[2], menus_);
    EXPECT_EQ(records[3], journals_);
    EXPECT_EQ(records[4], documents_);
    EXPECT_EQ(records[5], recordViews_);
    EXPECT_EQ(records[6], references_);
    EXPECT_EQ(records[7], frames_);
    EXPECT_EQ(records[8], (Bytes{0, 0}));
}

TEST_F(CConfCompilerTest, WithoutRecordViewsTheStringsStayRecordEight) {
    readers_.recordViews = Section(nullptr);
    MenusAdding([](CStringsReader& pool) { pool.AddString("x"); });
    ASSERT_EQ(RunOn("<quillora/>"), 0);
    EXPECT_NE(log_.str().find("[INFO] Чтение форм просмотра записей.\n"
                              "[INFO] Ошибка чтения описания форм просмотра записей.\n\n"),
              std::string::npos);
    const std::vector<Bytes> records = Records(dir_.ReadBytes("out.pdb"));
    ASSERT_EQ(records.size(), 9u);
    // references 5, frames 6, record views none.
    EXPECT_EQ(Bytes(records[0].begin() + 134, records[0].end()),
              (Bytes{5, 0, 4, 0, 2, 0, 0xFF, 0xFF, 6, 0, 3, 0}));
    EXPECT_EQ(records[5], references_);
    EXPECT_EQ(records[6], frames_);
    EXPECT_EQ(records[7], Bytes{});
    EXPECT_EQ(records[8], (Bytes{0, 0, 2, 0, 'x', 0}));
}

TEST_F(CConfCompilerTest, EmptyFramesGiveAnEmptyRecord) {
    frames_.clear();
    ASSERT_EQ(RunOn("<quillora/>"), 0);
    const std::vector<Bytes> records = Records(dir_.ReadBytes("out.pdb"));
    ASSERT_EQ(records.size(), 9u);
    EXPECT_EQ(records[7], Bytes{});
    EXPECT_EQ(records[0][142], 7);
}

TEST_F(CConfCompilerTest, AFailingMandatorySectionWritesNothing) {
    struct Case {
        CConfCompiler::SectionReader CConfCompiler::SectionReaders::*reader;
        bool emptyFails;
        std::string message;
    };
    const Case cases[] = {
        {&CConfCompiler::SectionReaders::menus, true, "Критическая ошибка чтения описания меню"},
        {&CConfCompiler::SectionReaders::journals, true,
         "Критическая ошибка чтения описания журналов документов"},
        {&CConfCompiler::SectionReaders::documents, true,
         "Критическая ошибка чтения описания документов"},
        {&CConfCompiler::SectionReaders::references, true,
         "Критическая ошибка чтения описания справочников"},
        {&CConfCompiler::SectionReaders::frames, false,
         "Критическая ошибка чтения описания форм-меню"},
    };
    const Bytes empty;
    for (const Case& c : cases) {
        dir_.Write("out.pdb", "old");
        SetUp();
        readers_.*c.reader = Section(nullptr);
        log_.str("");
        EXPECT_EQ(RunOn("<quillora/>"), 255) << c.message;
        EXPECT_NE(log_.str().find("[INFO] " + c.message + "\n"), std::string::npos);
        EXPECT_EQ(log_.str().find("Creating PDB-file"), std::string::npos);
        const Bytes after = dir_.ReadBytes("out.pdb");
        EXPECT_EQ(std::string(after.begin(), after.end()), "old");
        if (c.emptyFails) {
            SetUp();
            readers_.*c.reader = Section(&empty);
            EXPECT_EQ(RunOn("<quillora/>"), 255) << c.message << " (empty)";
        }
    }
}

TEST_F(CConfCompilerTest, TheDefaultBuildStopsAtTheFirstMissingSection) {
    // Without any menu the menus section fails.
    dir_.Write("in.xml", "<quillora/>");
    EXPECT_EQ(CConfCompiler(log_).Run({dir_.File("in.xml"), dir_.File("out.pdb")}), 255);
    EXPECT_NE(
        log_.str().find("[INFO] Чтение меню\n[INFO] Критическая ошибка чтения описания меню\n"),
        std::string::npos);
    EXPECT_FALSE(dir_.Exists("out.pdb"));

    const std::string journals =
        "[INFO] Чтение меню\n[INFO] Описание меню уcпешно прочитано\n\n"
        "[INFO] Чтение журналов документов\n"
        "[INFO] Критическая ошибка чтения описания журналов документов\n";
    dir_.Write("in.xml", "<quillora><menu name='m'><menuitem title='x'/></menu></quillora>");
    log_.str("");
    EXPECT_EQ(CConfCompiler(log_).Run({dir_.File("in.xml"), dir_.File("out.pdb")}), 255);
    EXPECT_NE(log_.str().find(journals), std::string::npos) << log_.str();
    EXPECT_FALSE(dir_.Exists("out.pdb"));
}

// With the real readers: the frames slot names the frames record, empty without frames; without
// a record-view record an empty record 7 keeps the strings at 8; a failing record view is
// skipped, while a refused limit in it ends the run.
TEST_F(CConfCompilerTest, RealReadersFillTheSlotsAndSkipAFailedRecordView) {
    const std::string base =
        "<menu name='m'/><journal name='j' view='v'><data><jrndocument name='d'/></data>"
        "</journal><document name='d' view='v' prefix='p'><data><database name='D'/></data>"
        "<entries><entry name='x'/></entries></document><reference name='r' view='v'>"
        "<data><database name='R'/></data></reference>";
    const std::string frame = "<frame name='f' view='v'/>";
    const std::string skipped = "[INFO] Ошибка чтения описания форм просмотра записей.\n";
    struct Case {
        std::string name;
        std::string more;
        int status;
        Bytes slots;          // references, documents, menus, record views, frames, journals
        std::string console;  // a part of the console
    };
    const Case cases[] = {
        {"record views, no frame",
         "<recordview name='rv' view='v'/>",
         0,
         {6, 0, 4, 0, 2, 0, 5, 0, 7, 0, 3, 0},
         "[INFO] Описания форм просмотра записей успешно прочитано.\n"},
        {"frames, no record view", frame, 0, {5, 0, 4, 0, 2, 0, 0xFF, 0xFF, 6, 0, 3, 0}, skipped},
        {"a failing record view",
         frame + "<recordview name='rv'/>",
         0,
         {5, 0, 4, 0, 2, 0, 0xFF, 0xFF, 6, 0, 3, 0},
         "[ERROR 2306] Отсутствует реквизит frame->view формы-меню:  rv\n" + skipped},
        {"a limit in the record views",
         "<recordview name='" + std::string(32, 'n') + "' view='v'/>",
         255,
         {},
         "[ERROR 2320] Имя формы-меню длиннее 31 байт: " + std::string(32, 'n') + "\n" + skipped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.str("");
        dir_.Write("in.xml", "<quillora>" + base + c.more + "</quillora>");
        std::filesystem::remove(dir_.File("out.pdb"));
        EXPECT_EQ(CConfCompiler(log_).Run({dir_.File("in.xml"), dir_.File("out.pdb")}), c.status);
        EXPECT_NE(log_.str().find(c.console), std::string::npos) << log_.str();
        if (c.status != 0) {
            EXPECT_EQ(log_.str().find("Чтение справочников"), std::string::npos);
            EXPECT_FALSE(dir_.Exists("out.pdb"));
            continue;
        }
        ExpectInspectorFindsNothing(dir_.File("out.pdb"));
        const std::vector<Bytes> records = Records(dir_.ReadBytes("out.pdb"));
        ASSERT_EQ(records.size(), 9u);
        EXPECT_EQ(Bytes(records[0].begin() + 134, records[0].end()), c.slots);
        EXPECT_FALSE(records[5].empty());
        EXPECT_FALSE(records[6].empty());
        EXPECT_EQ(records[7], Bytes{});
        // Journal names, form table; entry name, form table, field description; form tables
        // of the references and of the frames or record views.
        const Bytes strings = {0, 0, 2, 0,   'd', 0, 0, 0, 2, 0, 'x', 0, 0, 0, 10,
                               0, 1, 0, 'x', 0,   0, 0, 0, 0, 0, 0,   0, 0, 0, 0};
        EXPECT_EQ(records[8], strings);
    }
}

TEST_F(CConfCompilerTest, DocumentProblemsEndWithStatusOne) {
    EXPECT_EQ(RunOn("<config/>"), 1);
    EXPECT_EQ(log_.str(), kBanner + "[INFO] Отсутствует корневой элемент 'quillora'.\n");
    log_.str("");
    EXPECT_EQ(RunOn("<quillora><a></b></quillora>"), 1);
    const std::string out = log_.str();
    ASSERT_EQ(out.rfind(kBanner + "[INFO] Не удается загрузить указанный документ \n[INFO] ", 0),
              0u)
        << out;
    EXPECT_NE(out.find("line 1"), std::string::npos) << out;
    log_.str("");
    EXPECT_EQ(Run({dir_.File("absent.xml")}), 1);
    EXPECT_FALSE(dir_.Exists("out.pdb"));
}

TEST_F(CConfCompilerTest, LimitsAndWriteFailuresEndWithStatus255) {
    EXPECT_EQ(RunOn("<quillora name='" + std::string(64, 'n') + "'/>"), 255);
    EXPECT_FALSE(dir_.Exists("out.pdb"));

    SetUp();
    MenusAdding([](CStringsReader& pool) {
        pool.AddBytes(std::string(59990, 'p').data(), 59990);
        pool.AddString("overflow");
    });
    log_.str("");
    EXPECT_EQ(RunOn("<quillora/>"), 255);
    EXPECT_NE(log_.str().find("[ERROR 0] Критическая ошибка.\n"), std::string::npos);
    EXPECT_FALSE(dir_.Exists("out.pdb"));

    SetUp();
    log_.str("");
    const std::string target = dir_.File("missing/out.pdb");
    EXPECT_EQ(Run({dir_.File("conf.xml"), target}), 255);
    EXPECT_NE(log_.str().find("Error creating " + target + " file\n"), std::string::npos);
    EXPECT_EQ(log_.str().find("Конфигурация сохранена"), std::string::npos);
}

// The program itself: default output name, exit statuses, nothing left on failure.
TEST(QuilconfProgramTest, ExitStatusesAndDefaultOutput) {
    TempDir dir;
    int status = -1;
    std::string out = RunCommand(InFolder(dir.Path(), Quoted(QUILCONF_PATH)), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, kBanner + "[INFO] Синтаксис: quilconf.exe имя_файла\n");
    EXPECT_EQ(dir.EntryCount(), 0u);

    dir.Write("bad.xml", "<quillora>");
    RunCommand(InFolder(dir.Path(), Quoted(QUILCONF_PATH) + " bad.xml"), status);
    EXPECT_EQ(status, 1);
    dir.Write("noroot.xml", "<other/>");
    out = RunCommand(InFolder(dir.Path(), Quoted(QUILCONF_PATH) + " noroot.xml"), status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("[INFO] Отсутствует корневой элемент 'quillora'.\n"), std::string::npos);
    EXPECT_EQ(dir.EntryCount(), 2u);

    RunCommand(Quoted(QUILCONF_PATH) + " --version", status);
    EXPECT_EQ(status, 0);
    RunCommand(Quoted(QUILCONF_PATH) + " --help", status);
    EXPECT_EQ(status, 0);
}

}  // namespace

namespace {

// Arguments written with sh's single quotes, quoted for the system's shell.
std::string ShellArguments(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t end = text[i] == '\'' ? text.find('\'', i + 1) : std::string::npos;
        if (end == std::string::npos) {
            out += text[i];
        } else {
            out += Quoted(text.substr(i + 1, end - i - 1));
            i = end;
        }
    }
    return out;
}

// `--expr` through the program: the same output as the in-process check, on standard output.
TEST(QuilconfProgramTest, ExpressionCheck) {
    struct Case {
        std::string arguments;
        int status;
        std::string output;
    };
    const Case cases[] = {
        {"--expr 'OK()'", 0, "02 00 01 00\nOK()\n"},
        {"--expr 'Exit(5)'", 0, "04 00 4A 00 05 00\nExit(5)\n"},
        {"--expr 'OK(); Close()'", 0, "04 00 01 00 05 00\nOK(); Close()\n"},
        {"--expr 'Report(\"x\")'", 0, "06 00 04 00 02 00 08 00\nstring 2: x\nReport(\"x\")\n"},
        {"--expr 'SetFilterSQL(12, \"Имя\")' --controls 5,7,12", 0,
         "08 00 62 00 02 00 02 00 08 00\nstring 2: Имя\nSetFilterSQL(12, \"Имя\")\n"},
        {"--controls 5,7,12 --expr 'SetFilterSQL(12, \"Имя\")'", 0,
         "08 00 62 00 02 00 02 00 08 00\nstring 2: Имя\nSetFilterSQL(12, \"Имя\")\n"},
        {"--expr 'SetFilterSQL(12, \"x\")'", 1,
         "[WARNING 3585] Ошибка разбора:  SetFilterSQL(12, \"x\")\n"
         "[WARNING 3585] Неверное определение функции:  SetFilterSQL\n"},
        {"--expr 'OKAY()'", 1,
         "[WARNING 1] Неизвестная лексема:  AY()\n"
         "[WARNING 3585] Ошибка разбора:  OKAY()\n"
         "[WARNING 3585] Неверное определение функции:  \n"},
        {"--expr", 2, "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
        {"--expr 'OK()' --controls", 2,
         "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
        {"--controls 5", 2,
         "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
        {"--controls 5 --controls 7", 2,
         "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
        {"--expr 'OK()' --expr 'OK()'", 2,
         "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
        {"--expr 'OK()' --other 1", 2,
         "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n"},
    };
    for (const Case& c : cases) {
        int status = -1;
        const std::string out =
            RunCommand(Quoted(QUILCONF_PATH) + " " + ShellArguments(c.arguments) + " 2>&1", status);
        EXPECT_EQ(status, c.status) << c.arguments;
        EXPECT_EQ(out, c.output) << c.arguments;
    }
}

}  // namespace

namespace {

// Hostile documents are refused at loading: no local file is read, no entity bomb expands.
TEST(QuilconfProgramTest, HostileDocumentsAreRefusedAtLoading) {
    TempDir dir;
    dir.Write("secret.txt", "TOP-SECRET");
    dir.Write("xxe.xml", "<?xml version='1.0'?>\n<!DOCTYPE quillora [<!ENTITY s SYSTEM '" +
                             dir.File("secret.txt") + "'>]>\n<quillora name='&s;'/>");
    std::string bomb = "<?xml version='1.0'?>\n<!DOCTYPE quillora [<!ENTITY a0 'lollollol'>";
    for (int i = 1; i < 12; ++i) {
        bomb += "<!ENTITY a" + std::to_string(i) + " '";
        for (int k = 0; k < 10; ++k) {
            bomb += "&a" + std::to_string(i - 1) + ";";
        }
        bomb += "'>";
    }
    dir.Write("bomb.xml", bomb + "]>\n<quillora name='&a11;'/>");

    for (const std::string name : {"xxe.xml", "bomb.xml"}) {
        int status = -1;
        const auto start = std::chrono::steady_clock::now();
        const std::string out = RunCommand(
            InFolder(dir.Path(), Quoted(QUILCONF_PATH) + " " + name + " out.pdb 2>&1"), status);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(status, 1) << name << "\n" << out;
        EXPECT_NE(out.find("[INFO] Не удается загрузить указанный документ \n"), std::string::npos)
            << out;
        EXPECT_EQ(out.find("TOP-SECRET"), std::string::npos);
        EXPECT_LT(elapsed, std::chrono::seconds(10)) << name;
        EXPECT_FALSE(dir.Exists("out.pdb"));
    }
}

}  // namespace

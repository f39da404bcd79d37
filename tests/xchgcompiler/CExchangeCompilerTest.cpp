#include "CExchangeCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "CConverter.h"
#include "InspectorCheck.h"
#include "QuilVersion.h"
#include "TempDir.h"
#include "TransferDatabaseBytes.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const std::string kExample = std::string(QUIL_SOURCE_DIR) + "/examples/exchange.xml";
const char* const kDatabase = "QL_PalmClientTransferDB.pdb";

struct Outcome {
    int status = -1;
    std::string console;
};

Outcome RunCompiler(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "quilxdb");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream console;
    Outcome run;
    run.status = CExchangeCompiler::Run(argv, console);
    run.console = console.str();
    return run;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the built program through the shell in `dir`; stdout and stderr land in files there.
Outcome RunProgram(const TempDir& dir, const std::string& arguments) {
    const std::string command =
        Quoted(QUILXDB_PATH) + " " + arguments + " >stdout.txt 2>stderr.txt " + kNoInput;
    Outcome run;
    RunCommand(InFolder(dir.Path(), command), run.status);
    run.console = ReadText(dir.File("stdout.txt"));
    EXPECT_EQ(ReadText(dir.File("stderr.txt")), "") << "nothing goes to the error stream";
    return run;
}

ExpectedBytes Slots(ExpectedBytes bytes, std::initializer_list<uint16_t> slots) {
    for (uint16_t slot : slots) {
        bytes.U16(slot);
    }
    return bytes;
}

constexpr uint16_t N = 0xFFFF;

// The whole database compiled from examples/exchange.xml, laid out field by field.
Bytes ExpectedExampleDatabase() {
    std::vector<ExpectedBytes> records;

    ExpectedBytes index;
    index.U16(7).U16(3);
    index = Slots(index.Text("Ежедневный обмен").Text("Обмен за день"), {1, 2, N, N, 3, 4, 5});
    index = Slots(index.Text("Возвраты").Text("Возврат товара"), {6, N, 7, N, N, N, N});
    index = Slots(index.Text("Обновление цен").Text("Цены"), {N, N, N, N, N, 8, N});
    records.push_back(index);

    // Daily exchange: post documents.
    ExpectedBytes order;
    order.Text("Заказ").U16(2);
    order.Text("Отправлен").Text("0x01").Text("1").Text("Проведён").Text("2").Text("0");
    order.U16(4).Text("Номер").Text("Дата").Text("Клиент").Text("Склад");
    order.U16(3).Text("Товар").Text("Количество").Text("Цена");
    ExpectedBytes payment;
    payment.Text("Оплата").U16(1).Text("Отправлен").Text("0x01").Text("1");
    payment.U16(3).Text("Номер").Text("Клиент").Text("Сумма").U16(0);
    ExpectedBytes dailyDocuments;
    dailyDocuments.Text("http://office.example/palm/post/docs").U16(2);
    const size_t firstBlock = dailyDocuments.Size() + 4;
    EXPECT_EQ(firstBlock, 44u);  // a 36-character URL takes 38 bytes
    dailyDocuments.U16(static_cast<uint16_t>(firstBlock));
    dailyDocuments.U16(static_cast<uint16_t>(firstBlock + order.Size()));
    dailyDocuments.Append(order).Append(payment);
    records.push_back(dailyDocuments);

    records.push_back(ExpectedBytes()
                          .Text("http://office.example/palm/post/tables")
                          .U16(1)
                          .Text("Визиты")
                          .U16(0));
    records.push_back(ExpectedBytes()
                          .Text("http://office.example/palm/get/tables")
                          .U16(3)
                          .Text("Справочники/Товары")
                          .Text("Справочники/Клиенты")
                          .Text("Остатки"));
    records.push_back(
        ExpectedBytes().Text("http://office.example/palm/get/pdbs").U16(1).Text("QL_Prices"));
    records.push_back(ExpectedBytes()
                          .Text("http://office.example/palm/get/files")
                          .U16(2)
                          .Text("news.txt")
                          .Text("text")
                          .Text("logo.bmp")
                          .Text(""));

    // Returns: post documents without URL, post files.
    ExpectedBytes returns;
    returns.Text("").U16(1).U16(6);
    returns.Text("Возврат").U16(1).Text("Отправлен").Text("0x10").Text("1");
    returns.U16(2).Text("Клиент").Text("Причина").U16(2).Text("Товар").Text("Количество");
    records.push_back(returns);
    records.push_back(ExpectedBytes()
                          .Text("http://office.example/palm/post/files")
                          .U16(2)
                          .Text("photo.jpg")
                          .Text("image")
                          .U16(1)
                          .Text("act.txt")
                          .Text("text")
                          .U16(0));

    // Price update: get dbs without URL.
    records.push_back(ExpectedBytes().Text("").U16(2).Text("QL_Prices").Text("QL_Discounts"));

    std::vector<size_t> sizes;
    for (const ExpectedBytes& record : records) {
        sizes.push_back(record.Size());
    }
    ExpectedBytes file = TransferHeader(
        {sizes[0], sizes[1], sizes[2], sizes[3], sizes[4], sizes[5], sizes[6], sizes[7], sizes[8]});
    for (const ExpectedBytes& record : records) {
        file.Append(record);
    }
    return file.Bytes();
}

const char* const kBanner = "\r\n**************** EXCHANGE ****************\r\n";

std::string Banner(const std::string& name) {
    return kBanner + name + kBanner;
}

// What a run on examples/exchange.xml prints after its "Parse result code" line.
std::string ExpectedExampleDump() {
    return "CSettingsTable DUMP:\n" + Banner("Ежедневный обмен") +
           "------- POST DOCUMENTS: -------\n"
           "post url: http://office.example/palm/post/docs\n"
           "Post doc name: Заказ\n"
           "\tSend flags fields count: 2\n"
           "\t\tname: Отправлен\n"
           "\t\tvalue: 1\n"
           "\t\tname: Проведён\n"
           "\t\tvalue: 2\n"
           "\tHead fields count: 4\n"
           "\t\tname: Номер\n"
           "\t\tname: Дата\n"
           "\t\tname: Клиент\n"
           "\t\tname: Склад\n"
           "\tTable fields count: 3\n"
           "\t\tname: Товар\n"
           "\t\tname: Количество\n"
           "\t\tname: Цена\n"
           "Post doc name: Оплата\n"
           "\tSend flags fields count: 1\n"
           "\t\tname: Отправлен\n"
           "\t\tvalue: 1\n"
           "\tHead fields count: 3\n"
           "\t\tname: Номер\n"
           "\t\tname: Клиент\n"
           "\t\tname: Сумма\n"
           "\tTable fields count: 0\n"
           "------- POST TABLES: -------\n"
           "post url: http://office.example/palm/post/tables\n"
           "Post table name: Визиты\n"
           "------- POST FILES: -------\n"
           "------- GET TABLES: -------\n"
           "Get tables count: 3\n"
           "\turl: http://office.example/palm/get/tables\n"
           "\tname: Справочники/Товары\n"
           "\tname: Справочники/Клиенты\n"
           "\tname: Остатки\n"
           "------- GET DBS: -------\n"
           "Get dbs count: 1\n"
           "post url: http://office.example/palm/get/pdbs\n"
           "\tname: QL_Prices\n"
           "------- GET FILES: -------\n"
           "post url: http://office.example/palm/get/files\n"
           "Post file name: news.txt\n"
           "          type: text\n"
           "Post file name: logo.bmp\n"
           "          type: \n" +
           Banner("Возвраты") +
           "------- POST DOCUMENTS: -------\n"
           "Post doc name: Возврат\n"
           "\tSend flags fields count: 1\n"
           "\t\tname: Отправлен\n"
           "\t\tvalue: 10\n"
           "\tHead fields count: 2\n"
           "\t\tname: Клиент\n"
           "\t\tname: Причина\n"
           "\tTable fields count: 2\n"
           "\t\tname: Товар\n"
           "\t\tname: Количество\n"
           "------- POST TABLES: -------\n"
           "------- POST FILES: -------\n"
           "post url: http://office.example/palm/post/files\n"
           "Post file name: photo.jpg\n"
           "          type: image\n"
           "        delete: 1\n"
           "Post file name: act.txt\n"
           "          type: text\n"
           "        delete: 0\n"
           "------- GET TABLES: -------\n"
           "Get tables count: 0\n"
           "------- GET DBS: -------\n"
           "Get dbs count: 0\n"
           "------- GET FILES: -------\n" +
           Banner("Обновление цен") +
           "------- POST DOCUMENTS: -------\n"
           "------- POST TABLES: -------\n"
           "------- POST FILES: -------\n"
           "------- GET TABLES: -------\n"
           "Get tables count: 0\n"
           "------- GET DBS: -------\n"
           "Get dbs count: 2\n"
           "\tname: QL_Prices\n"
           "\tname: QL_Discounts\n"
           "------- GET FILES: -------\n";
}

}  // namespace

// ---- Command line ----------------------------------------------------------------------------

TEST(ExchangeCompilerCommandLine, WithoutArgumentsPrintsTheUsageText) {
    const Outcome run = RunCompiler({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console, "Usage:\n\tquilxdb.exe filename [output_directory]\n\tVersion 5.2");
}

TEST(ExchangeCompilerCommandLine, HelpAndVersion) {
    const Outcome help = RunCompiler({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(
        help.console.rfind("Usage:\n\tquilxdb.exe filename [output_directory]\n\tVersion 5.2\n", 0),
        0u);
    EXPECT_NE(help.console.find("Exit status"), std::string::npos);

    const Outcome version = RunCompiler({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.console, std::string("quilxdb version ") + QuilVersion::kPackage + "\n");
}

// ---- Runs ------------------------------------------------------------------------------------

TEST(ExchangeCompilerRun, ExampleCompilesToTheExpectedDumpAndDatabase) {
    TempDir dir;
    const Outcome run = RunCompiler({kExample, dir.Path() + "/"});
    EXPECT_EQ(run.status, 0);
    const std::string file = dir.File(kDatabase);
    EXPECT_EQ(run.console, "\nParsing document: " + kExample +
                               "\n\nParse result code: 00000000\n\n" + ExpectedExampleDump() +
                               "Creating PDB-file: " + file + "\n");
    EXPECT_EQ(ReadBytes(file), ExpectedExampleDatabase());
    ExpectInspectorFindsNothing(file);
}

TEST(ExchangeCompilerRun, EmptyRootWritesTheIndexRecordOnly) {
    TempDir dir;
    WriteText(dir.File("empty.xml"), "<palm-client/>");
    const Outcome run = RunCompiler({dir.File("empty.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console, "\nParsing document: " + (dir.File("empty.xml")) +
                               "\n\nParse result code: 00000000\n\nCSettingsTable DUMP:\n"
                               "Creating PDB-file: " +
                               (dir.File(kDatabase)) + "\n");
    EXPECT_EQ(ReadBytes(dir.File(kDatabase)),
              TransferHeader({4}).Raw({0x07, 0x00, 0x00, 0x00}).Bytes());
    ExpectInspectorFindsNothing(dir.File(kDatabase));
}

TEST(ExchangeCompilerRun, OutputPrefixWithAndWithoutTrailingSeparator) {
    TempDir dir;
    fs::create_directory(dir.File("out"));
    ASSERT_EQ(RunCompiler({kExample, dir.File("out/")}).status, 0);
    EXPECT_TRUE(fs::exists(dir.File(std::string("out/") + kDatabase)));

    // An existing directory without its separator gets one.
    fs::remove(dir.File(std::string("out/") + kDatabase));
    const Outcome run = RunCompiler({kExample, dir.File("out")});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.console.find("Creating PDB-file: " + dir.File("out/") + kDatabase + "\n"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(dir.File(std::string("out/") + kDatabase)));
    EXPECT_FALSE(fs::exists(dir.File(std::string("out") + kDatabase)));
    ExpectInspectorFindsNothing(dir.File(std::string("out/") + kDatabase));

    // Any other text stays a plain prefix of the file name.
    for (const std::string prefix : {"out/day-", "new"}) {
        ASSERT_EQ(RunCompiler({kExample, dir.File(prefix)}).status, 0);
        EXPECT_TRUE(fs::exists(dir.File(prefix + kDatabase))) << prefix;
    }

    // Further arguments change nothing.
    fs::remove(dir.File(std::string("out/") + kDatabase));
    ASSERT_EQ(RunCompiler({kExample, dir.File("out/"), "extra", "more"}).status, 0);
    EXPECT_EQ(ReadBytes(dir.File(std::string("out/") + kDatabase)), ExpectedExampleDatabase());
}

TEST(ExchangeCompilerRun, LongInputPathIsUsedWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows paths end at 260 characters unless long paths are enabled";
#endif
    TempDir dir;
    std::string path = dir.Path();
    while (path.size() < 1100) {
        path += "/" + std::string(200, 'd');
        fs::create_directory(path);
    }
    path += "/exchange.xml";
    fs::copy_file(kExample, path);
    const Outcome run = RunCompiler({path, dir.Path() + "/"});
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(run.console.rfind("\nParsing document: " + path + "\n", 0), 0u);
    EXPECT_EQ(ReadBytes(dir.File(kDatabase)), ExpectedExampleDatabase());
    ExpectInspectorFindsNothing(dir.File(kDatabase));
}

// ---- Failures --------------------------------------------------------------------------------

TEST(ExchangeCompilerFailure, MissingDocument) {
    TempDir dir;
    const std::string missing = dir.File("missing.xml");
    const Outcome run = RunCompiler({missing, dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.console, "\nParsing document: " + missing +
                               "\nParse error at line 0, column 0: cannot open " + missing +
                               ": No such file or directory\n"
                               "\nParse result code: 0000060d\n\n");
    EXPECT_FALSE(fs::exists(dir.File(kDatabase)));
}

TEST(ExchangeCompilerFailure, NotWellFormedDocument) {
    TempDir dir;
    WriteText(dir.File("bad.xml"), "<palm-client>\n<exchange name='e' view='v'>\n</palm-client>\n");
    const Outcome run = RunCompiler({dir.File("bad.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    const std::string head =
        "\nParsing document: " + (dir.File("bad.xml")) + "\nParse error at line 3, column ";
    EXPECT_EQ(run.console.rfind(head, 0), 0u) << run.console;
    const size_t code = run.console.find("\n\nParse result code: ");
    ASSERT_NE(code, std::string::npos);
    EXPECT_NE(run.console.substr(code), "\n\nParse result code: 00000000\n\n");
    EXPECT_EQ(run.console.size(), code + std::string("\n\nParse result code: 00000000\n\n").size());
    EXPECT_EQ(run.console.find("DUMP"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.File(kDatabase)));
}

TEST(ExchangeCompilerFailure, ValidationErrorStopsWithOneLine) {
    TempDir dir;
    WriteText(dir.File(kDatabase), "old database");
    WriteText(dir.File("root.xml"), "<root><palm-client/></root>");
    const Outcome run = RunCompiler({dir.File("root.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.console,
              "\nParsing document: " + (dir.File("root.xml")) + "\nXML validation error: root\n");
    EXPECT_EQ(ReadText(dir.File(kDatabase)), "old database");
}

TEST(ExchangeCompilerFailure, MissingViewNamesTheExchange) {
    TempDir dir;
    WriteText(dir.File("view.xml"), "<palm-client><exchange name='e'/></palm-client>");
    const Outcome run = RunCompiler({dir.File("view.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.console, "\nParsing document: " + (dir.File("view.xml")) +
                               "\nXML validation error: exchange\n");
}

TEST(ExchangeCompilerFailure, EleventhExchange) {
    TempDir dir;
    std::string xml = "<palm-client>";
    for (int i = 0; i < 11; ++i) {
        xml += "<exchange name='e' view='v'/>";
    }
    WriteText(dir.File("many.xml"), xml + "</palm-client>");
    const Outcome run = RunCompiler({dir.File("many.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.console, "\nParsing document: " + (dir.File("many.xml")) +
                               "\nToo much exchange tags. Maximum: 10");
    EXPECT_FALSE(fs::exists(dir.File(kDatabase)));
}

TEST(ExchangeCompilerFailure, OversizedDocumentsRecordIsRefusedAfterTheDump) {
    TempDir dir;
    WriteText(dir.File(kDatabase), "old database");
    WriteText(dir.File("big.xml"),
              "<palm-client><exchange name='big' view='v'><post><documents>"
              "<document name='" +
                  std::string(70000, 'n') +
                  "'/><document name='second'/></documents></post></exchange>"
                  "</palm-client>");
    const Outcome run = RunCompiler({dir.File("big.xml"), dir.Path() + "/"});
    EXPECT_EQ(run.status, 1);
    const std::string tail =
        "------- GET FILES: -------\nPost documents of exchange big do not fit in one record: a "
        "document would start beyond byte 65535\n";
    ASSERT_GE(run.console.size(), tail.size());
    EXPECT_EQ(run.console.substr(run.console.size() - tail.size()), tail);
    EXPECT_EQ(ReadText(dir.File(kDatabase)), "old database");
}

TEST(ExchangeCompilerFailure, RecordsTheHandheldCannotHoldAreRefusedAfterTheDump) {
    std::string tables;
    for (int i = 0; i < 100; ++i) {
        tables += "<table name='" + std::string(1000, 't') + "'/>";
    }
    struct Case {
        std::string description;
        std::string refusal;
    };
    const Case cases[] = {
        // Index record: 4 + 70002 (name) + 2 (view) + 14 (slots).
        {"<palm-client><exchange name='" + std::string(70000, 'n') + "' view='v'/></palm-client>",
         "------- GET FILES: -------\nThe exchange list does not fit in one record: 70022 "
         "bytes, at most 65535\n"},
        // Get tables record: 2 (empty URL) + 2 (count) + 100 * 1002.
        {"<palm-client><exchange name='many' view='v'><get><tables>" + tables +
             "</tables></get></exchange></palm-client>",
         "------- GET FILES: -------\nGet tables of exchange many do not fit in one record: "
         "100204 bytes, at most 65535\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteText(dir.File(kDatabase), "old database");
        WriteText(dir.File("big.xml"), c.description);
        const Outcome run = RunCompiler({dir.File("big.xml"), dir.Path() + "/"});
        EXPECT_EQ(run.status, 1);
        ASSERT_GE(run.console.size(), c.refusal.size());
        EXPECT_EQ(run.console.substr(run.console.size() - c.refusal.size()), c.refusal);
        EXPECT_EQ(ReadText(dir.File(kDatabase)), "old database");
    }
}

TEST(ExchangeCompilerFailure, LocationsNameTheLineOfEveryError) {
    std::string many = "<palm-client>";
    for (int i = 0; i < 11; ++i) {
        many += "\n<exchange name='e' view='v'/>";
    }
    std::string tables;
    for (int i = 0; i < 100; ++i) {
        tables += "<table name='" + std::string(1000, 't') + "'/>";
    }
    struct Case {
        std::string description;
        std::vector<std::string> arguments;  // IN stands for the description
        std::string located;                 // a line of the console, its location included
    };
    const Case cases[] = {
        {"<palm-client>\n<exchange name='e' view='v'>\n<pots/>\n</exchange></palm-client>",
         {"--locations", "IN"},
         "IN:3: XML validation error: pots\n"},
        {"<palm-client>\n\n<exchange\n name='e'/></palm-client>",
         {"IN", "--locations"},
         "IN:4: XML validation error: exchange\n"},
        {many, {"IN", "--locations", "OUT"}, "IN:12: Too much exchange tags. Maximum: 10"},
        {"<palm-client>\n<exchange name='e' view='v'>\n</palm-client>\n",
         {"--locations", "IN", "OUT"},
         "IN:3: Parse error at line 3, column "},
        {"<palm-client>\n<exchange name='" + std::string(70000, 'n') +
             "' view='v'/>\n</palm-client>",
         {"--locations", "IN", "OUT"},
         "\nIN:1: The exchange list does not fit in one record: "},
        {"<palm-client>\n<exchange name='many' view='v'>\n<get><tables>" + tables +
             "</tables></get></exchange></palm-client>",
         {"--locations", "IN", "OUT"},
         "\nIN:2: Get tables of exchange many do not fit in one record: "},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteText(dir.File("in.xml"), c.description);
        std::vector<std::string> with;
        std::vector<std::string> without;
        for (const std::string& argument : c.arguments) {
            const std::string actual = argument == "IN"    ? dir.File("in.xml")
                                       : argument == "OUT" ? dir.Path()
                                                           : argument;
            with.push_back(actual);
            if (argument != "--locations") {
                without.push_back(actual);
            }
        }
        const Outcome located = RunCompiler(with);
        const Outcome plain = RunCompiler(without);
        EXPECT_EQ(located.status, 1);
        EXPECT_EQ(plain.status, 1);
        std::string line = c.located;
        line.replace(line.find("IN"), 2, dir.File("in.xml"));
        const size_t at = located.console.find(line);
        ASSERT_NE(at, std::string::npos) << located.console.substr(0, 300);
        // Apart from the location the console is the same as without the option.
        const size_t end = line.find(": ", line.find(dir.File("in.xml")) + 1) + 2;
        std::string stripped = located.console;
        stripped.erase(at + line.find(dir.File("in.xml")), end - line.find(dir.File("in.xml")));
        EXPECT_EQ(stripped, plain.console);
    }
}

TEST(ExchangeCompilerFailure, OutputThatCannotBeCreated) {
    TempDir dir;
    // A directory stands where the file should go.
    fs::create_directory(dir.File(std::string("x") + kDatabase));
    const Outcome run = RunCompiler({kExample, dir.File("x")});
    EXPECT_EQ(run.status, 1);
    const std::string file = dir.File(std::string("x") + kDatabase);
    const std::string tail =
        "Creating PDB-file: " + file + "\nError creating " + file + " file\nIs a directory\n";
    ASSERT_GE(run.console.size(), tail.size());
    EXPECT_EQ(run.console.substr(run.console.size() - tail.size()), tail);
}

// ---- The built program -----------------------------------------------------------------------

TEST(ExchangeCompilerProgram, UsageWithoutArguments) {
    TempDir dir;
    const Outcome run = RunProgram(dir, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console, "Usage:\n\tquilxdb.exe filename [output_directory]\n\tVersion 5.2");
}

TEST(ExchangeCompilerProgram, CompilesTheExampleIntoTheCurrentDirectory) {
    TempDir dir;
    const Outcome run = RunProgram(dir, Quoted(kExample));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console, "\nParsing document: " + kExample +
                               "\n\nParse result code: 00000000\n\n" + ExpectedExampleDump() +
                               "Creating PDB-file: QL_PalmClientTransferDB.pdb\n");
    EXPECT_EQ(ReadBytes(dir.File(kDatabase)), ExpectedExampleDatabase());
    ExpectInspectorFindsNothing(dir.File(kDatabase));
}

TEST(ExchangeCompilerProgram, FailuresEndWithStatusOne) {
    TempDir dir;
    WriteText(dir.File("root.xml"), "<palm/>");
    const Outcome invalid = RunProgram(dir, "root.xml");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.console, "\nParsing document: root.xml\nXML validation error: palm\n");

    const Outcome missing = RunProgram(dir, "missing.xml out/");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.console.find("\nParse result code: 0000060d\n\n"), std::string::npos);

    std::string xml = "<palm-client>";
    for (int i = 0; i < 11; ++i) {
        xml += "<exchange name='e' view='v'/>";
    }
    WriteText(dir.File("many.xml"), xml + "</palm-client>");
    const Outcome many = RunProgram(dir, "many.xml");
    EXPECT_EQ(many.status, 1);
    EXPECT_EQ(many.console, "\nParsing document: many.xml\nToo much exchange tags. Maximum: 10");

    EXPECT_FALSE(fs::exists(dir.File(kDatabase)));
}

namespace {

// The example in Windows-1251, in a folder and under a file name in Cyrillic, through the
// program into that folder: the same database, the names shown as given.
TEST(ExchangeCompilerProgram, Windows1251UnderCyrillicNames) {
    TempDir dir;
    const std::string folder = dir.File("Обмен с офисом");
    fs::create_directory(CPlatform::Path(folder));
    std::string text = ReadText(kExample);
    text.replace(text.find("UTF-8"), 5, "cp1251");
    const std::string source = folder + "/Ежедневный обмен.xml";
    std::ofstream(CPlatform::Path(source), std::ios::binary) << CConverter::ToNarrow(text);
    const Outcome run = RunProgram(dir, Quoted(source) + " " + Quoted(folder + "/"));
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(run.console.rfind("\nParsing document: " + source + "\n", 0), 0u) << run.console;
    std::ifstream in(CPlatform::Path(folder + "/" + kDatabase), std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              ExpectedExampleDatabase());
}

}  // namespace

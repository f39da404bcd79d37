// quilinspect --xml: every database the compilers write from a document is written back as a
// document that compiles to the same bytes (header dates aside); where the source compiled
// with warnings, writing back the recompiled database gives the same document again.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CConfigurationGenerator.h"
#include "CDecompiler.h"
#include "CExchangeGenerator.h"
#include "CInspectorProgram.h"
#include "InspectorDatabases.h"
#include "Portable.h"
#include "TempDir.h"

namespace {

struct Source {
    std::string name;
    std::string kind;  // "configuration" or "exchange"
    std::string xml;
};

// A small configuration around the given parts: root attributes, menus, document extras, and
// the frame's content.
std::string Configuration(const std::string& root, const std::string& menus,
                          const std::string& document, const std::string& frame) {
    return "<quillora name=\"T\"" + root + ">" +
           (menus.empty() ? "<menu name=\"M\"><menuitem title=\"A\" func=\"OK()\"/></menu>"
                          : menus) +
           "<journal name=\"J\" view=\"J\"><data><jrndocument name=\"D\"/></data></journal>"
           "<document name=\"D\" view=\"D\" prefix=\"D\"><data><database name=\"QL_D\"/></data>"
           "<entries><entry name=\"e\" dbtype=\"INTEGER\" view=\"E\"/>"
           "<entry name=\"rows\" type=\"table\"><datasource type=\"create\">"
           "<field name=\"a\" dbtype=\"TEXT(9)\" view=\"A\" default=\"x\"/></datasource></entry>"
           "</entries>" +
           document +
           "</document><reference name=\"R\" view=\"R\"><data><database name=\"QL_R\"/></data>"
           "</reference><frame name=\"F\" view=\"F\">" +
           frame + "</frame></quillora>";
}

std::string Form(const std::string& controls, const std::string& form = "") {
    return "<forms><form name=\"f\" layers=\"2\"" + form + "><controls>" + controls +
           "</controls></form></forms>";
}

std::string Exchange(const std::string& body) {
    return "<palm-client>" + body + "</palm-client>";
}

// The constructs of the languages, each once; the shapes of the generator; the examples.
std::vector<Source> Sources() {
    std::vector<Source> sources = {
        {"example configuration", "configuration", ReadExample("configuration.xml")},
        {"example exchange", "exchange", ReadExample("exchange.xml")},
        {"root defaults", "configuration", Configuration(" developer=\"\"", "", "", "")},
        {"root screen", "configuration",
         Configuration(" screenWidth=\"160\" screenHeight=\"160\" developer=\"X &amp; Y\"", "", "",
                       "")},
        {"menu tree", "configuration",
         Configuration("",
                       "<menu name=\"a\"><submenu title=\"S\"><menuitem title=\"I\" shortcut=\"Q\">"
                       "<menuitem title=\"N\" func='PleaseWait(\"w\")'/></menuitem></submenu>"
                       "<separator><menuitem title=\"U\"/></separator></menu><menu name=\"b\"/>",
                       "", Form("", " menuname=\"b\""))},
        {"ids out of order, navigation and control arguments", "configuration",
         Configuration(
             "", "", "",
             Form("<control type=\"field\" id=\"10\"><layout x=\"1\" y=\"2\" w=\"3\" "
                  "h=\"4\" down=\"7\" right=\"5\"/><fieldattrs maxChars=\"5\" "
                  "numeric=\"true\" justification=\"centerAlign\" font=\"boldFont\"/>"
                  "<events><event type=\"update\" func='SetFilterSQL(7, \"q\")'/>"
                  "<event type=\"select\" func='CalcControl(10, \"t\"); SetFilterSQL(0, "
                  "\"\")'/></events>"
                  "</control><control type=\"table\" id=\"5\"><layout x=\"0\" y=\"0\" "
                  "w=\"9\" h=\"9\" up=\"10\" layer=\"0\" enable=\"false\" "
                  "resize=\"movey stretchx\"/><tableattrs font=\"3\"/></control>"
                  "<control type=\"table\" id=\"7\"><layout x=\"-2\" y=\"0\" w=\"9\" "
                  "h=\"9\" left=\"5\" resize=\"горизперемещение\"/><tableattrs/>"
                  "</control>",
                  " firstNav=\"7\"><acts><open funcs=\"SetCurrentDateTime(5)\"/></acts"))},
        {"every control type", "configuration",
         Configuration(
             "", "", "",
             Form("<control type=\"static\" id=\"1\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<staticattrs text=\"a&#9;b&#10;c&#13;&#127; &quot;d&quot; 'e' "
                  "&lt;&amp;\"/></control>"
                  "<control type=\"valueList\" id=\"2\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<valuelistattrs font=\"ledFont\" maxVisibleCount=\"4\"/></control>"
                  "<control type=\"button\" id=\"3\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<buttonattrs type=\"graph\" frameType=\"boldButtonFrame\"><graph "
                  "bitmapID=\"7\" selectedBitmapID=\"8\"/></buttonattrs></control>"
                  "<control type=\"button\" id=\"4\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<buttonattrs type=\"text\" frameType=\"noButtonFrame\"><text text=\"t\" "
                  "font=\"symbolFont\"/></buttonattrs></control>"
                  "<control type=\"pushbutton\" id=\"5\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<pushbuttonattrs type=\"graph\" group=\"3\"><graph bitmapID=\"9\"/>"
                  "</pushbuttonattrs></control>"
                  "<control type=\"checkbox\" id=\"6\" entry=\"E\"><layout x=\"0\" y=\"0\" w=\"1\" "
                  "h=\"1\"/><checkboxattrs text=\"c\" group=\"2\"/></control>"
                  "<control type=\"bitmap\" id=\"7\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<bitmapattrs bitmapID=\"1000\"/></control>"
                  "<control type=\"datetime\" id=\"8\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<datetimeattrs title=\"\"/></control>"
                  "<control type=\"formmenu\" id=\"9\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<items><item bitmapID=\"1\" view=\"v\" func='OpenFrame(\"F\", \"f\")'/>"
                  "<separator/><item bitmapID=\"2\" view=\"\"/></items><events><event "
                  "type=\"init\" func=\"TblRedraw()\"/></events></control>"))},
        {"document objects", "configuration",
         "<quillora name=\"T\"><menu name=\"M\"/>"
         "<journal name=\"J\" view=\"J\"><data><jrndocument name=\"D\"/><jrndocument "
         "name=\"E\"/></data><acts><init funcs=\"Close()\"/></acts></journal>"
         "<commonEntries><entry name=\"c\" type=\"primitive\" dbtype=\"INT64\" view=\"C\" "
         "mandatory=\"true\"/><entry name=\"t\" type=\"table\"><datasource type=\"create\">"
         "<field name=\"f\" dbtype=\"REAL\" view=\"F\"/></datasource></entry></commonEntries>"
         "<document name=\"D\" view=\"D\" prefix=\"DD\" pdaCreate=\"true\" hasJournal=\"false\">"
         "<data><database name=\"QL_Docs\"/></data><inheritances><inheritance name=\"E\"/>"
         "<inheritance name=\"X\"/></inheritances><entries><entry name=\"v\" type=\"valueList\" "
         "dbtype=\"INTEGER\" view=\"V\" default=\"1\"><datasource type=\"static\"><item "
         "value=\"1\" view=\"one\"/><item value=\"\" view=\"none\"/></datasource></entry>"
         "<entry name=\"r\" type=\"record\" dbtype=\"INTEGER\"><datasource type=\"table\"><table "
         "name=\"QL_X\" filter=\"a = 1\"/></datasource></entry><entry name=\"d\" "
         "type=\"database\"><datasource type=\"present\"><table name=\"QL_Y\"/></datasource>"
         "</entry></entries><acts><init funcs=\"InitEmpty()\"/><delete funcs=\"OK()\"/></acts>"
         "</document><document name=\"E\" view=\"E\" prefix=\"E\"><data><database "
         "name=\"QL_E\"/></data><entries><entry name=\"x\" "
         "dbtype=\"BLOB\"/></entries></document>"
         "<recordview name=\"V\" view=\"V\"><entries><entry name=\"z\" dbtype=\"DATE\"/>"
         "</entries><acts><init funcs=\"OK()\"/></acts></recordview>"
         "<reference name=\"R\" view=\"R\"><data><database name=\"QL_R\"/></data><entries><entry "
         "name=\"s\" dbtype=\"TEXT(30)\"/></entries><acts><init funcs=\"Close()\"/></acts>"
         "</reference><frame name=\"F\" view=\"F\"/></quillora>"},
        // Warnings: what the database does not hold comes back as nothing.
        {"failed expression and skipped events", "configuration",
         Configuration(
             "", "", "<acts><save funcs=\"NoSuchFunction()\"/></acts>",
             Form("<control type=\"formmenu\" id=\"1\"><layout x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                  "<items><item view=\"v\" func=\"Nothing(\"/><item bitmapID=\"3\"/><other/>"
                  "</items><events><event type=\"select\" func=\"OK()\"/><event type=\"bogus\" "
                  "func=\"OK()\"/></events></control>"))},
        {"inheritance without a name", "configuration",
         Configuration("", "", "<inheritances><inheritance/></inheritances>", "")},
        {"exchange groups", "exchange",
         Exchange("<exchange name=\"empty\" view=\"\"/><exchange name=\"g\" view=\"v\"><get>"
                  "<tables><table name=\"t\" path=\"p\"/></tables><pdbs url=\"u\"><pdb "
                  "name=\"d\"/></pdbs><files><file name=\"f\"/></files></get><post><files><file "
                  "name=\"x\" type=\"\" delete=\"TRUE\"/></files><documents url=\"&quot;\">"
                  "<document name=\"d\"/><document name=\"e\"><doc-table><field name=\"t\"/>"
                  "</doc-table></document></documents></post></exchange>")},
    };
    // The generator's documents: its fixed shapes, then seeds that vary every value of the
    // control records and the order of events, and small varied exchange descriptions.
    for (const bool dense : {false, true}) {
        sources.push_back({dense ? "generated dense" : "generated plain", "configuration",
                           CConfigurationGenerator({2, 2, 12, dense}).Generate()});
    }
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const CConfigurationGenerator::Shape shape = {
            1 + static_cast<int>(seed % 2), 1 + static_cast<int>(seed % 3 == 0),
            11 + static_cast<int>(seed % 10), seed % 4 == 1, seed};
        sources.push_back({"generated seed " + std::to_string(seed), "configuration",
                           CConfigurationGenerator(shape).Generate()});
    }
    for (unsigned seed = 1; seed <= 100; ++seed) {
        sources.push_back({"generated exchanges, seed " + std::to_string(seed), "exchange",
                           CExchangeGenerator::Generate(1 + static_cast<int>(seed % 10), seed)});
    }
    sources.push_back({"generated exchanges", "exchange", CExchangeGenerator::Generate(2)});
    return sources;
}

// The database of a document and whether the compiler warned (or erred without failing).
bool Compiled(const Source& source, const std::string& xml, Bytes& image, bool& warned) {
    if (source.kind == "exchange") {
        warned = false;
        return CDecompiler::Compile(source.kind, xml, image);
    }
    std::ostringstream console;
    const bool compiled = CConfCompiler(console).CompileMemory(xml, image) == 0;
    warned = console.str().find("[WARNING") != std::string::npos ||
             console.str().find("[ERROR") != std::string::npos;
    return compiled;
}

}  // namespace

// The lines of a text but the comments on what it does not reproduce.
std::string WithoutNotes(const std::string& text) {
    std::istringstream in(text);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        if (line.find("<!-- not reproduced: ") == std::string::npos) {
            kept += line + "\n";
        }
    }
    return kept;
}

TEST(DecompilerTest, EveryDatabaseComesBackAsItsDocument) {
    size_t exact = 0;
    size_t fixed = 0;
    // The documents of the hand-written rows and of every 20th generated one, without
    // warnings, for the schemas (a source with warnings may itself be one the schema refuses,
    // such as an inheritance without a name).
    TempDir dir;
    std::string schemaFiles[2];
    for (const Source& source : Sources()) {
        SCOPED_TRACE(source.name);
        Bytes image;
        bool warned = false;
        ASSERT_TRUE(Compiled(source, source.xml, image, warned));
        const CDecompiler::Result first = CDecompiler::Decompile(image, "first.pdb");
        std::string reasons;
        for (const std::string& reason : first.reasons) {
            reasons += "\n  " + reason;
        }
        // A source with warnings may leave what no document gives back (the texts of an
        // expression that failed): refused, but written with --force all the same.
        EXPECT_TRUE(first.reproduced || warned) << reasons;
        const bool sample = source.name.rfind("generated", 0) != 0 || (exact + fixed) % 20 == 0;
        if (sample && !warned) {
            const std::string file = "doc" + std::to_string(exact + fixed) + ".xml";
            schemaFiles[source.kind == "exchange" ? 1 : 0] +=
                " " + Quoted(dir.Write(file, first.text));
        }
        Bytes again;
        bool warnedAgain = false;
        if (!Compiled(source, first.text, again, warnedAgain)) {
            ADD_FAILURE() << "the document does not compile:\n" << first.text;
            continue;
        }
        if (!warned) {
            EXPECT_EQ(CDecompiler::Difference(image, again), "");
            ++exact;
            continue;
        }
        // The recompiled database is reproduced, by the same document but for the notes, and
        // that document is a fixed point.
        const CDecompiler::Result second = CDecompiler::Decompile(again, "first.pdb");
        EXPECT_TRUE(second.reproduced);
        EXPECT_EQ(second.text, WithoutNotes(first.text));
        Bytes third;
        ASSERT_TRUE(Compiled(source, second.text, third, warnedAgain));
        EXPECT_EQ(CDecompiler::Decompile(third, "first.pdb").text, second.text);
        ++fixed;
    }
#ifndef _WIN32
    // The Windows libxml2 has no schemas; xmllint checks them elsewhere.
    const char* schemas[2] = {"quillora.xsd", "palm-client.xsd"};
    for (size_t k = 0; k < 2; ++k) {
        int status = -1;
        const std::string output =
            RunCommand("xmllint --noout --schema " +
                           Quoted(std::string(QUIL_SOURCE_DIR) + "/schemas/" + schemas[k]) +
                           schemaFiles[k] + " 2>&1",
                       status);
        EXPECT_EQ(status, 0) << output;
    }
#endif
    EXPECT_GT(exact, 300u);
    EXPECT_EQ(fixed, 2u);  // the two rows with warnings
}

// The command line: --xml to a file or to standard output, --diff with its three statuses.
TEST(DecompilerTest, TheProgramWritesAndComparesDocuments) {
    TempDir dir;
    const Bytes& conf = ExampleConfiguration();
    const Bytes& xchg = ExampleExchange();
    const std::string configuration =
        dir.Write("QL_Configuration.pdb", std::string(conf.begin(), conf.end()));
    const std::string exchange =
        dir.Write("QL_PalmClientTransferDB.pdb", std::string(xchg.begin(), xchg.end()));
    std::ostringstream out;
    std::ostringstream err;
    const std::string written = dir.File("configuration.xml");
    EXPECT_EQ(CInspectorProgram::Run({"--xml", configuration, written}, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    const Bytes bytes = dir.ReadBytes("configuration.xml");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Written back by "
                         "quilinspect from ",
                         0),
              0u);
    EXPECT_NE(text.find(", a database of 9 records -->\n<quillora "), std::string::npos);

    struct Row {
        std::vector<std::string> args;
        int status;
        std::string output;  // the start of standard output
    };
    const std::vector<Row> rows = {
        {{"--diff", configuration, configuration}, 0, ""},
        {{"--diff", exchange, exchange}, 0, ""},
        {{"--diff", configuration, exchange},
         1,
         "--- " + configuration + "\n+++ " + exchange + "\n@@ -1,"},
        {{"--diff", configuration, dir.File("missing.pdb")}, 2, ""},
        {{"--diff", configuration}, 2, ""},
        {{"--xml", exchange}, 0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- "},
        {{"--xml", dir.File("missing.pdb")}, 2, ""},
        {{"--xml", configuration, configuration}, 2, ""},
        {{"--xml", written}, 1, ""},  // no database
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.args.back());
        std::ostringstream rowOut;
        std::ostringstream rowErr;
        EXPECT_EQ(CInspectorProgram::Run(row.args, rowOut, rowErr), row.status) << rowErr.str();
        EXPECT_EQ(rowOut.str().substr(0, row.output.size()), row.output);
    }
}

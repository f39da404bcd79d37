// The inspector on whole databases: random and mutated bytes always give a whole document, the
// same for the same bytes; the example's forms draw as well-formed SVG linked from index.html;
// the program's modes and statuses.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "CFormDrawing.h"
#include "CFormGallery.h"
#include "CInspector.h"
#include "CTextReport.h"
#include "InspectorDatabases.h"
#include "TempDir.h"

namespace {

std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// Every part of the inspector on one input: the document, the report and every drawing. The
// document always has the same members, in order, and the same bytes always give the same
// document (nothing read outside them, nothing kept from an earlier input).
void InspectEverything(const Bytes& bytes) {
    const Json document = CInspector::Inspect(bytes, "input");
    std::vector<std::string> members;
    for (const auto& [key, value] : document.items()) {
        members.push_back(key);
    }
    const std::string kind = document["kind"].get<std::string>();
    std::vector<std::string> expected = {"file", "kind", "header", "records"};
    if (kind != "unknown") {
        expected.push_back(kind);
    }
    expected.insert(expected.end(), {"problems", "warnings"});
    ASSERT_EQ(members, expected);
    ASSERT_EQ(CInspector::Inspect(bytes, "input"), document);
    CTextReport::Write(document);
    document.dump();
    if (document.contains("configuration")) {
        for (const char* section :
             {"journals", "documents", "recordViews", "references", "frames"}) {
            for (const Json& object : document["configuration"][section]) {
                for (const Json& form : object["forms"]) {
                    CFormDrawing::Svg(form, "object", 240, 268);
                }
            }
        }
    }
}

TEST(InspectorTest, RandomAndMutatedBytesGiveTheSameWholeDocumentEveryTime) {
    std::mt19937 random(20240601);
    const auto below = [&](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
    for (int i = 0; i < 3000; ++i) {
        Bytes bytes;
        if (i % 3 == 0) {
            bytes.resize(below(600));
            for (uint8_t& byte : bytes) {
                byte = static_cast<uint8_t>(below(256));
            }
        } else {
            // A few bytes of an example changed, or the file cut short.
            bytes = i % 3 == 1 ? ExampleConfiguration() : ExampleExchange();
            for (size_t k = below(8) + 1; k > 0; --k) {
                bytes[below(bytes.size())] = static_cast<uint8_t>(below(256));
            }
            if (below(4) == 0) {
                bytes.resize(below(bytes.size()));
            }
        }
        InspectEverything(bytes);
    }
}

int XmlErrors = 0;
void CountXmlError(void*, const char*, ...) {
    ++XmlErrors;
}

TEST(InspectorTest, TheExampleFormsDrawAsWellFormedSvgLinkedFromTheIndex) {
    TempDir dir;
    const Json document = CInspector::Inspect(ExampleConfiguration(), "example");
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(CFormGallery::Write(document, dir.Path(), written, error)) << error;
    ASSERT_EQ(written.size(), 13u);  // twelve forms and the index
    const std::string index = Text(dir.ReadBytes("index.html"));
    xmlSetGenericErrorFunc(nullptr, CountXmlError);
    for (const std::string& path : written) {
        const std::string name = std::filesystem::path(path).filename().string();
        if (name == "index.html") {
            continue;
        }
        EXPECT_NE(index.find("<object data=\"" + name + "\" type=\"image/svg+xml\">"),
                  std::string::npos)
            << name;
        // The example's forms are sound: nothing outside the screen, no overlaps.
        const std::string drawing = Text(dir.ReadBytes(name));
        EXPECT_EQ(drawing.find("class=\"offscreen\""), std::string::npos) << name;
        EXPECT_EQ(drawing.find("class=\"overlap\""), std::string::npos) << name;
        XmlErrors = 0;
        xmlDocPtr svg = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
        EXPECT_NE(svg, nullptr) << name;
        EXPECT_EQ(XmlErrors, 0) << name;
        xmlFreeDoc(svg);
    }
    xmlSetGenericErrorFunc(nullptr, nullptr);
    EXPECT_NE(index.find("<h2>Check</h2>\n<p class=\"note\">No problems.</p>"), std::string::npos);
    EXPECT_EQ(index.find("class=\"findings\">"), std::string::npos);
    // Each control is drawn with its index on hover: the order form has 20 on two layers.
    const std::string order = Text(dir.ReadBytes("documents-0-0.svg"));
    size_t titles = 0;
    for (size_t at = order.find("<title>#"); at != std::string::npos;
         at = order.find("<title>#", at + 1)) {
        ++titles;
    }
    EXPECT_EQ(titles, 20u + 4u);  // the controls without a layer are on both screens
    EXPECT_NE(order.find("<title>#2 button, entry customer at 70,36 size 166x14, layer 1\n"
                         "select: RefSingleSelect(&quot;Клиенты&quot;"),
              std::string::npos);
}

// 40 frames sharing one form table of 30 forms, two distinct, draw two forms; past the
// limits of files or bytes nothing is written.
TEST(InspectorTest, TheGalleryDrawsASharedFormOnceAndStaysWithinItsLimits) {
    Json document = CInspector::Inspect(ExampleConfiguration(), "example");
    Json frame = document["configuration"]["frames"][0];
    const Json form = frame["forms"][0];
    for (size_t k = 1; k < 30; ++k) {
        frame["forms"].push_back(form);
        frame["forms"].back()["name"] = k % 2 == 0 ? "even" : "odd";
    }
    document["configuration"]["frames"] = Json::array();
    for (size_t i = 0; i < 40; ++i) {
        document["configuration"]["frames"].push_back(frame);
        document["configuration"]["frames"].back()["name"] = "frame " + std::to_string(i);
    }
    const std::string more = "example: the drawings would take more than ";
    const std::tuple<CFormGallery::Limits, size_t, std::string> cases[] = {
        {CFormGallery::kLimits, 10 + 3 + 1, ""},  // the other objects' forms, these, the index
        {{13, size_t{1} << 30}, 0, more + "13 files; nothing was written"},
        {{100, 20000}, 0, more + "20000 bytes; nothing was written"}};
    for (const auto& [limits, files, reason] : cases) {
        TempDir dir;
        std::vector<std::string> written;
        std::string error;
        EXPECT_EQ(CFormGallery::Draw(document, dir.File("svg"), limits, written, error) ==
                      CFormGallery::Outcome::OverLimit,
                  files == 0);
        EXPECT_EQ(std::tuple(error, written.size(), dir.Exists("svg")),
                  std::tuple(reason, files, files > 0));
    }
}

TEST(InspectorTest, TheProgramReportsChecksAndRefuses) {
    TempDir dir;
    const Bytes& configuration = ExampleConfiguration();
    dir.Write("c.pdb", std::string(configuration.begin(), configuration.end()));
    const Bytes& exchange = ExampleExchange();
    dir.Write("x.pdb", std::string(exchange.begin(), exchange.end()));
    dir.Write("bad.pdb", std::string(configuration.begin(), configuration.begin() + 200));
    const std::string program = Quoted(QUILINSPECT_PATH) + " ";
    const std::string c = dir.File("c.pdb");
    const std::string x = dir.File("x.pdb");
    int status = -1;

    EXPECT_EQ(RunCommand(program + "--check " + c + " " + x, status),
              c + ": no problems\n" + x + ": no problems\n");
    EXPECT_EQ(status, 0);
    EXPECT_NE(RunCommand(program + "--check " + dir.File("bad.pdb"), status).find("problem"),
              std::string::npos);
    EXPECT_EQ(status, 1);

    std::string out = RunCommand(program + c, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.rfind(c + ": configuration database\nHeader\n", 0), 0u) << out;
    EXPECT_NE(out.find("      #2 button at 70,36 size 166x14, entry customer, layer 1, down #4\n"),
              std::string::npos);
    EXPECT_NE(out.find("\nProblems: none\n"), std::string::npos);

    out = RunCommand(program + "--json " + x, status);
    EXPECT_EQ(status, 0);
    const Json document = Json::parse(out);
    EXPECT_EQ(document["kind"], "exchange");
    EXPECT_EQ(document["exchange"]["exchanges"][0]["getDbs"]["databases"][0], "QL_Prices");
    EXPECT_TRUE(document["problems"].empty());

    const std::string svg = "--svg " + dir.File("svg");
    RunCommand(program + svg + " --grid 10 " + c, status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(Text(dir.ReadBytes("svg/documents-0-0.svg")).find("<path class=\"grid\""),
              std::string::npos);
    for (const std::string& wrong :
         {std::string(), std::string("--json"), svg + " " + x, svg + " --grid 1 " + c,
          svg + " --grid 10x " + c, svg + " --grid 10", svg + " " + c + " --grid 10",
          dir.File("missing.pdb"), "--other " + c}) {
        RunCommand(program + wrong + " " + kNoErrors, status);
        EXPECT_EQ(status, 2) << wrong;
    }
}

}  // namespace

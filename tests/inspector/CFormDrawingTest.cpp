// The drawing shows what is wrong with a form: the example's order form, changed to have a
// control partly and one wholly outside the screen and two pairs of overlapping controls, drawn
// with a grid; checked by what the geometry finds, by the SVG's elements and, where Chromium
// is installed, rendered.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include "CFormDrawing.h"
#include "CFormGeometry.h"
#include "CInspector.h"
#include "InspectorDatabases.h"
#include "TempDir.h"

namespace {

// The order form's controls #6 (partly right of the screen) and #14 (wholly below it) moved,
// #11 widened over #4 (layer 1), #19 (no layer) moved over #18 (layer 2).
Json ChangedOrderForm() {
    std::string xml = ReadExample("configuration.xml");
    for (const auto& [from, to] : std::initializer_list<std::pair<std::string, std::string>>{
             {"x=\"176\" y=\"70\" w=\"60\"", "x=\"206\" y=\"70\" w=\"80\""},
             {"x=\"2\" y=\"102\" w=\"66\"", "x=\"2\" y=\"280\" w=\"66\""},
             {"x=\"2\" y=\"54\" w=\"66\"", "x=\"2\" y=\"54\" w=\"90\""},
             {"x=\"90\" y=\"250\" w=\"58\"", "x=\"80\" y=\"240\" w=\"58\""}}) {
        const size_t at = xml.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        xml.replace(at, from.size(), to);
    }
    std::ostringstream console;
    Bytes bytes;
    EXPECT_EQ(CConfCompiler(console).CompileMemory(xml, bytes), 0) << console.str();
    return CInspector::Inspect(bytes, "changed")["configuration"]["documents"][0]["forms"][0];
}

// The value of an XPath expression at `node`: a node set as its texts joined by blanks.
std::string Evaluate(xmlXPathContextPtr context, xmlNodePtr node, const std::string& path) {
    context->node = node;
    xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST path.c_str(), context);
    std::string text;
    if (result != nullptr && result->type == XPATH_NODESET && result->nodesetval != nullptr) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
            text += (i > 0 ? " " : "") + std::string(reinterpret_cast<const char*>(content));
            xmlFree(content);
        }
    } else if (result != nullptr) {
        xmlChar* value = xmlXPathCastToString(result);
        text = reinterpret_cast<const char*>(value);
        xmlFree(value);
    }
    xmlXPathFreeObject(result);
    return text;
}

TEST(CFormDrawingTest, MarksControlsOutsideTheScreenAndOverlapsOnTheirLayerAndLabelsAll) {
    const Json form = ChangedOrderForm();
    EXPECT_EQ(CFormGeometry(form, 240, 268).Findings(),
              (std::vector<std::string>{
                  "#6 checkbox lies outside the 240x268 screen: at 206,70 size 80x12",
                  "#14 static lies outside the 240x268 screen: at 2,280 size 66x12",
                  "#4 datetime and #11 static overlap on layer 1",
                  "#18 button and #19 static overlap on layer 2"}));
    const std::string svg = CFormDrawing::Svg(form, "Заказ", 240, 268, 10);
    xmlDocPtr document = xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "order.svg",
                                       nullptr, XML_PARSE_NONET);
    ASSERT_NE(document, nullptr);
    xmlXPathContextPtr context = xmlXPathNewContext(document);
    xmlXPathRegisterNs(context, BAD_CAST "s", BAD_CAST "http://www.w3.org/2000/svg");
    const std::string screens = "/s:svg/s:g[@class='screen']";
    EXPECT_EQ(Evaluate(context, nullptr, "count(" + screens + ")"), "2");

    struct Row {
        int screen;  // the layer shown
        const char* path;
        const char* expected;
    };
    const Row rows[] = {
        // Every control the screen shows labelled once; those outside it last.
        {1, "s:g/s:g/s:text[@class='index']", "#0 #1 #2 #3 #4 #5 #7 #8 #9 #10 #11 #12 #13 #15 #19"},
        {1, "s:g[s:rect[@class='offscreen']]/s:text[@class='index']", "#6 #14"},
        {2, "s:g/s:g/s:text[@class='index']", "#0 #1 #10 #16 #17 #18 #19"},
        {2, "s:g[s:rect[@class='offscreen']]/s:text[@class='index']", ""},
        // #19 has no layer: it overlaps #18 on layer 2 only.
        {1, "s:rect[@class='overlap']/s:title", "#4 overlaps #11 #11 overlaps #4"},
        {2, "s:rect[@class='overlap']/s:title", "#18 overlaps #19 #19 overlaps #18"},
        // 23 vertical and 26 horizontal lines, every 10 pixels.
        {1, "s:g/s:path[@class='grid']/@d",
         "M10 0V268M20 0V268M30 0V268M40 0V268M50 0V268M60 0V268M70 0V268M80 0V268M90 0V268M100 "
         "0V268M110 0V268M120 0V268M130 0V268M140 0V268M150 0V268M160 0V268M170 0V268M180 "
         "0V268M190 0V268M200 0V268M210 0V268M220 0V268M230 0V268M0 10H240M0 20H240M0 30H240M0 "
         "40H240M0 50H240M0 60H240M0 70H240M0 80H240M0 90H240M0 100H240M0 110H240M0 120H240M0 "
         "130H240M0 140H240M0 150H240M0 160H240M0 170H240M0 180H240M0 190H240M0 200H240M0 "
         "210H240M0 220H240M0 230H240M0 240H240M0 250H240M0 260H240"},
        // Where the moved controls are drawn: at their places, in screen pixels.
        {1, "s:g/s:rect[@class='offscreen']/@x", "206 2"},
        {1, "s:g/s:rect[@class='offscreen']/@y", "70 280"},
    };
    for (const Row& row : rows) {
        const std::string screen = screens + "[" + std::to_string(row.screen) + "]";
        EXPECT_EQ(Evaluate(context, nullptr, screen + "/" + row.path), row.expected)
            << "screen " << row.screen << ": " << row.path;
    }
    // The picture holds the moved controls: #6 ends at 14 + 286 = 300, before the second
    // screen's frame at 335 - 14; #14 at 30 + 292 = 322, inside the picture's 325.
    EXPECT_EQ(Evaluate(context, nullptr, screens + "/@transform"),
              "translate(14 30) translate(335 30)");
    EXPECT_EQ(Evaluate(context, nullptr, "/s:svg/@viewBox"), "0 0 624 325");
    xmlXPathFreeContext(context);
    xmlFreeDoc(document);
}

TEST(CFormDrawingTest, ChromiumRendersTheDrawing) {
#ifdef _WIN32
    GTEST_SKIP() << "the rendering is checked with Chromium on Linux";
#else
    int status = -1;
    const std::string chromium =
        RunCommand("command -v chromium || command -v chromium-browser", status);
    if (status != 0 || chromium.empty()) {
        GTEST_SKIP() << "Chromium is not installed (scripts/deps.sh chromium installs it)";
    }
    TempDir dir;
    const std::string svg =
        dir.Write("order.svg", CFormDrawing::Svg(ChangedOrderForm(), "Заказ", 240, 268, 10));
    const std::string png = dir.File("order.png");
    RunCommand("timeout 300 " + Quoted(chromium.substr(0, chromium.find('\n'))) +
                   " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                   " --disable-background-networking --disable-component-update --disable-sync"
                   " --user-data-dir=" +
                   Quoted(dir.File("profile")) + " --screenshot=" + Quoted(png) +
                   " --window-size=1400,700 " + Quoted(svg) + " " + kNoErrors,
               status);
    const Bytes image = dir.ReadBytes("order.png");
    ASSERT_GT(image.size(), 24u) << "no picture; status " << status;
    EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 4), "PNG");
    // The width in the header chunk, big-endian.
    EXPECT_EQ(image[16] << 24 | image[17] << 16 | image[18] << 8 | image[19], 1400);
    // A blank page of this size compresses to about 4 KB; the drawing to over 60 KB.
    EXPECT_GT(image.size(), 20000u);
#endif
}

}  // namespace

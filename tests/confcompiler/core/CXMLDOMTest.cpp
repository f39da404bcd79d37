#include "CXMLDOM.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CConverter.h"

namespace {

namespace fs = std::filesystem;

// "Привет" and "Мир" in Windows-1251.
constexpr std::string_view kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
constexpr std::string_view kSecret = "TOP-SECRET-7c1e";

// A document loaded from memory; the test fails when it does not load.
void MustLoad(CXMLDOM& dom, std::string_view xml) {
    ASSERT_TRUE(dom.LoadMemory(xml)) << dom.LastError();
    ASSERT_TRUE(dom.LastError().empty());
}

std::string Attr(const CXMLDOM& dom, XmlNode node, std::string_view name) {
    std::string value = "<missing>";
    dom.GetAttribute(node, name, value);
    return value;
}

// Names of the children of `node` in order, joined by blanks.
std::string ChildNames(const CXMLDOM& dom, XmlNode node) {
    std::string names;
    for (XmlNode child = dom.GetFirstChild(node); child != nullptr;
         child = dom.GetNextSibling(child)) {
        if (!names.empty()) {
            names += ' ';
        }
        names += dom.GetNodeName(child);
    }
    return names;
}

// Every text a loaded document holds (node contents of the whole tree and every attribute
// value), to prove that a text never entered it.
std::string AllText(const CXMLDOM& dom) {
    std::string all;
    std::vector<XmlNode> pending;
    for (XmlNode node = dom.GetFirstNode(); node != nullptr; node = dom.GetNextSibling(node)) {
        pending.push_back(node);
    }
    while (!pending.empty()) {
        XmlNode node = pending.back();
        pending.pop_back();
        if (xmlChar* content = xmlNodeGetContent(node); content != nullptr) {
            all += reinterpret_cast<const char*>(content);
            xmlFree(content);
        }
        for (xmlAttr* attr = node->properties; node->type == XML_ELEMENT_NODE && attr != nullptr;
             attr = attr->next) {
            for (xmlNode* part = attr->children; part != nullptr; part = part->next) {
                if (part->content != nullptr) {
                    all += reinterpret_cast<const char*>(part->content);
                }
            }
        }
        for (XmlNode child = dom.GetFirstChild(node); child != nullptr;
             child = dom.GetNextSibling(child)) {
            pending.push_back(child);
        }
    }
    return all;
}

// Limits for a hostile document. A refused bomb costs a release build about a tenth of a
// second and a few megabytes; under AddressSanitizer every reallocation copies and freed memory
// is held in quarantine, so the same work takes seconds and a few hundred megabytes there. Either
// is far below what an accepted bomb would cost (gigabytes, minutes).
#if defined(__SANITIZE_ADDRESS__)
#define QUIL_XML_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUIL_XML_SANITIZED 1
#endif
#endif
#ifdef QUIL_XML_SANITIZED
constexpr auto kBombTime = std::chrono::seconds(30);
constexpr long kBombMemoryKb = 1024L * 1024;
#else
constexpr auto kBombTime = std::chrono::seconds(2);
constexpr long kBombMemoryKb = 256L * 1024;
#endif

// The classic nested-entity bomb: ten levels of ten references each, 10^9 "lol" in the end.
std::string BillionLaughs(bool inAttribute) {
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE quillora [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        xml += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) {
            xml += "&lol" + std::to_string(level - 1) + ";";
        }
        xml += "\">\n";
    }
    xml += "]>\n";
    xml += inAttribute ? "<quillora name=\"&lol9;\"/>" : "<quillora>&lol9;</quillora>";
    return xml;
}

// One 50000-byte entity referenced 50000 times: 2.5 GB of text from a 200 KB document.
std::string QuadraticBlowup(bool inAttribute) {
    std::string xml = "<!DOCTYPE quillora [<!ENTITY a \"" + std::string(50000, 'A') + "\">]>";
    std::string references;
    for (int i = 0; i < 50000; ++i) {
        references += "&a;";
    }
    xml += inAttribute ? "<quillora name=\"" + references + "\"/>"
                       : "<quillora>" + references + "</quillora>";
    return xml;
}

// A document as UTF-16 bytes with a byte order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Loading

TEST(CXMLDOMLoad, FileIsParsedWhole) {
    TempDir dir;
    const std::string path =
        dir.Write("config.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quillora name=\"Demo\">\n"
                  "  <menu name=\"m1\"/>\n</quillora>\n");
    CXMLDOM dom;
    ASSERT_TRUE(dom.Load(path)) << dom.LastError();
    const XmlNode root = dom.FindNode(dom.GetFirstNode(), "quillora");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Attr(dom, root, "name"), "Demo");
    EXPECT_EQ(ChildNames(dom, root), "menu");
}

TEST(CXMLDOMLoad, MissingFileFailsWithReason) {
    TempDir dir;
    CXMLDOM dom;
    EXPECT_FALSE(dom.Load(dir.File("absent.xml")));
    EXPECT_NE(dom.LastError().find("absent.xml"), std::string::npos) << dom.LastError();
    EXPECT_NE(dom.LastError().find("No such file"), std::string::npos) << dom.LastError();
    EXPECT_EQ(dom.GetFirstNode(), nullptr);
}

TEST(CXMLDOMLoad, DirectoryIsNotADocument) {
    TempDir dir;
    CXMLDOM dom;
    EXPECT_FALSE(dom.Load(dir.File("")));
    EXPECT_FALSE(dom.LastError().empty());
}

TEST(CXMLDOMLoad, MalformedDocumentGivesReasonLineAndColumn) {
    CXMLDOM dom;
    testing::internal::CaptureStderr();
    const bool loaded = dom.LoadMemory("<?xml version=\"1.0\"?>\n<r>\n  <a></b>\n</r>\n");
    const std::string noise = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(noise, "");  // the parser's messages are collected, not printed
    EXPECT_EQ(dom.LastError(),
              "Opening and ending tag mismatch: a line 3 and b, line 3, column 10");
    EXPECT_EQ(dom.GetFirstNode(), nullptr);
}

TEST(CXMLDOMLoad, MalformedFileNamesTheFirstProblem) {
    TempDir dir;
    CXMLDOM dom;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(dom.Load(
        dir.Write("bad.xml", "<quillora>\n  <menu name=\"x\" name=\"y\"/>\n  <menu\n</quillora>")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(dom.LastError(), "Attribute name redefined, line 2, column 26");
}

TEST(CXMLDOMLoad, OtherNotWellFormedDocumentsFail) {
    const char* const documents[] = {
        "",                      // nothing at all
        "   \n",                 // white space only
        "<a>",                   // unclosed
        "<a/><b/>",              // two roots
        "<a x=\"1\" x=\"2\"/>",  // repeated attribute
        "<a>&undefined;</a>",    // undeclared entity
        "<p:a/>",                // undeclared namespace prefix
        "<a>\x01</a>",           // forbidden character
        "<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><a/>",
        "<a>\xC3\x28</a>",  // broken UTF-8
    };
    for (const char* xml : documents) {
        CXMLDOM dom;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(dom.LoadMemory(xml)) << xml;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << xml;
        EXPECT_FALSE(dom.LastError().empty()) << xml;
        EXPECT_NE(dom.LastError().find("line "), std::string::npos) << dom.LastError();
        EXPECT_EQ(dom.GetFirstNode(), nullptr) << xml;
    }
}

TEST(CXMLDOMLoad, SecondLoadReplacesTheDocument) {
    CXMLDOM dom;
    MustLoad(dom, "<first a=\"1\"/>");
    MustLoad(dom, "<second a=\"2\"/>");
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "first"), nullptr);
    const XmlNode second = dom.FindNode(dom.GetFirstNode(), "second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Attr(dom, second, "a"), "2");

    // A failed load leaves no document behind, and a later good one clears the reason.
    EXPECT_FALSE(dom.LoadMemory("<broken"));
    EXPECT_EQ(dom.GetFirstNode(), nullptr);
    EXPECT_FALSE(dom.LastError().empty());
    MustLoad(dom, "<third/>");
    EXPECT_EQ(dom.GetNodeName(dom.GetFirstNode()), "third");
}

TEST(CXMLDOMLoad, NothingLoadedMeansNoNodes) {
    CXMLDOM dom;
    EXPECT_EQ(dom.GetFirstNode(), nullptr);
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "quillora"), nullptr);
}

TEST(CXMLDOMLoad, ParserSettingsAreRestoredAfterLoading) {
    const xmlExternalEntityLoader loader = xmlGetExternalEntityLoader();
    const xmlStructuredErrorFunc structured = xmlStructuredError;
    const xmlGenericErrorFunc generic = xmlGenericError;
    CXMLDOM dom;
    EXPECT_FALSE(dom.LoadMemory("<a>"));
    MustLoad(dom, "<a/>");
    EXPECT_EQ(xmlGetExternalEntityLoader(), loader);
    EXPECT_EQ(xmlStructuredError, structured);
    EXPECT_EQ(xmlGenericError, generic);
}

// ---------------------------------------------------------------------------------------------
// Hostile documents

TEST(CXMLDOMSecurity, ExternalEntityInAttributeDoesNotReadLocalFile) {
    TempDir dir;
    const std::string secret = dir.Write("secret.txt", kSecret);
    for (const std::string& system : {secret, "file://" + secret}) {
        CXMLDOM dom;
        testing::internal::CaptureStderr();
        const bool loaded = dom.LoadMemory("<!DOCTYPE quillora [<!ENTITY s SYSTEM \"" + system +
                                           "\">]><quillora name=\"&s;\"/>");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(loaded) << system;
        EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
        EXPECT_EQ(dom.LastError().find(kSecret), std::string::npos);
    }
}

TEST(CXMLDOMSecurity, ExternalEntityInContentIsRefused) {
    TempDir dir;
    const std::string secret = dir.Write("secret.txt", kSecret);
    CXMLDOM dom;
    testing::internal::CaptureStderr();
    const bool loaded = dom.LoadMemory("<!DOCTYPE quillora [<!ENTITY s SYSTEM \"" + secret +
                                       "\">]><quillora>&s;</quillora>");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Leaving the entity out silently would lose content: the load fails and says why.
    EXPECT_FALSE(loaded);
    EXPECT_NE(dom.LastError().find("External entity refused"), std::string::npos)
        << dom.LastError();
    EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
}

TEST(CXMLDOMSecurity, RelativeEntityNextToTheDocumentFileIsRefused) {
    TempDir dir;
    dir.Write("secret.txt", kSecret);
    const std::string path = dir.Write(
        "config.xml",
        "<!DOCTYPE quillora [<!ENTITY s SYSTEM \"secret.txt\">]><quillora>&s;</quillora>");
    CXMLDOM dom;
    EXPECT_FALSE(dom.Load(path));
    EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
}

TEST(CXMLDOMSecurity, ExternalParameterEntityIsRefused) {
    TempDir dir;
    const std::string dtd =
        dir.Write("evil.dtd", std::string("<!ENTITY s \"") + std::string(kSecret) + "\">");
    CXMLDOM dom;
    EXPECT_FALSE(dom.LoadMemory("<!DOCTYPE quillora [<!ENTITY % ext SYSTEM \"" + dtd +
                                "\"> %ext;]><quillora name=\"&s;\"/>"));
    EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
}

TEST(CXMLDOMSecurity, ExternalDtdIsNotLoaded) {
    TempDir dir;
    const std::string dtd = dir.Write(
        "evil.dtd", std::string("<!ENTITY s \"") + std::string(kSecret) +
                        "\"><!ATTLIST quillora name CDATA \"" + std::string(kSecret) + "\">");
    // Merely naming an external DTD is harmless: it is ignored and the document loads.
    CXMLDOM dom;
    MustLoad(dom, "<!DOCTYPE quillora SYSTEM \"" + dtd + "\"><quillora/>");
    EXPECT_EQ(Attr(dom, dom.FindNode(dom.GetFirstNode(), "quillora"), "name"), "<missing>");
    // Using an entity it would declare fails instead of reading the file.
    EXPECT_FALSE(dom.LoadMemory("<!DOCTYPE quillora SYSTEM \"" + dtd +
                                "\"><quillora name=\"&s;\">&s;</quillora>"));
    EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
}

// An entity loader someone else installed (here: one that hands out the secret) is not used
// while a configuration document is read, and is in place again afterwards.
xmlParserInputPtr LeakingLoader(const char*, const char*, xmlParserCtxtPtr context) {
    static const std::string text(kSecret);
    return xmlNewStringInputStream(context, reinterpret_cast<const xmlChar*>(text.c_str()));
}

TEST(CXMLDOMSecurity, ForeignEntityLoaderIsNotUsed) {
    const xmlExternalEntityLoader before = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(LeakingLoader);
    CXMLDOM dom;
    EXPECT_FALSE(dom.LoadMemory(
        "<!DOCTYPE quillora [<!ENTITY s SYSTEM \"anything\">]><quillora>&s;</quillora>"));
    EXPECT_EQ(AllText(dom).find(kSecret), std::string::npos);
    EXPECT_EQ(xmlGetExternalEntityLoader(), LeakingLoader);
    xmlSetExternalEntityLoader(before);
}

TEST(CXMLDOMSecurity, BillionLaughsIsRefusedQuicklyWithBoundedMemory) {
    for (const bool inAttribute : {false, true}) {
        const long peakBefore = PeakResidentKb();
        const auto started = std::chrono::steady_clock::now();
        CXMLDOM dom;
        testing::internal::CaptureStderr();
        const bool loaded = dom.LoadMemory(BillionLaughs(inAttribute));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        const auto elapsed = std::chrono::steady_clock::now() - started;
        EXPECT_FALSE(loaded);
        EXPECT_FALSE(dom.LastError().empty());
        EXPECT_LT(elapsed, kBombTime);
        EXPECT_LT(PeakResidentKb() - peakBefore, kBombMemoryKb);
    }
}

TEST(CXMLDOMSecurity, QuadraticBlowupIsRefusedQuicklyWithBoundedMemory) {
    for (const bool inAttribute : {false, true}) {
        const long peakBefore = PeakResidentKb();
        const auto started = std::chrono::steady_clock::now();
        CXMLDOM dom;
        const bool loaded = dom.LoadMemory(QuadraticBlowup(inAttribute));
        const auto elapsed = std::chrono::steady_clock::now() - started;
        EXPECT_FALSE(loaded);
        EXPECT_LT(elapsed, kBombTime);
        EXPECT_LT(PeakResidentKb() - peakBefore, kBombMemoryKb);
    }
}

TEST(CXMLDOMSecurity, DeepNestingIsRefusedNotCrashing) {
    std::string xml;
    for (int i = 0; i < 100000; ++i) {
        xml += "<a>";
    }
    CXMLDOM dom;
    EXPECT_FALSE(dom.LoadMemory(xml));
    EXPECT_FALSE(dom.LastError().empty());
}

// ---------------------------------------------------------------------------------------------
// Encodings: every attribute value comes back as Windows-1251 bytes

TEST(CXMLDOMEncoding, Utf8WithAndWithoutDeclarationAndBom) {
    const std::string body = "<quillora name=\"Привет\"/>";
    for (const std::string& xml :
         {body, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body,
          "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body}) {
        CXMLDOM dom;
        MustLoad(dom, xml);
        EXPECT_EQ(Attr(dom, dom.GetFirstNode(), "name"), kPrivet1251);
    }
}

TEST(CXMLDOMEncoding, Utf16WithByteOrderMark) {
    for (const bool bigEndian : {false, true}) {
        for (const std::u16string_view text :
             {u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<quillora name=\"Привет\"/>",
              u"<quillora name=\"Привет\"/>"}) {
            CXMLDOM dom;
            MustLoad(dom, Utf16(text, bigEndian));
            EXPECT_EQ(Attr(dom, dom.FindNode(dom.GetFirstNode(), "quillora"), "name"), kPrivet1251);
        }
    }
}

TEST(CXMLDOMEncoding, Windows1251Declared) {
    for (const char* label : {"windows-1251", "WINDOWS-1251", "cp1251"}) {
        CXMLDOM dom;
        MustLoad(dom, std::string("<?xml version=\"1.0\" encoding=\"") + label +
                          "\"?>\n<quillora name=\"" + std::string(kPrivet1251) +
                          "\" euro=\"\x88\" yo=\"\xA8\xB8\"><\xEC\xE5\xED\xFE/></quillora>");
        const XmlNode root = dom.GetFirstNode();
        EXPECT_EQ(Attr(dom, root, "name"), kPrivet1251) << label;
        EXPECT_EQ(Attr(dom, root, "euro"), "\x88") << label;
        EXPECT_EQ(Attr(dom, root, "yo"), "\xA8\xB8") << label;
        // Element names come back in Windows-1251 too.
        EXPECT_EQ(ChildNames(dom, root), "\xEC\xE5\xED\xFE") << label;
    }
}

TEST(CXMLDOMEncoding, CharacterReferencesAndUnmappableCharacters) {
    CXMLDOM dom;
    MustLoad(dom,
             "<q a=\"&#1055;&#x440;&#1080;\" euro=\"&#x20AC;\" cjk=\"x日y&#x1F600;z\" "
             "amp=\"&lt;&amp;&gt;&quot;&apos;\" nul=\"\"/>");
    const XmlNode q = dom.GetFirstNode();
    EXPECT_EQ(Attr(dom, q, "a"), "\xCF\xF0\xE8");
    EXPECT_EQ(Attr(dom, q, "euro"), "\x88");
    EXPECT_EQ(Attr(dom, q, "cjk"), "x?y?z");  // one '?' per code point, even outside the BMP
    EXPECT_EQ(Attr(dom, q, "amp"), "<&>\"'");
}

// ---------------------------------------------------------------------------------------------
// Tree shape and navigation

TEST(CXMLDOMTree, RootIsFoundAfterDeclarationCommentAndInstruction) {
    CXMLDOM dom;
    MustLoad(dom,
             "<?xml version=\"1.0\"?>\n<!-- generated -->\n<?editor mode=\"x\"?>\n"
             "<!DOCTYPE quillora>\n<quillora name=\"n\"/>\n<!-- trailer -->\n");
    const XmlNode first = dom.GetFirstNode();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(dom.GetNodeName(first), "#comment");
    EXPECT_EQ(dom.GetNodeName(dom.GetNextSibling(first)), "editor");
    // The DOCTYPE is a declaration, not a node of the tree: after the instruction comes the
    // root element.
    const XmlNode root = dom.FindNode(first, "quillora");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(dom.GetNextSibling(dom.GetNextSibling(first)), root);
    EXPECT_EQ(Attr(dom, root, "name"), "n");
    EXPECT_EQ(dom.GetNodeName(dom.GetNextSibling(root)), "#comment");
    EXPECT_EQ(dom.GetNextSibling(dom.GetNextSibling(root)), nullptr);
}

TEST(CXMLDOMTree, DoctypeDeclarationsAreNeverMatched) {
    CXMLDOM dom;
    MustLoad(dom,
             "<!DOCTYPE quillora [<!ELEMENT menu ANY><!ENTITY menu \"m\">"
             "<!ATTLIST quillora name CDATA #IMPLIED>]>"
             "<wrapper><quillora name=\"inner\"/></wrapper>");
    EXPECT_EQ(dom.GetNodeName(dom.GetFirstNode()), "wrapper");
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "menu"), nullptr);
    // The root element may stand anywhere: the first one in document order is found.
    EXPECT_EQ(Attr(dom, dom.FindNode(dom.GetFirstNode(), "quillora"), "name"), "inner");
}

TEST(CXMLDOMTree, ElementNamesMatchWithoutRegardToAsciiCase) {
    CXMLDOM dom;
    MustLoad(dom, "<Quillora><MENU n=\"1\"/><Menu n=\"2\"/><other/><mEnU n=\"3\"/></Quillora>");
    const XmlNode root = dom.FindNode(dom.GetFirstNode(), "quillora");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(dom.GetNodeName(root), "Quillora");  // the name as written
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "QUILLORA"), root);
    std::string found;
    for (XmlNode menu = dom.FindChild(root, "menu"); menu != nullptr;
         menu = dom.FindNextSibling(menu, "Menu")) {
        found += Attr(dom, menu, "n");
    }
    EXPECT_EQ(found, "123");
    EXPECT_EQ(dom.FindChild(root, "men"), nullptr);
    EXPECT_EQ(dom.FindChild(root, "menus"), nullptr);
}

TEST(CXMLDOMTree, CyrillicNamesMatchExactlyOnly) {
    CXMLDOM dom;
    MustLoad(dom, "<r имя=\"x\"><меню/><Меню/></r>");
    const XmlNode r = dom.GetFirstNode();
    EXPECT_EQ(Attr(dom, r, "\xE8\xEC\xFF"), "x");  // attribute "имя" named in Windows-1251
    EXPECT_EQ(Attr(dom, r, "\xC8\xEC\xFF"), "<missing>");
    const XmlNode lower = dom.FindChild(r, "\xEC\xE5\xED\xFE");  // "меню" in Windows-1251
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(dom.GetNodeName(lower), "\xEC\xE5\xED\xFE");
    // Only ASCII letters fold: "Меню" is another name.
    const XmlNode upper = dom.FindNextSibling(lower, "\xCC\xE5\xED\xFE");
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(upper, lower);
    EXPECT_EQ(dom.FindNextSibling(upper, "\xEC\xE5\xED\xFE"), nullptr);
}

TEST(CXMLDOMTree, BlankTextNodesAreAbsent) {
    CXMLDOM dom;
    MustLoad(dom, "<r>\n\t<a>  </a>\r\n  <b> x </b>   <c/>\n<d>&#32;</d>   </r>");
    const XmlNode r = dom.GetFirstNode();
    EXPECT_EQ(ChildNames(dom, r), "a b c d");
    EXPECT_EQ(dom.GetFirstChild(dom.FindChild(r, "a")), nullptr);
    // Text with anything besides blanks stays, blanks included.
    const XmlNode text = dom.GetFirstChild(dom.FindChild(r, "b"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(dom.GetNodeName(text), "#text");
    EXPECT_STREQ(reinterpret_cast<const char*>(text->content), " x ");
    EXPECT_EQ(dom.GetFirstChild(dom.FindChild(r, "d")), nullptr);
}

TEST(CXMLDOMTree, SpecialNodesCarryTheirDomNames) {
    CXMLDOM dom;
    MustLoad(dom,
             "<r>text<!-- note --><![CDATA[ <raw> ]]><?target data?><e><![CDATA[  ]]></e>"
             "more</r>");
    const XmlNode r = dom.GetFirstNode();
    EXPECT_EQ(ChildNames(dom, r), "#text #comment #cdata-section target e #text");
    // A blank CDATA section is kept: only plain text nodes are dropped when blank.
    EXPECT_EQ(ChildNames(dom, dom.FindChild(r, "e")), "#cdata-section");
    // Special names never match element searches, but can be searched for themselves.
    EXPECT_EQ(dom.FindChild(r, "text"), nullptr);
    EXPECT_EQ(dom.FindChild(r, "comment"), nullptr);
    EXPECT_EQ(dom.FindChild(r, "#comment"), dom.GetNextSibling(dom.GetFirstChild(r)));
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "e"), dom.FindChild(r, "E"));
    // Nodes that are not elements have no attributes and no children.
    std::string out = "keep";
    EXPECT_EQ(dom.GetAttribute(dom.GetFirstChild(r), "x", out), 1);
    EXPECT_EQ(out, "keep");
    EXPECT_EQ(dom.GetFirstChild(dom.GetFirstChild(r)), nullptr);
    EXPECT_EQ(dom.FindChild(dom.GetFirstChild(r), "#text"), nullptr);
}

TEST(CXMLDOMTree, EntitiesAreExpandedIntoTheTree) {
    CXMLDOM dom;
    MustLoad(dom,
             "<!DOCTYPE r [<!ENTITY co \"Norvil &amp; Co\"><!ENTITY item \"<item n='1'/>\">]>"
             "<r maker=\"&co;\">&item;&co;</r>");
    const XmlNode r = dom.GetFirstNode();
    EXPECT_EQ(Attr(dom, r, "maker"), "Norvil & Co");
    EXPECT_EQ(ChildNames(dom, r), "item #text");
    EXPECT_EQ(Attr(dom, dom.FindChild(r, "item"), "n"), "1");
}

TEST(CXMLDOMTree, FindNodeWalksDepthFirstInDocumentOrder) {
    CXMLDOM dom;
    MustLoad(dom,
             "<r><s><a><x id=\"1\"/></a><x id=\"2\"/><b/></s><x id=\"3\"/>"
             "<t><c/></t></r>");
    const XmlNode first = dom.GetFirstNode();
    EXPECT_EQ(Attr(dom, dom.FindNode(first, "x"), "id"), "1");
    // The start node itself is tested first.
    const XmlNode s = dom.FindNode(first, "s");
    EXPECT_EQ(dom.FindNode(s, "s"), s);
    // From a node: its subtree and the following siblings with theirs, never the parent's
    // siblings nor anything before.
    const XmlNode a = dom.FindChild(s, "a");
    const XmlNode b = dom.FindChild(s, "b");
    EXPECT_EQ(Attr(dom, dom.FindNode(dom.GetNextSibling(a), "x"), "id"), "2");
    EXPECT_EQ(dom.FindNode(a, "b"), b);
    EXPECT_EQ(dom.FindNode(b, "a"), nullptr);
    EXPECT_EQ(dom.FindNode(a, "c"), nullptr);
    EXPECT_EQ(dom.FindNode(b, "x"), nullptr);
    EXPECT_EQ(dom.FindNode(s, "c"), dom.FindChild(dom.FindChild(first, "t"), "c"));
    EXPECT_EQ(dom.FindNode(first, "nothing"), nullptr);
}

TEST(CXMLDOMTree, SectionElementsAreVisitedAsSiblings) {
    CXMLDOM dom;
    MustLoad(dom,
             "<quillora><menus><menu n=\"1\"/><!-- c --><journal/><menu n=\"2\"><menu n=\"in\"/>"
             "</menu>text<menu n=\"3\"/></menus></quillora>");
    std::string found;
    for (XmlNode menu = dom.FindNode(dom.GetFirstNode(), "menu"); menu != nullptr;
         menu = dom.FindNextSibling(menu, "menu")) {
        found += Attr(dom, menu, "n") + ",";
    }
    EXPECT_EQ(found, "1,2,3,");
}

TEST(CXMLDOMTree, DeepestAllowedNestingIsSearchable) {
    // The parser accepts nesting to 256 levels; the search itself uses no recursion.
    std::string xml;
    for (int i = 0; i < 250; ++i) {
        xml += "<n>";
    }
    xml += "<leaf v=\"deep\"/>";
    for (int i = 0; i < 250; ++i) {
        xml += "</n>";
    }
    CXMLDOM dom;
    MustLoad(dom, xml);
    EXPECT_EQ(Attr(dom, dom.FindNode(dom.GetFirstNode(), "leaf"), "v"), "deep");
    EXPECT_EQ(dom.FindNode(dom.GetFirstNode(), "absent"), nullptr);
}

TEST(CXMLDOMTree, NullNodesGiveNull) {
    CXMLDOM dom;
    MustLoad(dom, "<r><a/></r>");
    EXPECT_EQ(dom.FindNode(nullptr, "a"), nullptr);
    EXPECT_EQ(dom.FindNextSibling(nullptr, "a"), nullptr);
    EXPECT_EQ(dom.FindChild(nullptr, "a"), nullptr);
    EXPECT_EQ(dom.GetFirstChild(nullptr), nullptr);
    EXPECT_EQ(dom.GetNextSibling(nullptr), nullptr);
    EXPECT_EQ(dom.GetNodeName(nullptr), "");
    const XmlNode a = dom.FindNode(dom.GetFirstNode(), "a");
    EXPECT_EQ(dom.GetFirstChild(a), nullptr);  // no children
    EXPECT_EQ(dom.FindChild(a, "a"), nullptr);
    EXPECT_EQ(dom.GetNextSibling(a), nullptr);
    EXPECT_EQ(dom.FindNextSibling(a, "a"), nullptr);
}

TEST(CXMLDOMTree, NamespacePrefixesArePartOfNames) {
    CXMLDOM dom;
    MustLoad(dom, "<r xmlns:p=\"urn:p\" xmlns=\"urn:d\"><p:item p:code=\"7\" code=\"8\"/></r>");
    const XmlNode r = dom.GetFirstNode();
    const XmlNode item = dom.FindChild(r, "p:item");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(dom.GetNodeName(item), "p:item");
    EXPECT_EQ(dom.FindChild(r, "item"), nullptr);
    EXPECT_EQ(Attr(dom, item, "p:code"), "7");
    EXPECT_EQ(Attr(dom, item, "code"), "8");
    EXPECT_EQ(Attr(dom, r, "xmlns:p"), "urn:p");
    EXPECT_EQ(Attr(dom, r, "xmlns"), "urn:d");
    EXPECT_EQ(Attr(dom, item, "xmlns"), "<missing>");
}

// ---------------------------------------------------------------------------------------------
// Attribute readers

class CXMLDOMAttributes : public testing::Test {
protected:
    void SetUp() override {
        MustLoad(dom_,
                 "<r name=\"Склад\" empty=\"\" Upper=\"U\" lines=\"a\nb&#10;c\" "
                 "neg=\"-5\" trail=\"12abc\" lead=\"  7\" plus=\"+3\" word=\"abc\" "
                 "big=\"70000\" tabs=\"&#9;&#10; 9x\" signOnly=\"-\" spaced=\"- 5\" max=\"65535\" "
                 "wrap=\"65536\" min=\"-32768\" hex=\"0x10\" exp=\"1e3\" char=\"300\" "
                 "minusOne=\"-1\" huge=\"99999999999999999999\" t1=\"TRUE\" t2=\"true\" "
                 "t3=\"True\" f1=\"false\" f2=\"FALSE\" yes=\"yes\" one=\"1\" "
                 "padded=\" true\"/>");
        r_ = dom_.GetFirstNode();
        ASSERT_NE(r_, nullptr);
    }
    uint16_t Short(std::string_view name) {
        uint16_t value = 0xABCD;
        EXPECT_EQ(dom_.GetAttributeShort(r_, name, value), 0) << name;
        return value;
    }
    uint8_t Char(std::string_view name) {
        uint8_t value = 0xAB;
        EXPECT_EQ(dom_.GetAttributeChar(r_, name, value), 0) << name;
        return value;
    }

    CXMLDOM dom_;
    XmlNode r_ = nullptr;
};

TEST_F(CXMLDOMAttributes, TextReaders) {
    std::string out = "before";
    EXPECT_EQ(dom_.GetAttribute(r_, "name", out), 0);
    EXPECT_EQ(out, "\xD1\xEA\xEB\xE0\xE4");  // "Склад" in Windows-1251
    out = "before";
    EXPECT_EQ(dom_.GetAttribute(r_, "missing", out), 1);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(dom_.GetAttributeText(r_, "missing", out), 1);
    EXPECT_EQ(out, "");
    out = "before";
    EXPECT_EQ(dom_.GetAttributeText(r_, "name", out), 0);
    EXPECT_EQ(out, "\xD1\xEA\xEB\xE0\xE4");
    // A literal line break is normalised to a blank, a character reference is kept.
    EXPECT_EQ(dom_.GetAttribute(r_, "lines", out), 0);
    EXPECT_EQ(out, "a b\nc");
}

TEST_F(CXMLDOMAttributes, AttributeNamesMatchExactly) {
    std::string out = "before";
    EXPECT_EQ(dom_.GetAttribute(r_, "upper", out), 1);
    EXPECT_EQ(dom_.GetAttribute(r_, "UPPER", out), 1);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(dom_.GetAttribute(r_, "Upper", out), 0);
    EXPECT_EQ(out, "U");
    EXPECT_EQ(dom_.GetAttribute(r_, "Name", out), 1);
    EXPECT_EQ(dom_.GetAttribute(r_, "nam", out), 1);
    EXPECT_EQ(dom_.GetAttribute(r_, "", out), 1);
}

TEST_F(CXMLDOMAttributes, EmptyValueIsPresent) {
    std::string text = "before";
    EXPECT_EQ(dom_.GetAttribute(r_, "empty", text), 0);
    EXPECT_EQ(text, "");
    text = "before";
    EXPECT_EQ(dom_.GetAttributeText(r_, "empty", text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(Short("empty"), 0);
    EXPECT_EQ(Char("empty"), 0);
    uint16_t kept = 1234;
    EXPECT_EQ(dom_.GetAttributeShortIfPresent(r_, "empty", kept), 0);
    EXPECT_EQ(kept, 0);
    uint8_t flag = 7;
    EXPECT_EQ(dom_.GetAttributeBool(r_, "empty", flag), 0);
    EXPECT_EQ(flag, 7);
}

TEST_F(CXMLDOMAttributes, DecimalConversionOfShorts) {
    EXPECT_EQ(Short("neg"), 0xFFFB);
    EXPECT_EQ(Short("trail"), 12);
    EXPECT_EQ(Short("lead"), 7);
    EXPECT_EQ(Short("plus"), 3);
    EXPECT_EQ(Short("word"), 0);
    EXPECT_EQ(Short("big"), 70000 & 0xFFFF);
    EXPECT_EQ(Short("tabs"), 9);
    EXPECT_EQ(Short("signOnly"), 0);
    EXPECT_EQ(Short("spaced"), 0);
    EXPECT_EQ(Short("max"), 0xFFFF);
    EXPECT_EQ(Short("wrap"), 0);
    EXPECT_EQ(Short("min"), 0x8000);
    EXPECT_EQ(Short("hex"), 0);
    EXPECT_EQ(Short("exp"), 1);
    EXPECT_EQ(Short("huge"), 1661992959u & 0xFFFF);  // 99999999999999999999 mod 2^32
}

TEST_F(CXMLDOMAttributes, DecimalConversionOfChars) {
    EXPECT_EQ(Char("char"), 300 & 0xFF);
    EXPECT_EQ(Char("minusOne"), 0xFF);
    EXPECT_EQ(Char("neg"), 0xFB);
    EXPECT_EQ(Char("trail"), 12);
    EXPECT_EQ(Char("word"), 0);
}

TEST_F(CXMLDOMAttributes, MissingNumbers) {
    uint16_t shortValue = 0xABCD;
    EXPECT_EQ(dom_.GetAttributeShort(r_, "missing", shortValue), 1);
    EXPECT_EQ(shortValue, 0);
    uint8_t charValue = 0xAB;
    EXPECT_EQ(dom_.GetAttributeChar(r_, "missing", charValue), 1);
    EXPECT_EQ(charValue, 0);
    uint16_t kept = 240;
    EXPECT_EQ(dom_.GetAttributeShortIfPresent(r_, "missing", kept), 1);
    EXPECT_EQ(kept, 240);
    EXPECT_EQ(dom_.GetAttributeShortIfPresent(r_, "neg", kept), 0);
    EXPECT_EQ(kept, 0xFFFB);
}

TEST_F(CXMLDOMAttributes, Booleans) {
    for (const char* name : {"t1", "t2", "t3"}) {
        uint8_t flag = 0;
        EXPECT_EQ(dom_.GetAttributeBool(r_, name, flag), 0) << name;
        EXPECT_EQ(flag, 1) << name;
    }
    for (const char* name : {"f1", "f2"}) {
        uint8_t flag = 1;
        EXPECT_EQ(dom_.GetAttributeBool(r_, name, flag), 0) << name;
        EXPECT_EQ(flag, 0) << name;
    }
    // Any other word (even "1" or a padded "true") is present but changes nothing.
    for (const char* name : {"yes", "one", "padded", "word"}) {
        for (const uint8_t before : {0, 1, 7}) {
            uint8_t flag = before;
            EXPECT_EQ(dom_.GetAttributeBool(r_, name, flag), 0) << name;
            EXPECT_EQ(flag, before) << name;
        }
    }
    uint8_t flag = 5;
    EXPECT_EQ(dom_.GetAttributeBool(r_, "missing", flag), 1);
    EXPECT_EQ(flag, 5);
}

TEST_F(CXMLDOMAttributes, NullNodeHasNoAttributes) {
    std::string text = "before";
    EXPECT_EQ(dom_.GetAttribute(nullptr, "name", text), 1);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(dom_.GetAttributeText(nullptr, "name", text), 1);
    EXPECT_EQ(text, "");
    uint16_t shortValue = 9;
    EXPECT_EQ(dom_.GetAttributeShort(nullptr, "neg", shortValue), 1);
    EXPECT_EQ(shortValue, 0);
    shortValue = 9;
    EXPECT_EQ(dom_.GetAttributeShortIfPresent(nullptr, "neg", shortValue), 1);
    EXPECT_EQ(shortValue, 9);
    uint8_t charValue = 9;
    EXPECT_EQ(dom_.GetAttributeChar(nullptr, "neg", charValue), 1);
    EXPECT_EQ(charValue, 0);
    charValue = 9;
    EXPECT_EQ(dom_.GetAttributeBool(nullptr, "t1", charValue), 1);
    EXPECT_EQ(charValue, 9);
}

TEST(CXMLDOMDecimal, LowBitsOfTheExactValue) {
    EXPECT_EQ(CXMLDOM::ParseDecimal(""), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("0"), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("-0"), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("42"), 42u);
    EXPECT_EQ(CXMLDOM::ParseDecimal(" \t\r\n\v\f-42z"), 0xFFFFFFD6u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("--1"), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("+-1"), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(CXMLDOM::ParseDecimal("4294967296"), 0u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("4294967297"), 1u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("-4294967295"), 1u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("-2147483648"), 0x80000000u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("18446744073709551621"), 5u);  // 2^64 + 5
    EXPECT_EQ(CXMLDOM::ParseDecimal("-12345678901"), 539222987u);
    // 10^1000 is a multiple of 2^32, so a thousand nines are -1 modulo 2^32.
    EXPECT_EQ(CXMLDOM::ParseDecimal(std::string(1000, '9')), 0xFFFFFFFFu);
    EXPECT_EQ(CXMLDOM::ParseDecimal(std::string(5000, '0') + "17"), 17u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("12 34"), 12u);
    EXPECT_EQ(CXMLDOM::ParseDecimal("\xD9\xA3"), 0u);  // an Arabic-Indic digit is no digit
}

}  // namespace

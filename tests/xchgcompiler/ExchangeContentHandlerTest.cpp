#include "ExchangeContentHandler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>

#include "CConverter.h"
#include "CPdb.h"
#include "CSaxReader.h"
#include "TransferDatabaseBytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One description read from memory.
struct Read {
    CSaxReader::Result result;
    std::string console;
    std::unique_ptr<ExchangeContentHandler> handler;
    std::ostringstream stream;

    std::string Dump() const {
        std::ostringstream out;
        handler->Table().Dump(out);
        return out.str();
    }
    std::vector<Bytes> Records() const {
        CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
                 CSettingsTable::kDatabaseDate);
        std::ostringstream console;
        EXPECT_TRUE(handler->Table().BuildDatabase(pdb, console)) << console.str();
        std::vector<Bytes> records;
        for (size_t i = 0; i < pdb.RecordCount(); ++i) {
            records.push_back(pdb.Record(i));
        }
        return records;
    }
};

std::unique_ptr<Read> ReadXml(std::string_view xml) {
    auto read = std::make_unique<Read>();
    read->handler = std::make_unique<ExchangeContentHandler>(read->stream);
    read->result = CSaxReader::ParseMemory(xml, *read->handler);
    read->console = read->stream.str();
    return read;
}

// A document with one exchange around `body`.
std::string InExchange(std::string_view body) {
    return "<palm-client><exchange name='e' view='v'>" + std::string(body) +
           "</exchange></palm-client>";
}

// The dump lines of the first exchange after its banner.
std::string SectionsOf(const Read& read) {
    const std::string dump = read.Dump();
    const std::string banner = "**************** EXCHANGE ****************\r\n";
    const size_t at = dump.rfind(banner);
    return at == std::string::npos ? "" : dump.substr(at + banner.size());
}

void ExpectAccepted(const Read& read) {
    EXPECT_EQ(read.result.code, 0) << read.result.reason;
    EXPECT_FALSE(read.handler->Failed());
    EXPECT_EQ(read.console, "");
}

void ExpectValidationError(const Read& read, std::string_view element) {
    EXPECT_TRUE(read.handler->Failed());
    EXPECT_TRUE(read.result.stopped);
    EXPECT_NE(read.result.code, 0);
    EXPECT_EQ(read.console, "XML validation error: " + std::string(element) + "\n");
}

}  // namespace

// ---- Document shape and the state machine ----------------------------------------------------

TEST(ExchangeReaderShape, EmptyRootGivesAnEmptyTable) {
    const auto read = ReadXml("<palm-client/>");
    ExpectAccepted(*read);
    EXPECT_EQ(read->handler->Table().ExchangeCount(), 0);
    const auto records = read->Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], Bytes({0x07, 0x00, 0x00, 0x00}));
}

TEST(ExchangeReaderShape, WrongRootIsReportedByItsName) {
    ExpectValidationError(*ReadXml("<palm-clients/>"), "palm-clients");
    ExpectValidationError(*ReadXml("<Palm-Client/>"), "Palm-Client");  // case-sensitive
}

TEST(ExchangeReaderShape, ElementsOutOfPlaceAreReported) {
    struct Case {
        std::string xml;
        std::string element;
    };
    const Case cases[] = {
        {"<palm-client><post/></palm-client>", "post"},
        {InExchange("<documents/>"), "documents"},
        {InExchange("<post><pdbs/></post>"), "pdbs"},
        {InExchange("<post><documents><table name='t'/></documents></post>"), "table"},
        {InExchange("<post><tables><file name='f'/></tables></post>"), "file"},
        {InExchange("<post><tables><table name='t'><x/></table></tables></post>"), "x"},
        {InExchange("<post><files><table name='t'/></files></post>"), "table"},
        {InExchange("<get><tables><db name='d'/></tables></get>"), "db"},
        {InExchange("<get><dbs><table name='t'/></dbs></get>"), "table"},
        {InExchange("<get><files><pdb name='p'/></files></get>"), "pdb"},
        {"<palm-client><exchange name='e' view='v'><exchange name='f' view='v'/></exchange>"
         "</palm-client>",
         "exchange"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        ExpectValidationError(*ReadXml(c.xml), c.element);
    }
}

TEST(ExchangeReaderShape, MissingRequiredAttributesNameTheElement) {
    struct Case {
        std::string xml;
        std::string element;
    };
    const Case cases[] = {
        {"<palm-client><exchange name='e'/></palm-client>", "exchange"},
        {"<palm-client><exchange view='v'/></palm-client>", "exchange"},
        {InExchange("<post><documents><document/></documents></post>"), "document"},
        {InExchange("<post><tables><table/></tables></post>"), "table"},
        {InExchange("<post><files><file type='t'/></files></post>"), "file"},
        {InExchange("<post><documents><document name='d'><send-flags>"
                    "<field name='n' value='1'/></send-flags></document></documents></post>"),
         "field"},
        {InExchange("<post><documents><document name='d'><doc-head><field/></doc-head>"
                    "</document></documents></post>"),
         "field"},
        {InExchange("<post><documents><document name='d'><doc-table><field/></doc-table>"
                    "</document></documents></post>"),
         "field"},
        {InExchange("<get><tables><table path='p'/></tables></get>"), "table"},
        {InExchange("<get><pdbs><pdb/></pdbs></get>"), "pdb"},
        {InExchange("<get><files><file/></files></get>"), "file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        ExpectValidationError(*ReadXml(c.xml), c.element);
    }
}

TEST(ExchangeReaderShape, OnlyTheFirstErrorIsReported) {
    const auto read = ReadXml("<root><other/><more/></root>");
    ExpectValidationError(*read, "root");
}

TEST(ExchangeReaderShape, TextCommentsAndInstructionsAreIgnored) {
    const auto read = ReadXml(
        "<?xml version='1.0'?><!-- c --><palm-client>text<?pi x?>"
        "<exchange name='e' view='v'><![CDATA[<post/>]]>more</exchange></palm-client>");
    ExpectAccepted(*read);
    EXPECT_EQ(read->handler->Table().ExchangeCount(), 1);
}

TEST(ExchangeReaderShape, NamespacePrefixesPlayNoPart) {
    const auto read = ReadXml(
        "<p:palm-client xmlns:p='urn:x' xmlns:q='urn:y'><p:exchange q:name='e' view='v'>"
        "<q:get><dbs><db name='d'/></dbs></q:get></p:exchange></p:palm-client>");
    ExpectAccepted(*read);
    EXPECT_NE(read->Dump().find("\tname: d\n"), std::string::npos);
}

TEST(ExchangeReaderShape, FieldsCountOnlyDirectlyInsideTheirLists) {
    const auto read = ReadXml(InExchange(
        "<post><documents><document name='d'>"
        "<field name='direct'/>"
        "<other><field name='in-other'/><doc-head><field name='nested-head'/></doc-head></other>"
        "<send-flags><group><field name='grandchild'/></group>"
        "<field name='flag' value='7' set='1'/></send-flags>"
        "<doc-table><field name='t1'><field name='inside-field'/></field></doc-table>"
        "</document></documents></post>"));
    ExpectAccepted(*read);
    // doc-head may stand anywhere inside the document; only direct field children count.
    EXPECT_EQ(SectionsOf(*read),
              "------- POST DOCUMENTS: -------\n"
              "Post doc name: d\n"
              "\tSend flags fields count: 1\n"
              "\t\tname: flag\n"
              "\t\tvalue: 7\n"
              "\tHead fields count: 1\n"
              "\t\tname: nested-head\n"
              "\tTable fields count: 1\n"
              "\t\tname: t1\n"
              "------- POST TABLES: -------\n"
              "------- POST FILES: -------\n"
              "------- GET TABLES: -------\n"
              "Get tables count: 0\n"
              "------- GET DBS: -------\n"
              "Get dbs count: 0\n"
              "------- GET FILES: -------\n");
}

TEST(ExchangeReaderShape, SkippedElementsCannotMoveTheReader) {
    // Elements a document or a get skips return the reader to where they found it, whatever
    // their name: the lists after them are still read.
    const auto read =
        ReadXml(InExchange("<post><documents><document name='d'>"
                           "<get/><post/><exchange/><document/><documents/>"
                           "<doc-head><field name='h'/></doc-head></document>"
                           "<document name='d2'/></documents></post>"
                           "<get><post/><exchange/><tables><table name='t'/></tables></get>"));
    ExpectAccepted(*read);
    const std::string sections = SectionsOf(*read);
    EXPECT_NE(sections.find("Post doc name: d\n"
                            "\tSend flags fields count: 0\n"
                            "\tHead fields count: 1\n"
                            "\t\tname: h\n"),
              std::string::npos)
        << sections;
    EXPECT_NE(sections.find("Post doc name: d2\n"), std::string::npos);
    EXPECT_NE(sections.find("Get tables count: 1\n"), std::string::npos);
}

TEST(ExchangeReaderShape, GetListsInAnyOrderAndThroughSkippedElements) {
    const auto read = ReadXml(InExchange(
        "<get><files><file name='f'/></files><pdbs><pdb name='p'/></pdbs>"
        "<tables><table name='t'/></tables></get>"
        "<get><wrapper><dbs url='u'><db name='d'/><pdb name='p2'/></dbs></wrapper></get>"));
    ExpectAccepted(*read);
    const std::string sections = SectionsOf(*read);
    EXPECT_NE(sections.find("Get tables count: 1\n\turl: \n\tname: t\n"), std::string::npos);
    EXPECT_NE(sections.find("Get dbs count: 3\npost url: u\n\tname: p\n\tname: d\n\tname: p2\n"),
              std::string::npos)
        << sections;
    EXPECT_NE(sections.find("Post file name: f\n"), std::string::npos);
}

TEST(ExchangeReaderShape, ItemInsideAnItemIsOneMoreItem) {
    const auto read = ReadXml(
        InExchange("<post><tables><table name='a'><table name='b'/></table></tables></post>"));
    ExpectAccepted(*read);
    EXPECT_NE(SectionsOf(*read).find("Post table name: a\nPost table name: b\n"),
              std::string::npos);
}

TEST(ExchangeReaderShape, PostAndGetInAnyOrderAndNumber) {
    const auto read = ReadXml(InExchange(
        "<get><dbs><db name='d1'/></dbs></get><post><tables><table name='t1'/></tables></post>"
        "<post><tables url='second'><table name='t2'/></tables></post>"
        "<get><dbs><db name='d2'/></dbs></get>"));
    ExpectAccepted(*read);
    const auto records = read->Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1],
              ExpectedBytes().Text("second").U16(2).Text("t1").U16(0).Text("t2").U16(0).Bytes());
    EXPECT_EQ(records[2], ExpectedBytes().Text("").U16(2).Text("d1").Text("d2").Bytes());
}

// ---- Attributes ------------------------------------------------------------------------------

TEST(ExchangeReaderAttributes, LocalNamesAreMatchedByTheirBeginning) {
    const auto read =
        ReadXml("<palm-client><exchange names='by-prefix' viewer='v2'/></palm-client>");
    ExpectAccepted(*read);
    const auto records = read->Records();
    EXPECT_EQ(records[0], (ExpectedBytes()
                               .U16(7)
                               .U16(1)
                               .Text("by-prefix")
                               .Text("v2")
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .U16(0xFFFF)
                               .Bytes()));
}

TEST(ExchangeReaderAttributes, LastMatchingAttributeWins) {
    const auto read = ReadXml(
        "<palm-client><exchange name='first' view='v' nameX='second'>"
        "<post><files><file name='f' deleted='true' delete='no' type='a' types='b'/></files>"
        "</post></exchange></palm-client>");
    ExpectAccepted(*read);
    EXPECT_NE(read->Dump().find("\r\nsecond\r\n"), std::string::npos);
    EXPECT_NE(read->Dump().find("Post file name: f\n          type: b\n        delete: 0\n"),
              std::string::npos);
}

TEST(ExchangeReaderAttributes, ShorterNamesDoNotMatch) {
    ExpectValidationError(*ReadXml("<palm-client><exchange nam='e' view='v'/></palm-client>"),
                          "exchange");
}

TEST(ExchangeReaderAttributes, GetAttributeConvertsToWindows1251) {
    const CSaxReader::Attribute attributes[] = {{"name", "Заказ 中"}, {"view", "x"}};
    EXPECT_EQ(ExchangeContentHandler::GetAttribute(attributes, "name"),
              std::string("\xC7\xE0\xEA\xE0\xE7 ?"));
    EXPECT_EQ(ExchangeContentHandler::GetAttribute(attributes, "url"), std::nullopt);
    EXPECT_EQ(ExchangeContentHandler::GetAttribute(attributes, ""), "x");  // every name matches
}

TEST(ExchangeReaderAttributes, DeleteFlagOnlyForExactlyTrue) {
    const auto read = ReadXml(InExchange(
        "<post><files><file name='a' type='t' delete='true'/><file name='b' delete='True'/>"
        "<file name='c' delete='1'/><file name='d' delete=' true'/><file name='e' delete='true '/>"
        "<file name='f'/></files></post>"));
    ExpectAccepted(*read);
    const auto records = read->Records();
    ExpectedBytes files;
    files.Text("").U16(6).Text("a").Text("t").U16(1);
    for (const char* name : {"b", "c", "d", "e", "f"}) {
        files.Text(name).Text("").U16(0);  // no type: the empty text
    }
    EXPECT_EQ(records[1], files.Bytes());
}

TEST(ExchangeReaderAttributes, GetTablePathsAreJoinedWithOneSlash) {
    const auto read = ReadXml(
        InExchange("<get><tables url='u'><table name='a' path='ref'/><table name='b' path='ref/'/>"
                   "<table name='c' path=''/><table name='d'/><table name='e' path='x\\'/>"
                   "</tables></get>"));
    ExpectAccepted(*read);
    EXPECT_EQ(read->Records()[1], ExpectedBytes()
                                      .Text("u")
                                      .U16(5)
                                      .Text("ref/a")
                                      .Text("ref/b")
                                      .Text("c")
                                      .Text("d")
                                      .Text("x\\/e")
                                      .Bytes());
}

TEST(ExchangeReaderAttributes, UrlsOfTheGroups) {
    // get tables without url: an empty URL; the other groups keep none.
    const auto read = ReadXml(InExchange(
        "<post><documents/><tables/><files/></post><get><tables/><pdbs/><files/></get>"));
    ExpectAccepted(*read);
    EXPECT_EQ(SectionsOf(*read),
              "------- POST DOCUMENTS: -------\n"
              "------- POST TABLES: -------\n"
              "------- POST FILES: -------\n"
              "------- GET TABLES: -------\n"
              "Get tables count: 0\n"
              "\turl: \n"
              "------- GET DBS: -------\n"
              "Get dbs count: 0\n"
              "------- GET FILES: -------\n");
}

TEST(ExchangeReaderAttributes, SecondDocumentsElementAddsToTheSameList) {
    const auto read =
        ReadXml(InExchange("<post><documents url='first'><document name='a'/></documents>"
                           "<documents><document name='b'/></documents>"
                           "<documents url='last'><document name='c'/></documents></post>"));
    ExpectAccepted(*read);
    EXPECT_NE(SectionsOf(*read).find("post url: last\nPost doc name: a\n"), std::string::npos);
    const auto records = read->Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][6], 3);  // three documents after the 6-byte URL
}

TEST(ExchangeReaderAttributes, EntitiesAndCharacterReferencesAreExpanded) {
    const auto read = ReadXml(
        "<!DOCTYPE palm-client [<!ENTITY host 'http://office/'>]>"
        "<palm-client><exchange name='a&amp;b&#x416;' view='default-view'>"
        "<get><dbs url='&host;dbs'><db name='d'/></dbs></get></exchange></palm-client>");
    ExpectAccepted(*read);
    const std::string dump = read->Dump();
    EXPECT_NE(dump.find("\r\na&bЖ\r\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("post url: http://office/dbs\n"), std::string::npos);
    EXPECT_EQ(read->Records()[0], (ExpectedBytes()
                                       .U16(7)
                                       .U16(1)
                                       .Text("a&bЖ")
                                       .Text("default-view")
                                       .U16(0xFFFF)
                                       .U16(0xFFFF)
                                       .U16(0xFFFF)
                                       .U16(0xFFFF)
                                       .U16(0xFFFF)
                                       .U16(1)
                                       .U16(0xFFFF)
                                       .Bytes()));
}

// Neither compiler reads a DTD: attribute defaults declared in the internal subset are not
// applied, whether the attribute is required or optional.
TEST(ExchangeReaderAttributes, DtdAttributeDefaultsAreIgnored) {
    const std::string dtd =
        "<!DOCTYPE palm-client [<!ATTLIST exchange view CDATA 'default-view'>"
        "<!ATTLIST dbs url CDATA #FIXED 'http://fixed/'>]>";
    ExpectValidationError(*ReadXml(dtd + "<palm-client><exchange name='e'/></palm-client>"),
                          "exchange");
    const auto read = ReadXml(dtd + InExchange("<get><dbs><db name='d'/></dbs></get>"));
    ExpectAccepted(*read);
    EXPECT_EQ(read->Dump().find("http://fixed/"), std::string::npos) << read->Dump();
}

TEST(ExchangeReaderAttributes, Windows1251DocumentsAreRead) {
    const std::string xml =
        "<?xml version='1.0' encoding='windows-1251'?>"
        "<palm-client><exchange name='\xCE\xE1\xEC\xE5\xED' view='v'/></palm-client>";
    const auto read = ReadXml(xml);
    ExpectAccepted(*read);
    EXPECT_NE(read->Dump().find("\r\nОбмен\r\n"), std::string::npos);
    const Bytes index = read->Records()[0];
    EXPECT_EQ(Bytes(index.begin() + 4, index.begin() + 10),
              Bytes({0xCE, 0xE1, 0xEC, 0xE5, 0xED, 0x00}));
}

// ---- Limits ----------------------------------------------------------------------------------

TEST(ExchangeReaderLimits, TenExchangesPassAndTheEleventhStops) {
    std::string ten = "<palm-client>";
    for (int i = 0; i < 10; ++i) {
        ten += "<exchange name='e" + std::to_string(i) + "' view='v'/>";
    }
    const auto accepted = ReadXml(ten + "</palm-client>");
    ExpectAccepted(*accepted);
    EXPECT_EQ(accepted->handler->Table().ExchangeCount(), 10);

    const auto refused = ReadXml(ten + "<exchange name='e10' view='v'/><bad/></palm-client>");
    EXPECT_TRUE(refused->handler->Failed());
    EXPECT_TRUE(refused->result.stopped);
    EXPECT_EQ(refused->console, "Too much exchange tags. Maximum: 10");

    // The attributes are checked before the count.
    const auto missing = ReadXml(ten + "<exchange name='e10'/></palm-client>");
    ExpectValidationError(*missing, "exchange");
}

TEST(ExchangeReaderLimits, TheTwoHundredFiftySixthEntryStops) {
    const auto repeated = [](const std::string& item, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) {
            out += item;
        }
        return out;
    };
    struct Case {
        std::string before;
        std::string item;
        std::string after;
        std::string element;
    };
    const std::string doc = "<post><documents><document name='d'>";
    const std::string docEnd = "</document></documents></post>";
    const Case cases[] = {
        {"<post><documents>", "<document name='d'/>", "</documents></post>", "document"},
        {"<post><tables>", "<table name='t'/>", "</tables></post>", "table"},
        {"<post><files>", "<file name='f'/>", "</files></post>", "file"},
        {"<get><tables>", "<table name='t'/>", "</tables></get>", "table"},
        {"<get><pdbs>", "<pdb name='p'/>", "</pdbs></get>", "pdb"},
        {"<get><dbs>", "<db name='p'/>", "</dbs></get>", "db"},
        {"<get><files>", "<file name='f'/>", "</files></get>", "file"},
        {doc + "<send-flags>", "<field name='f' value='1' set='1'/>", "</send-flags>" + docEnd,
         "field"},
        {doc + "<doc-head>", "<field name='f'/>", "</doc-head>" + docEnd, "field"},
        {doc + "<doc-table>", "<field name='f'/>", "</doc-table>" + docEnd, "field"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element + " in " + c.before);
        const auto full = ReadXml(InExchange(c.before + repeated(c.item, 255) + c.after));
        ExpectAccepted(*full);
        const auto over = ReadXml(InExchange(c.before + repeated(c.item, 256) + c.after));
        EXPECT_TRUE(over->handler->Failed());
        EXPECT_EQ(over->console, "Too much " + c.element + " tags. Maximum: 255");
    }
}

TEST(ExchangeReaderLimits, ElementNamesAreCutTo999Units) {
    const std::string longName(1200, 'n');
    const auto read = ReadXml("<" + longName + "/>");
    ExpectValidationError(*read, std::string(999, 'n'));

    // Cyrillic letters are one unit each; characters beyond the BMP take two.
    std::string cyrillic;
    for (int i = 0; i < 1000; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(ExchangeContentHandler::CutName(cyrillic), cyrillic.substr(0, 999 * 2));
    const std::string astral = std::string(998, 'a') + "\xF0\x9F\x98\x80" + "b";
    EXPECT_EQ(ExchangeContentHandler::CutName(astral), std::string(998, 'a'));
    EXPECT_EQ(ExchangeContentHandler::CutName("short"), "short");
}

// ---- Parse failures and hostile input --------------------------------------------------------

TEST(ExchangeReaderParse, NotWellFormedDocumentsFailWithPosition) {
    const auto read = ReadXml("<palm-client>\n  <exchange name='e' view='v'>\n</palm-client>");
    EXPECT_FALSE(read->handler->Failed());
    EXPECT_NE(read->result.code, 0);
    EXPECT_EQ(read->result.line, 3);
    EXPECT_GT(read->result.column, 0);
    EXPECT_NE(read->result.reason.find("mismatch"), std::string::npos) << read->result.reason;
    EXPECT_EQ(read->console, "");

    EXPECT_NE(ReadXml("")->result.code, 0);
    EXPECT_NE(ReadXml("<palm-client/><second/>")->result.code, 0);
    EXPECT_NE(ReadXml("<x:palm-client/>")->result.code, 0);  // undeclared prefix
}

TEST(ExchangeReaderParse, ExternalEntitiesAreRefused) {
    const auto general = ReadXml(
        "<!DOCTYPE palm-client [<!ENTITY x SYSTEM 'file:///etc/hostname'>]>"
        "<palm-client><exchange name='e' view='v'>&x;</exchange></palm-client>");
    EXPECT_NE(general->result.code, 0);
    EXPECT_EQ(general->result.reason, "external entity refused: file:///etc/hostname");

    const auto parameter = ReadXml(
        "<!DOCTYPE palm-client [<!ENTITY % x SYSTEM 'file:///etc/hostname'> %x;]>"
        "<palm-client/>");
    EXPECT_NE(parameter->result.code, 0);

    // An external DTD is never loaded, so its mere mention does no harm.
    ExpectAccepted(
        *ReadXml("<!DOCTYPE palm-client SYSTEM 'http://example.invalid/x.dtd'>"
                 "<palm-client/>"));
}

TEST(ExchangeReaderParse, EntityExpansionBombsAreRefusedQuickly) {
    std::string bomb = "<!DOCTYPE palm-client [<!ENTITY l0 'lollollollollollollollollollol'>";
    for (int i = 1; i < 10; ++i) {
        bomb += "<!ENTITY l" + std::to_string(i) + " '";
        for (int j = 0; j < 10; ++j) {
            bomb += "&l" + std::to_string(i - 1) + ";";
        }
        bomb += "'>";
    }
    bomb += "]>";
    const auto start = std::chrono::steady_clock::now();
    const auto inAttribute = ReadXml(bomb +
                                     "<palm-client><exchange name='&l9;' view='v'/>"
                                     "</palm-client>");
    const auto inContent = ReadXml(bomb + "<palm-client>&l9;</palm-client>");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_NE(inAttribute->result.code, 0);
    EXPECT_NE(inContent->result.code, 0);
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(ExchangeReaderParse, MissingAndUnreadableFiles) {
    ExchangeContentHandler handler(std::cout);
    const CSaxReader::Result missing =
        CSaxReader::ParseFile("/nonexistent-quilxdb/description.xml", handler);
    EXPECT_NE(missing.code, 0);
    EXPECT_EQ(missing.reason,
              "cannot open /nonexistent-quilxdb/description.xml: No such file or directory");

    const CSaxReader::Result directory = CSaxReader::ParseFile(".", handler);
    EXPECT_NE(directory.code, 0);
#ifdef _WIN32  // where a folder cannot even be opened as a file
    EXPECT_EQ(directory.reason, "cannot open .: Is a directory");
#else
    EXPECT_EQ(directory.reason, "cannot read the document: Is a directory");
#endif
}

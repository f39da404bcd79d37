#include "CExchangeGenerator.h"

#include "CXmlWriter.h"

namespace {

std::string Numbered(std::string_view stem, int number) {
    return std::string(stem) + std::to_string(number);
}

void WriteExchange(CXmlWriter& xml, int exchange) {
    const std::string url = "http://office.example/palm/" + std::to_string(exchange) + "/";
    const int n = CExchangeGenerator::kListSize;
    xml.Open("exchange", {{"name", Numbered("Обмен ", exchange)},
                          {"view", Numbered("Обмен данными ", exchange)}});

    xml.Open("post");
    xml.Open("documents", {{"url", url + "post/docs"}});
    // The first document fills its three field lists; the others name no fields.
    xml.Open("document", {{"name", "Док0"}});
    xml.Open("send-flags");
    for (int f = 0; f < n; ++f) {
        xml.Empty("field", {{"name", Numbered("Ф", f)}, {"value", "0x1"}, {"set", "1"}});
    }
    xml.Close();
    xml.Open("doc-head");
    for (int f = 0; f < n; ++f) {
        xml.Empty("field", {{"name", Numbered("Ш", f)}});
    }
    xml.Close();
    xml.Open("doc-table");
    for (int f = 0; f < n; ++f) {
        xml.Empty("field", {{"name", Numbered("Т", f)}});
    }
    xml.Close();
    xml.Close();
    for (int d = 1; d < n; ++d) {
        xml.Empty("document", {{"name", Numbered("Док", d)}});
    }
    xml.Close();
    xml.Open("tables", {{"url", url + "post/tables"}});
    for (int t = 0; t < n; ++t) {
        xml.Empty("table", {{"name", Numbered("Таб", t)}});
    }
    xml.Close();
    xml.Open("files", {{"url", url + "post/files"}});
    for (int f = 0; f < n; ++f) {
        xml.Empty("file", {{"name", Numbered("f", f)}, {"type", "text"}, {"delete", "true"}});
    }
    xml.Close();
    xml.Close();

    xml.Open("get");
    xml.Open("tables", {{"url", url + "get/tables"}});
    for (int t = 0; t < n; ++t) {
        xml.Empty("table", {{"path", "Спр"}, {"name", Numbered("С", t)}});
    }
    xml.Close();
    xml.Open("pdbs", {{"url", url + "get/pdbs"}});
    for (int d = 0; d < n; ++d) {
        xml.Empty("pdb", {{"name", Numbered("QL_", d)}});
    }
    xml.Close();
    xml.Open("files", {{"url", url + "get/files"}});
    for (int f = 0; f < n; ++f) {
        xml.Empty("file", {{"name", Numbered("g", f)}, {"type", "text"}});
    }
    xml.Close();
    xml.Close();

    xml.Close();
}

}  // namespace

std::string CExchangeGenerator::Generate(int exchanges) {
    CXmlWriter xml(0);
    xml.Open("palm-client");
    for (int e = 0; e < exchanges; ++e) {
        WriteExchange(xml, e);
    }
    xml.Close();
    return xml.Text();
}

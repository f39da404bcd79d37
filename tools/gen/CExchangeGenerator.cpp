#include "CExchangeGenerator.h"

#include <random>
#include <vector>

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

// An exchange whose groups, lists, URLs and flags are picked: lists of up to five entries.
void WriteVariedExchange(CXmlWriter& xml, int exchange, std::minstd_rand& random) {
    const auto pick = [&](int count) {
        return static_cast<int>(random() % static_cast<unsigned>(count));
    };
    const std::string url = "http://office.example/palm/" + std::to_string(exchange) + "/";
    using Attributes = std::vector<CXmlWriter::Attribute>;
    // A group element with its url when picked, and `count` entries; none when it is empty
    // and not picked.
    const auto group = [&](const char* element, const std::string& address, auto&& entry) {
        const int count = pick(6);
        const bool withUrl = pick(2) == 0;
        if (count == 0 && pick(2) == 0) {
            return;
        }
        xml.Open(element, withUrl ? Attributes{{"url", address}} : Attributes{});
        for (int k = 0; k < count; ++k) {
            entry(k);
        }
        xml.Close();
    };
    const auto names = [&](const char* stem) {
        for (int k = pick(4); k > 0; --k) {
            xml.Empty("field", {{"name", Numbered(stem, k)}});
        }
    };
    xml.Open("exchange",
             {{"name", Numbered("Обмен ", exchange)}, {"view", pick(3) == 0 ? "" : "Вид"}});
    xml.Open("post");
    group("documents", url + "d", [&](int k) {
        xml.Open("document", {{"name", Numbered("Док", k)}});
        for (const char* list : {"send-flags", "doc-head", "doc-table"}) {
            if (pick(2) == 0) {
                continue;
            }
            xml.Open(list);
            if (std::string_view(list) == "send-flags") {
                for (int f = pick(4); f > 0; --f) {
                    xml.Empty("field", {{"name", Numbered("Ф", f)},
                                        {"value", "0x1"},
                                        {"set", pick(2) == 0 ? "0" : "1"}});
                }
            } else {
                names("П");
            }
            xml.Close();
        }
        xml.Close();
    });
    group("tables", url + "t", [&](int k) { xml.Empty("table", {{"name", Numbered("Таб", k)}}); });
    group("files", url + "f", [&](int k) {
        xml.Empty("file", {{"name", Numbered("f", k)},
                           {"type", pick(2) == 0 ? "" : "text"},
                           {"delete", pick(2) == 0 ? "true" : "false"}});
    });
    xml.Close();
    xml.Open("get");
    group("tables", url + "gt", [&](int k) {
        const int path = pick(3);
        // The attributes are views: the name must outlive them.
        const std::string name = Numbered("С", k);
        Attributes attributes = {{"name", name}};
        if (path != 0) {
            attributes.emplace_back("path", path == 1 ? "Спр" : "Спр/");
        }
        xml.Empty("table", attributes);
    });
    const bool pdbs = pick(2) == 0;
    group(pdbs ? "pdbs" : "dbs", url + "gd", [&](int k) {
        xml.Empty(pdbs ? "pdb" : "db", {{"name", Numbered("QL_", k)}});
    });
    group("files", url + "gf", [&](int k) {
        // The attributes are views: the name must outlive them.
        const std::string name = Numbered("g", k);
        Attributes attributes = {{"name", name}};
        if (pick(2) == 0) {
            attributes.emplace_back("type", "image");
        }
        xml.Empty("file", attributes);
    });
    xml.Close();
    xml.Close();
}

}  // namespace

std::string CExchangeGenerator::Generate(int exchanges, unsigned seed) {
    CXmlWriter xml(0);
    xml.Open("palm-client");
    std::minstd_rand random(seed);
    for (int e = 0; e < exchanges; ++e) {
        if (seed == 0) {
            WriteExchange(xml, e);
        } else {
            WriteVariedExchange(xml, e, random);
        }
    }
    xml.Close();
    return xml.Text();
}

// Documents whose internal entities build markup: an entity of `items` empty elements, a
// second one of `items` references to the first, and `references` references to the second
// inside the root element (between `open` and `close`). With 1,000 items a few kilobytes
// expand to a million elements per reference.
#pragma once

#include <string>

inline std::string EntityExpansion(const std::string& root, int references, int items = 1000,
                                   const std::string& open = "", const std::string& close = "") {
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE " + root + " [<!ENTITY e \"";
    for (int i = 0; i < items; ++i) {
        xml += "<x/>";
    }
    xml += "\"><!ENTITY f \"";
    for (int i = 0; i < items; ++i) {
        xml += "&e;";
    }
    xml += "\">]>\n<" + root + ">" + open;
    for (int i = 0; i < references; ++i) {
        xml += "&f;";
    }
    return xml + close + "</" + root + ">";
}

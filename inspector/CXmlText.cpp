#include "CXmlText.h"

CXmlText::CXmlText() : writer_(2) {
    writer_.QuoteWithApostrophes(true);
}

std::string CXmlText::Printable(std::string_view utf8, bool& changed) {
    changed = false;
    std::string text(utf8);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            c = '?';
            changed = true;
        }
    }
    return text;
}

void CXmlText::Flush() {
    if (pending_) {
        pending_ = false;
        std::vector<std::string> values;
        writer_.Open(pendingName_, Prepared(pendingAttributes_, values));
    }
}

const std::string& CXmlText::Text() {
    Flush();
    return writer_.Text();
}

void CXmlText::Comment(std::string_view text) {
    Flush();
    // "--" may not stand inside a comment, nor "-" at its end.
    bool changed = false;
    std::string safe = Printable(text, changed);
    for (size_t at = safe.find("--"); at != std::string::npos; at = safe.find("--", at)) {
        safe[at + 1] = '=';
    }
    if (!safe.empty() && safe.back() == '-') {
        safe += ' ';
    }
    writer_.Comment(safe);
}

std::vector<CXmlWriter::Attribute> CXmlText::Prepared(const Attributes& attributes,
                                                      std::vector<std::string>& values) {
    values.clear();
    values.reserve(attributes.size());
    for (const auto& [name, value] : attributes) {
        bool changed = false;
        values.push_back(Printable(value, changed));
        if (changed) {
            NotReproduced("the " + name + " \"" + values.back() +
                          "\" holds characters that XML cannot hold, written as '?'");
        }
    }
    std::vector<CXmlWriter::Attribute> prepared;
    prepared.reserve(attributes.size());
    for (size_t i = 0; i < attributes.size(); ++i) {
        prepared.emplace_back(attributes[i].first, values[i]);
    }
    return prepared;
}

void CXmlText::Open(std::string_view name, const Attributes& attributes) {
    Flush();
    pending_ = true;
    pendingName_ = name;
    pendingAttributes_ = attributes;
}

void CXmlText::Empty(std::string_view name, const Attributes& attributes) {
    Flush();
    std::vector<std::string> values;
    writer_.Empty(name, Prepared(attributes, values));
}

void CXmlText::Close() {
    if (pending_) {
        pending_ = false;
        Empty(pendingName_, pendingAttributes_);
        return;
    }
    writer_.Close();
}

void CXmlText::NotReproduced(std::string_view reason) {
    notes_.emplace_back(reason);
    Comment("not reproduced: " + std::string(reason));
}

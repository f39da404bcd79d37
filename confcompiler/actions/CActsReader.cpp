#include "CActsReader.h"

#include <array>
#include <string>

#include "CLog.h"
#include "CStringsReader.h"

namespace {

constexpr std::array<std::string_view, 3> kFormEvents{"preopen", "open", "close"};
constexpr std::array<std::string_view, 4> kDocumentEvents{"init", "save", "copy", "delete"};
constexpr std::array<std::string_view, 1> kInitOnly{"init"};

// The compiler never writes past a name this long, and the lexeme limit keeps names shorter.
constexpr size_t kNameBufferSize = 256;

}  // namespace

CActsReader::CActsReader() = default;

CActsReader::~CActsReader() = default;

uint32_t CActsReader::Compile(std::string_view text, const CListControl* controls) {
    CStringsReader pool;
    uint32_t reference = 0;
    std::array<char, kNameBufferSize> name{};
    if (pool.CompileFunction(controls, text, reference, name.data(), name.size()) != 0) {
        CLog::Message(false, "Ошибка разбора: ", text, kMessageCode);
        CLog::Message(false, "Неверное определение функции: ", name.data(), kMessageCode);
        return 0;
    }
    return reference;
}

uint32_t CActsReader::Read(const CXMLDOM& document, XmlNode event, const CListControl* controls) {
    if (event == nullptr) {
        return 0;
    }
    std::string text;
    if (document.GetAttributeText(event, "funcs", text) != 0) {
        return 0;
    }
    return Compile(text, controls);
}

XmlNode CActsReader::FindEvent(const CXMLDOM& document, XmlNode object, std::string_view event) {
    return document.FindChild(document.FindChild(object, "acts"), event);
}

std::span<const std::string_view> CActsReader::Events(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Form:
            return kFormEvents;
        case ObjectKind::Document:
            return kDocumentEvents;
        case ObjectKind::Frame:
        case ObjectKind::Journal:
        case ObjectKind::Reference:
            break;
    }
    return kInitOnly;
}

std::vector<uint32_t> CActsReader::ReadAll(const CXMLDOM& document, XmlNode object, ObjectKind kind,
                                           const CListControl* controls) {
    const CListControl* passed = kind == ObjectKind::Form ? controls : nullptr;
    std::vector<uint32_t> references;
    for (std::string_view event : Events(kind)) {
        references.push_back(Read(document, FindEvent(document, object, event), passed));
    }
    return references;
}

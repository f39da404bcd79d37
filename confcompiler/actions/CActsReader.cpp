#include "CActsReader.h"

#include <array>
#include <cstring>
#include <string>

#include "CParser.h"
#include "CReadContext.h"
#include "CStringsReader.h"

namespace {

constexpr std::array<std::string_view, 3> kFormEvents{"preopen", "open", "close"};
constexpr std::array<std::string_view, 4> kDocumentEvents{"init", "save", "copy", "delete"};
constexpr std::array<std::string_view, 1> kInitOnly{"init"};

// The compiler never writes past a name this long, and the lexeme limit keeps names shorter.
constexpr size_t kNameBufferSize = 256;

}  // namespace

CActsReader::CActsReader(CReadContext& context) : context_(context) {}

CActsReader::~CActsReader() = default;

std::optional<uint32_t> CActsReader::Compile(CReadContext& context, std::string_view text,
                                             const CListControl* controls, int code, int limitCode,
                                             XmlNode node) {
    uint32_t reference = 0;
    std::array<char, kNameBufferSize> name{};
    bool refusedForLength = false;
    const int result =
        CompileCode(context.Pool(), controls, text, reference, name.data(), name.size(), limitCode,
                    context.Location(node), &refusedForLength);
    if (result == kPoolFull) {
        return std::nullopt;
    }
    if (result != 0) {
        // An expression refused for its length is shown in part: it may be very long.
        context.Warning(code, "Ошибка разбора: ",
                        refusedForLength ? CReadContext::Excerpt(text) : std::string(text), node);
        context.Warning(code, "Неверное определение функции: ", name.data(), node);
        return 0;
    }
    return reference;
}

// Every action expression of the configuration is compiled here, by a fresh parser, and its
// code stored as one pool entry.
int CActsReader::CompileCode(CStringsReader& pool, const CListControl* controls,
                             std::string_view text, uint32_t& codeRef, char* nameBuffer,
                             size_t nameSize, int code, std::string_view where,
                             bool* refusedForLength) {
    codeRef = 0;
    if (nameBuffer != nullptr && nameSize > 0) {
        nameBuffer[0] = 0;
    }
    CParser parser(pool, where, code);
    CRecordBuffer output(CParser::kOutputSize);
    if (parser.Parse(controls, text, output) != 0) {
        if (refusedForLength != nullptr) {
            *refusedForLength = parser.RefusedForLength();
        }
        const std::string& name = parser.FunctionName();
        if (nameBuffer != nullptr && name.size() < nameSize) {
            std::memcpy(nameBuffer, name.c_str(), name.size() + 1);
        }
        // A string argument the pool refused ends the parse as a fault would.
        return pool.Overflowed() ? kPoolFull : 1;
    }
    const uint32_t reference = pool.AddBytes(output.Data(), output.Size(), code, where);
    if (reference == 0) {
        return kPoolFull;  // AddBytes has printed the error
    }
    codeRef = reference;
    return 0;
}

std::optional<uint32_t> CActsReader::Read(XmlNode event, const CListControl* controls) {
    if (event == nullptr) {
        return 0;
    }
    std::string text;
    if (context_.Document().GetAttributeText(event, "funcs", text) != 0) {
        return 0;
    }
    return Compile(context_, text, controls, kMessageCode, kLimitCode, event);
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

std::vector<uint32_t> CActsReader::ReadAll(XmlNode object, ObjectKind kind,
                                           const CListControl* controls) {
    const CListControl* passed = kind == ObjectKind::Form ? controls : nullptr;
    std::vector<uint32_t> references;
    for (std::string_view event : Events(kind)) {
        const std::optional<uint32_t> reference =
            Read(FindEvent(context_.Document(), object, event), passed);
        if (!reference) {
            break;
        }
        references.push_back(*reference);
    }
    return references;
}

#include "CSaxReader.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <new>
#include <vector>

#include "CXmlPolicy.h"

bool CSaxReader::Handler::StartElement(std::string_view, Attributes) {
    return true;
}

bool CSaxReader::Handler::EndElement() {
    return true;
}

namespace {

// What the callbacks of one parse need.
struct ParseState {
    CSaxReader::Handler* handler = nullptr;
    std::vector<CSaxReader::Attribute> attributes;
};

// libxml2 lists the attribute defaults that a DTD declares after the document's own
// attributes; they are left out, as neither compiler reads a DTD.
void OnStartElement(void* ctx, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int attributeCount, int defaulted,
                    const xmlChar** attributes) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (!policy.ChargeElement(ctx, localName, attributeCount, attributes)) {
        return;
    }
    ParseState& state = *static_cast<ParseState*>(policy.Owner());
    try {
        // libxml2 hands each attribute as five pointers: local name, prefix, URI, value start
        // and value end (the value is not zero-terminated).
        state.attributes.clear();
        for (int i = 0; i < attributeCount - defaulted; ++i) {
            const xmlChar** at = attributes + 5 * i;
            const auto* value = reinterpret_cast<const char*>(at[3]);
            const auto* end = reinterpret_cast<const char*>(at[4]);
            state.attributes.push_back({reinterpret_cast<const char*>(at[0]),
                                        std::string_view(value, static_cast<size_t>(end - value))});
        }
        state.handler->SetLine(xmlSAX2GetLineNumber(policy.Context()));
        if (!state.handler->StartElement(reinterpret_cast<const char*>(localName),
                                         CSaxReader::Attributes(state.attributes))) {
            policy.Stop(ctx);
        }
    } catch (const std::bad_alloc&) {
        policy.OutOfMemory(ctx);
    }
}

void OnEndElement(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (policy.Stopped()) {
        return;
    }
    try {
        CSaxReader::Handler& handler = *static_cast<ParseState*>(policy.Owner())->handler;
        handler.SetLine(xmlSAX2GetLineNumber(policy.Context()));
        if (!handler.EndElement()) {
            policy.Stop(ctx);
        }
    } catch (const std::bad_alloc&) {
        policy.OutOfMemory(ctx);
    }
}

// Parses the file at `path`, or the document in `memory` when `path` is null.
CSaxReader::Result Parse(const std::string* path, std::string_view memory,
                         CSaxReader::Handler& handler) {
    CSaxReader::Result result;
    try {
        xmlSAXHandler sax;
        CXmlPolicy::PrepareHandler(sax, CXmlPolicy::Mode::Events);
        sax.startElementNs = OnStartElement;
        sax.endElementNs = OnEndElement;
        ParseState state;
        state.handler = &handler;
        CXmlPolicy policy;
        const bool parsed = path != nullptr ? policy.ParseFile(*path, sax, &state)
                                            : policy.ParseMemory(memory, sax, &state);
        result.stopped = policy.StopRequested();
        if (!parsed) {
            const CXmlPolicy::Failure& failure = policy.GetFailure();
            result.code = failure.code;
            result.reason = failure.reason;
            result.line = failure.line;
            result.column = failure.column;
        }
    } catch (const std::bad_alloc&) {
        result.code = XML_ERR_NO_MEMORY;
        result.reason = "out of memory";
    }
    return result;
}

}  // namespace

CSaxReader::Result CSaxReader::ParseFile(const std::string& path, Handler& handler) {
    return Parse(&path, {}, handler);
}

CSaxReader::Result CSaxReader::ParseMemory(std::string_view document, Handler& handler) {
    return Parse(nullptr, document, handler);
}

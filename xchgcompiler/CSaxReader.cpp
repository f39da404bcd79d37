#include "CSaxReader.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

bool CSaxReader::Handler::StartElement(std::string_view, Attributes) {
    return true;
}

bool CSaxReader::Handler::EndElement() {
    return true;
}

namespace {

// Options of every parse: entities are substituted (so attribute values arrive as the
// document means them), the network is off, the entity-expansion limits stay on (no
// XML_PARSE_HUGE) and no DTD is loaded (no DTDLOAD, DTDATTR or DTDVALID).
constexpr int kParseOptions = XML_PARSE_NOENT | XML_PARSE_NONET;

// The state of the parse in progress.
struct ParseState {
    CSaxReader::Handler* handler = nullptr;
    xmlParserCtxtPtr context = nullptr;
    CSaxReader::Result result;
    std::vector<CSaxReader::Attribute> attributes;
};

thread_local ParseState* currentParse = nullptr;

std::string TrimmedMessage(const char* message) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

void KeepFirstError(ParseState& state, int code, std::string reason, int line, int column) {
    if (state.result.code != 0) {
        return;
    }
    state.result.code = code != 0 ? code : XML_ERR_INTERNAL_ERROR;
    state.result.reason = std::move(reason);
    state.result.line = line;
    state.result.column = column;
}

void StopWith(ParseState& state) {
    state.result.stopped = true;
    xmlStopParser(state.context);
}

// libxml2's own callbacks need the parser context as their user data, so ours find the parse
// through currentParse.
void OnStartElement(void*, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    ParseState& state = *currentParse;
    if (state.result.stopped) {
        return;
    }
    // libxml2 hands each attribute as five pointers: local name, prefix, URI, value start
    // and value end (the value is not zero-terminated).
    state.attributes.clear();
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar** at = attributes + 5 * i;
        const auto* value = reinterpret_cast<const char*>(at[3]);
        const auto* end = reinterpret_cast<const char*>(at[4]);
        state.attributes.push_back({reinterpret_cast<const char*>(at[0]),
                                    std::string_view(value, static_cast<size_t>(end - value))});
    }
    if (!state.handler->StartElement(reinterpret_cast<const char*>(localName),
                                     CSaxReader::Attributes(state.attributes))) {
        StopWith(state);
    }
}

void OnEndElement(void*, const xmlChar*, const xmlChar*, const xmlChar*) {
    ParseState& state = *currentParse;
    if (state.result.stopped) {
        return;
    }
    if (!state.handler->EndElement()) {
        StopWith(state);
    }
}

void OnError(void*, xmlErrorPtr error) {
    if (currentParse == nullptr || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    KeepFirstError(*currentParse, error->code, TrimmedMessage(error->message), error->line,
                   error->int2);
}

// Refuses every external entity and external DTD subset: the document alone is read.
xmlParserInputPtr RefuseExternalEntity(const char* url, const char*, xmlParserCtxtPtr context) {
    if (currentParse != nullptr) {
        // Entities may be read through a context of their own; the position that helps the
        // reader is the one in the document.
        xmlParserCtxtPtr main = currentParse->context != nullptr ? currentParse->context : context;
        const int line = main != nullptr ? xmlSAX2GetLineNumber(main) : 0;
        const int column = main != nullptr ? xmlSAX2GetColumnNumber(main) : 0;
        KeepFirstError(*currentParse, XML_IO_LOAD_ERROR,
                       std::string("external entity refused: ") + (url != nullptr ? url : ""), line,
                       column);
        if (context != nullptr) {
            xmlStopParser(context);
        }
    }
    return nullptr;
}

void IgnoreGenericError(void*, const char*, ...) {}

// Where the document's bytes come from.
struct Source {
    FILE* file = nullptr;
    std::string_view memory;
    size_t position = 0;
    int readError = 0;
};

int ReadSource(void* context, char* buffer, int length) {
    auto& source = *static_cast<Source*>(context);
    if (source.file != nullptr) {
        const size_t got = std::fread(buffer, 1, static_cast<size_t>(length), source.file);
        if (got == 0 && std::ferror(source.file)) {
            source.readError = errno != 0 ? errno : EIO;
            return -1;
        }
        return static_cast<int>(got);
    }
    const size_t left = source.memory.size() - source.position;
    const size_t count = std::min(left, static_cast<size_t>(length));
    std::memcpy(buffer, source.memory.data() + source.position, count);
    source.position += count;
    return static_cast<int>(count);
}

int CloseSource(void*) {
    return 0;
}

CSaxReader::Result Parse(Source& source, CSaxReader::Handler& handler) {
    xmlInitParser();

    ParseState state;
    state.handler = &handler;

    // libxml2's own SAX2 callbacks keep the internal DTD subset (entity declarations and
    // attribute defaults) in a document shell; elements and text never reach a tree.
    xmlSAXHandler sax;
    xmlSAXVersion(&sax, 2);
    sax.startElementNs = OnStartElement;
    sax.endElementNs = OnEndElement;
    sax.startElement = nullptr;
    sax.endElement = nullptr;
    sax.characters = nullptr;
    sax.ignorableWhitespace = nullptr;
    sax.cdataBlock = nullptr;
    sax.comment = nullptr;
    sax.processingInstruction = nullptr;
    sax.reference = nullptr;
    sax.externalSubset = nullptr;
    sax.warning = nullptr;
    sax.error = nullptr;
    sax.fatalError = nullptr;
    sax.serror = OnError;

    const xmlExternalEntityLoader previousLoader = xmlGetExternalEntityLoader();
    const xmlGenericErrorFunc previousGeneric = xmlGenericError;
    void* const previousGenericContext = xmlGenericErrorContext;
    xmlSetExternalEntityLoader(RefuseExternalEntity);
    xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
    currentParse = &state;
    const auto restore = [&]() {
        currentParse = nullptr;
        xmlSetGenericErrorFunc(previousGenericContext, previousGeneric);
        xmlSetExternalEntityLoader(previousLoader);
    };

    // No user data: the context itself is handed to every callback.
    xmlParserCtxtPtr context = xmlCreateIOParserCtxt(&sax, nullptr, ReadSource, CloseSource,
                                                     &source, XML_CHAR_ENCODING_NONE);
    if (context == nullptr) {
        restore();
        KeepFirstError(state, XML_ERR_NO_MEMORY, "cannot create the XML parser", 0, 0);
        return state.result;
    }
    state.context = context;
    xmlCtxtUseOptions(context, kParseOptions);

    const int parsed = xmlParseDocument(context);
    restore();

    if (source.readError != 0 && !state.result.stopped) {
        // The parser's own complaint ("Document is empty") would hide the cause.
        state.result = CSaxReader::Result();
        KeepFirstError(state, XML_IO_LOAD_ERROR,
                       std::string("cannot read the document: ") + std::strerror(source.readError),
                       0, 0);
    }
    if (state.result.stopped && state.result.code == 0) {
        KeepFirstError(state, XML_ERR_USER_STOP, "stopped by the content handler",
                       xmlSAX2GetLineNumber(context), xmlSAX2GetColumnNumber(context));
    }
    if (!state.result.stopped && state.result.code == 0) {
        if (parsed != 0 || !context->wellFormed) {
            KeepFirstError(state, context->errNo, "the document is not well-formed",
                           xmlSAX2GetLineNumber(context), xmlSAX2GetColumnNumber(context));
        }
    }
    if (context->myDoc != nullptr) {
        xmlFreeDoc(context->myDoc);
        context->myDoc = nullptr;
    }
    xmlFreeParserCtxt(context);
    return state.result;
}

}  // namespace

CSaxReader::Result CSaxReader::ParseFile(const std::string& path, Handler& handler) {
    Source source;
    source.file = std::fopen(path.c_str(), "rb");
    if (source.file == nullptr) {
        Result result;
        result.code = XML_IO_LOAD_ERROR;
        result.reason = "cannot open " + path + ": " + std::strerror(errno);
        return result;
    }
    // libxml2 asks for 4000 bytes at a time; a larger stream buffer reads the file in fewer
    // system calls.
    std::setvbuf(source.file, nullptr, _IOFBF, 64 * 1024);
    Result result = Parse(source, handler);
    std::fclose(source.file);
    return result;
}

CSaxReader::Result CSaxReader::ParseMemory(std::string_view document, Handler& handler) {
    Source source;
    source.memory = document;
    return Parse(source, handler);
}

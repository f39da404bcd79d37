#include "CXmlPolicy.h"

#include <libxml/SAX2.h>
#include <libxml/encoding.h>
#include <libxml/globals.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "CConverter.h"
#include "CPlatform.h"
#include "ConsoleLine.h"

// Where the document's bytes come from, and how many of them the parser has asked for.
struct CXmlPolicy::Source {
    std::FILE* file = nullptr;
    std::string_view memory;
    size_t position = 0;
    size_t bytesRead = 0;
    int readError = 0;
};

namespace {

// The parse in progress on this thread (parses happen one at a time).
thread_local CXmlPolicy* tCurrent = nullptr;

int ReadSource(void* context, char* buffer, int length) {
    auto& source = *static_cast<CXmlPolicy::Source*>(context);
    if (tCurrent != nullptr && tCurrent->Stopped()) {
        return 0;  // nothing more is read once the parse has failed
    }
    size_t got = 0;
    if (source.file != nullptr) {
        errno = 0;
        got = std::fread(buffer, 1, static_cast<size_t>(length), source.file);
        if (got == 0 && std::ferror(source.file)) {
            source.readError = errno != 0 ? errno : EIO;
            return -1;
        }
    } else {
        got = std::min(source.memory.size() - source.position, static_cast<size_t>(length));
        std::memcpy(buffer, source.memory.data() + source.position, got);
        source.position += got;
    }
    source.bytesRead += got;
    return static_cast<int>(got);
}

int CloseSource(void*) {
    return 0;
}

// Installs the refusing entity loader and the collecting error handlers for one parse, and
// puts back whatever was installed before.
class Installed {
public:
    explicit Installed(CXmlPolicy& policy)
        : loader_(xmlGetExternalEntityLoader()),
          structured_(xmlStructuredError),
          structuredContext_(xmlStructuredErrorContext),
          generic_(xmlGenericError),
          genericContext_(xmlGenericErrorContext),
          previous_(tCurrent) {
        tCurrent = &policy;
        xmlSetExternalEntityLoader(CXmlPolicy::RefuseExternalEntity);
        xmlSetStructuredErrorFunc(nullptr, CXmlPolicy::OnStructuredError);
        xmlSetGenericErrorFunc(nullptr, CXmlPolicy::OnGenericError);
    }
    ~Installed() {
        xmlSetGenericErrorFunc(genericContext_, generic_);
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
        xmlSetExternalEntityLoader(loader_);
        tCurrent = previous_;
    }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;

private:
    xmlExternalEntityLoader loader_;
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
    xmlGenericErrorFunc generic_;
    void* genericContext_;
    CXmlPolicy* previous_;
};

// Element starts and ends in Tree mode: charged, then built through the document's context.

void TreeStartElement(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                      int attributeCount, int defaulted, const xmlChar** attributes) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (policy.ChargeElement(ctx, localName, attributeCount, attributes)) {
        xmlSAX2StartElementNs(policy.Context(), localName, prefix, uri, namespaceCount, namespaces,
                              attributeCount, defaulted, attributes);
    }
}

void TreeEndElement(void*, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (!policy.Stopped()) {
        xmlSAX2EndElementNs(policy.Context(), localName, prefix, uri);
    }
}

// Text, CDATA, comments and instructions in both modes: charged, then in Tree mode built
// through the document's context.
void BuildNothing(void*, const xmlChar*, int) {}

template <void (*Build)(void*, const xmlChar*, int)>
void OnText(void* ctx, const xmlChar* text, int length) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (policy.Charge(ctx, CXmlPolicy::kNodeCost + static_cast<size_t>(length))) {
        Build(policy.Context(), text, length);
    }
}

template <bool kTree>
void OnComment(void* ctx, const xmlChar* text) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    if (policy.Charge(ctx, CXmlPolicy::kNodeCost + static_cast<size_t>(xmlStrlen(text)))) {
        if constexpr (kTree) {
            xmlSAX2Comment(policy.Context(), text);
        }
    }
}

template <bool kTree>
void OnInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    CXmlPolicy& policy = CXmlPolicy::Current();
    const size_t bytes = static_cast<size_t>(xmlStrlen(target) + xmlStrlen(data));
    if (policy.Charge(ctx, CXmlPolicy::kNodeCost + bytes)) {
        if constexpr (kTree) {
            xmlSAX2ProcessingInstruction(policy.Context(), target, data);
        }
    }
}

// Every entity reference inside an entity costs a node, even one that expands to nothing.
xmlEntityPtr GetEntity(void* ctx, const xmlChar* name) {
    if (!CXmlPolicy::Current().Charge(ctx, CXmlPolicy::kNodeCost)) {
        return nullptr;
    }
    return xmlSAX2GetEntity(ctx, name);
}

// Windows-1251 to UTF-8 for libxml2, through the product's one table of that code page
// (CConverter). Returns the bytes written, or -2 at the one byte that has no character
// (0x98), where *inLength and *outLength tell how far the conversion got.
int Windows1251ToUtf8(unsigned char* out, int* outLength, const unsigned char* in, int* inLength) {
    int read = 0;
    int written = 0;
    int result = 0;
    std::string bytes;
    for (; read < *inLength; ++read) {
        const uint32_t cp = CConverter::CodePoint(in[read]);
        if (cp == 0 && in[read] != 0) {
            result = -2;
            break;
        }
        bytes.clear();
        CConverter::AppendUtf8(bytes, cp);
        const int size = static_cast<int>(bytes.size());
        if (written + size > *outLength) {
            break;
        }
        std::memcpy(out + written, bytes.data(), bytes.size());
        written += size;
    }
    *inLength = read;
    *outLength = written;
    return result < 0 ? result : written;
}

// Registered once per process, before any iconv conversion is looked for: a document declared
// in Windows-1251 under any of its usual names reads the same on every system.
void RegisterWindows1251() {
    static const bool registered = [] {
        xmlNewCharEncodingHandler("windows-1251", Windows1251ToUtf8, nullptr);
        for (const char* alias :
             {"cp1251", "cp-1251", "x-cp1251", "win-1251", "win1251", "ms-cyrl", "windows1251"}) {
            xmlAddEncodingAlias("windows-1251", alias);
        }
        return true;
    }();
    (void)registered;
}

}  // namespace

CXmlPolicy::CXmlPolicy() {
    xmlInitParser();
    RegisterWindows1251();
}

CXmlPolicy::~CXmlPolicy() {
    if (document_ != nullptr) {
        xmlFreeDoc(document_);
    }
}

CXmlPolicy& CXmlPolicy::Current() {
    return *tCurrent;
}

void CXmlPolicy::PrepareHandler(xmlSAXHandler& sax, Mode mode) {
    // libxml2's SAX2 callbacks keep the internal DTD subset (entity declarations) in the
    // document; an external subset is never read.
    xmlSAXVersion(&sax, 2);
    sax.externalSubset = nullptr;
    sax.reference = nullptr;
    sax.getEntity = GetEntity;
    sax.warning = nullptr;
    sax.error = nullptr;
    sax.fatalError = nullptr;
    sax.serror = OnStructuredError;
    sax.startElement = nullptr;
    sax.endElement = nullptr;
    const bool tree = mode == Mode::Tree;
    sax.startElementNs = tree ? TreeStartElement : nullptr;
    sax.endElementNs = tree ? TreeEndElement : nullptr;
    sax.characters = tree ? OnText<xmlSAX2Characters> : OnText<BuildNothing>;
    sax.ignorableWhitespace = sax.characters;
    sax.cdataBlock = tree ? OnText<xmlSAX2CDataBlock> : OnText<BuildNothing>;
    sax.comment = tree ? OnComment<true> : OnComment<false>;
    sax.processingInstruction = tree ? OnInstruction<true> : OnInstruction<false>;
}

bool CXmlPolicy::ParseFile(const std::string& path, const xmlSAXHandler& sax, void* owner) {
    Source source;
    source.file = CPlatform::OpenFile(path, "rb");
    if (source.file == nullptr) {
        const int error = errno;
        Record(XML_IO_LOAD_ERROR, "cannot open " + path + ": " + std::strerror(error), 0, 0);
        return false;
    }
    // libxml2 asks for 4000 bytes at a time; a larger stream buffer reads the file in fewer
    // system calls.
    std::setvbuf(source.file, nullptr, _IOFBF, 64 * 1024);
    bool parsed = false;
    try {
        parsed = Parse(source, sax, owner);
    } catch (...) {
        std::fclose(source.file);
        throw;
    }
    std::fclose(source.file);
    return parsed;
}

bool CXmlPolicy::ParseMemory(std::string_view document, const xmlSAXHandler& sax, void* owner) {
    Source source;
    source.memory = document;
    return Parse(source, sax, owner);
}

bool CXmlPolicy::Parse(Source& source, const xmlSAXHandler& sax, void* owner) {
    owner_ = owner;
    source_ = &source;
    Installed installed(*this);

    // No user data: every callback receives the context that parses (the document's own,
    // or one for an entity's content).
    xmlSAXHandler handler = sax;
    context_ = xmlCreateIOParserCtxt(&handler, nullptr, ReadSource, CloseSource, &source,
                                     XML_CHAR_ENCODING_NONE);
    if (context_ == nullptr) {
        source_ = nullptr;
        Record(XML_ERR_NO_MEMORY, "cannot create the XML parser", 0, 0);
        return false;
    }
    xmlCtxtUseOptions(context_, kParseOptions);
    const int parsed = xmlParseDocument(context_);

    try {
        if (source.readError != 0 && !stopRequested_) {
            // The parser's own complaint ("Document is empty") would hide the cause.
            failure_ = Failure();
            Record(XML_IO_LOAD_ERROR,
                   std::string("cannot read the document: ") + std::strerror(source.readError), 0,
                   0);
        } else if (failure_.code == 0 && (parsed != 0 || context_->wellFormed == 0)) {
            Record(context_->errNo,
                   genericMessage_.empty() ? "the document is not well-formed" : genericMessage_,
                   xmlSAX2GetLineNumber(context_), xmlSAX2GetColumnNumber(context_));
        }
    } catch (const std::bad_alloc&) {
        OutOfMemory(nullptr);
    }
    document_ = context_->myDoc;
    context_->myDoc = nullptr;
    xmlFreeParserCtxt(context_);
    context_ = nullptr;
    source_ = nullptr;
    return failure_.code == 0;
}

xmlDocPtr CXmlPolicy::TakeDocument() {
    xmlDocPtr document = document_;
    document_ = nullptr;
    return document;
}

bool CXmlPolicy::ChargeElement(void* ctx, const xmlChar* localName, int attributeCount,
                               const xmlChar** attributes) {
    if (stopped_ || ctx == context_) {
        return Charge(ctx, 0);
    }
    // libxml2 hands each attribute as five pointers: local name, prefix, URI, value start
    // and value end.
    size_t bytes = kNodeCost + static_cast<size_t>(xmlStrlen(localName));
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar** at = attributes + 5 * i;
        bytes +=
            kNodeCost + static_cast<size_t>(xmlStrlen(at[0])) + static_cast<size_t>(at[4] - at[3]);
    }
    return Charge(ctx, bytes);
}

bool CXmlPolicy::Charge(void* ctx, size_t bytes) {
    if (stopped_) {
        if (ctx != context_) {
            Halt(ctx);  // an entity's content still being read
        }
        return false;
    }
    if (ctx == context_) {
        return true;  // the document's own bytes
    }
    expanded_ += bytes;
    const size_t read = source_ != nullptr ? source_->bytesRead : 0;
    const size_t allowed = read > std::numeric_limits<size_t>::max() / kExpansionPerByte
                               ? std::numeric_limits<size_t>::max()
                               : std::max(kExpansionFloor, read * kExpansionPerByte);
    if (expanded_ <= allowed) {
        return true;
    }
    try {
        Fail(ctx, XML_ERR_ENTITY_LOOP,
             "entity expansion exceeds " + std::to_string(allowed) + " bytes");
    } catch (const std::bad_alloc&) {
        OutOfMemory(ctx);
    }
    return false;
}

void CXmlPolicy::Stop(void* ctx) {
    stopRequested_ = true;
    Fail(ctx, XML_ERR_USER_STOP, "stopped by the content handler");
}

void CXmlPolicy::Fail(void* ctx, int code, std::string reason) {
    if (!stopped_ && failure_.code == 0) {
        const int line = context_ != nullptr ? xmlSAX2GetLineNumber(context_) : 0;
        const int column = context_ != nullptr ? xmlSAX2GetColumnNumber(context_) : 0;
        Record(code, std::move(reason), line, column);
    }
    Halt(ctx);
}

void CXmlPolicy::OutOfMemory(void* ctx) {
    if (failure_.code == 0) {
        failure_.code = XML_ERR_NO_MEMORY;
        failure_.reason = "out of memory";  // short enough to need no allocation
        failure_.line = 0;
        failure_.column = 0;
    }
    Halt(ctx);
}

void CXmlPolicy::Record(int code, std::string reason, int line, int column) {
    failure_.code = code != 0 ? code : XML_ERR_INTERNAL_ERROR;
    // libxml2 breaks some of its messages in parts, and a path or a URL may hold a break:
    // the reason is shown on one line.
    failure_.reason = ConsoleLine::Joined(reason);
    failure_.line = line;
    failure_.column = column;
}

// Stops the context that called (an entity's) and the document's own. A context that is not
// well-formed makes the reference that started it fail, and so on up to the document, so no
// enclosing entity goes on expanding. Nothing is freed here (xmlStopParser would free the
// input, which the parser may be in the middle of reading when an error is reported); the
// contexts only stop delivering events and end their loops, and the input reports its end.
void CXmlPolicy::Halt(void* ctx) {
    stopped_ = true;
    for (void* each : {ctx, static_cast<void*>(context_)}) {
        if (auto* context = static_cast<xmlParserCtxtPtr>(each); context != nullptr) {
            context->wellFormed = 0;
            context->disableSAX = 1;
            context->instate = XML_PARSER_EOF;
        }
    }
}

std::string CXmlPolicy::TrimmedMessage(const char* message) {
    std::string text = message != nullptr ? message : "unknown parser error";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// The first error ends the parse, so that a document fails at its first bad bytes however
// much follows them; warnings do not count.
void CXmlPolicy::OnStructuredError(void*, xmlErrorPtr error) {
    if (tCurrent == nullptr || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    CXmlPolicy& policy = *tCurrent;
    if (policy.stopped_ || policy.failure_.code != 0) {
        return;
    }
    try {
        policy.Record(error->code, TrimmedMessage(error->message), error->line, error->int2);
    } catch (const std::bad_alloc&) {
        policy.OutOfMemory(nullptr);
    }
    policy.Halt(nullptr);
}

// Unstructured messages are kept only to explain a failure that nothing else explains.
void CXmlPolicy::OnGenericError(void*, const char* format, ...) {
    if (tCurrent == nullptr || !tCurrent->genericMessage_.empty()) {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    try {
        tCurrent->genericMessage_ = TrimmedMessage(text);
    } catch (const std::bad_alloc&) {
        tCurrent->OutOfMemory(nullptr);
    }
}

// Every external entity, external DTD subset or other outside resource is refused: a
// document is read from its own bytes only.
xmlParserInputPtr CXmlPolicy::RefuseExternalEntity(const char* url, const char*,
                                                   xmlParserCtxtPtr context) {
    if (tCurrent != nullptr) {
        try {
            tCurrent->Fail(context, XML_IO_LOAD_ERROR,
                           std::string("external entity refused: ") + (url != nullptr ? url : ""));
        } catch (const std::bad_alloc&) {
            tCurrent->OutOfMemory(context);
        }
    }
    return nullptr;
}

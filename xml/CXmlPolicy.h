// How both compilers read an XML document with libxml2. The document is read incrementally
// from a file or from memory; entities and character references are replaced inside the
// parser, where libxml2's own expansion limits apply (never XML_PARSE_HUGE); the network is
// never touched; no DTD is loaded and an external entity fails the parse; attribute defaults
// that a DTD declares are not applied; the parser's messages are collected, not printed, and
// the first error is kept with its position.
//
// On top of libxml2's limits, what the document's own entities expand to is bounded: every
// element, text, comment, instruction and entity reference that arrives from inside an
// entity is charged (kNodeCost for the node, plus its names and texts), and the parse fails
// as soon as the charges pass kExpansionFloor bytes, or kExpansionPerByte bytes for every
// byte of the document read so far when that is more. libxml2 hands the content of an entity
// to the callbacks with a parser context of its own; the callbacks charge those events and
// build the tree (when there is one) through the document's own context, so libxml2 never
// keeps an expanded entity to copy it again without the callbacks seeing it.
//
// A document declared in Windows-1251 (also as cp1251, x-cp1251 and the other usual names) is
// decoded with the product's own table of that code page (CConverter), registered with
// libxml2 when the first policy is made: the same on every system, with or without iconv.
//
// One object serves one parse on the calling thread; its callbacks find it through Current().
#pragma once

#include <libxml/parser.h>

#include <cstddef>
#include <string>
#include <string_view>

class CXmlPolicy {
public:
    static constexpr size_t kExpansionFloor = size_t{8} << 20;
    static constexpr size_t kExpansionPerByte = 16;
    static constexpr size_t kNodeCost = 64;

    // Parser options of every parse: entity substitution, no network, line numbers above
    // 65535 kept, short texts stored inside their nodes (the tree is only read). No DTDLOAD,
    // DTDATTR, DTDVALID or HUGE.
    static constexpr int kParseOptions =
        XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;

    // The first failure of a parse: libxml2's error number (or the one that fits our own
    // reason), the reason as libxml2 words it (ours are in lower case) on one line (its parts
    // joined by blanks, ConsoleLine), and the position in the document (0 when unknown).
    struct Failure {
        int code = 0;
        std::string reason;
        int line = 0;
        int column = 0;
    };

    // Tree: libxml2 builds its tree of the document (TakeDocument). Events: no tree; the
    // caller sets startElementNs and endElementNs and charges each start (ChargeElement).
    enum class Mode { Tree, Events };

    CXmlPolicy();
    ~CXmlPolicy();
    CXmlPolicy(const CXmlPolicy&) = delete;
    CXmlPolicy& operator=(const CXmlPolicy&) = delete;

    // The callbacks of a parse in the given mode.
    static void PrepareHandler(xmlSAXHandler& sax, Mode mode);

    // Parses the file at `path` (a plain path, not a URL), or a document held in memory.
    // True when the document was read to its end without any error; GetFailure() says why
    // not. `owner` is what the caller's callbacks need (Owner()).
    bool ParseFile(const std::string& path, const xmlSAXHandler& sax, void* owner = nullptr);
    bool ParseMemory(std::string_view document, const xmlSAXHandler& sax, void* owner = nullptr);

    const Failure& GetFailure() const { return failure_; }
    // True when a callback stopped the parse (Stop).
    bool StopRequested() const { return stopRequested_; }
    // The tree built in Tree mode, now the caller's to free; null when there is none.
    xmlDocPtr TakeDocument();

    // ---- For the callbacks of the parse in progress ----
    static CXmlPolicy& Current();
    void* Owner() const { return owner_; }
    // The document's own parser context (the content of an entity comes with another one).
    xmlParserCtxtPtr Context() const { return context_; }
    // Charges an element start with its attributes, or `bytes` of other content, when `ctx`
    // is the context of an entity's content. False once the parse has stopped (now or
    // before): the callback then does nothing more.
    bool ChargeElement(void* ctx, const xmlChar* localName, int attributeCount,
                       const xmlChar** attributes);
    bool Charge(void* ctx, size_t bytes);
    // Stops the parse at a callback's request; the failure is XML_ERR_USER_STOP.
    void Stop(void* ctx);
    // Stops the parse with a failure (kept unless an earlier one was).
    void Fail(void* ctx, int code, std::string reason);
    // A callback caught an allocation failure.
    void OutOfMemory(void* ctx);
    bool Stopped() const { return stopped_; }

    // A parser message without its trailing line breaks and blanks.
    static std::string TrimmedMessage(const char* message);

    // libxml2's callbacks and the input of one parse; public only so that the implementation
    // can hand them over.
    struct Source;
    static void OnStructuredError(void* userData, xmlErrorPtr error);
    static void OnGenericError(void* context, const char* format, ...);
    static xmlParserInputPtr RefuseExternalEntity(const char* url, const char* id,
                                                  xmlParserCtxtPtr context);

private:
    bool Parse(Source& source, const xmlSAXHandler& sax, void* owner);
    void Record(int code, std::string reason, int line, int column);
    void Halt(void* ctx);

    xmlParserCtxtPtr context_ = nullptr;
    xmlDocPtr document_ = nullptr;
    void* owner_ = nullptr;
    Source* source_ = nullptr;
    Failure failure_;
    std::string genericMessage_;
    size_t expanded_ = 0;
    bool stopped_ = false;
    bool stopRequested_ = false;
};

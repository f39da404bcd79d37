// A streaming XML reader over libxml2's SAX2 interface: element starts (local name and
// attributes) and element ends in document order, nothing else. No tree is built; the
// document is read under CXmlPolicy: no DTD is loaded (and no attribute default it declares
// is applied), every external entity is refused, the network is never touched and what
// entities may expand to is bounded.
#pragma once

#include <span>
#include <string>
#include <string_view>

class CSaxReader {
public:
    // One attribute of a starting element: its local name and its value, both UTF-8, both
    // valid only during the call that receives them.
    struct Attribute {
        std::string_view localName;
        std::string_view value;
    };
    using Attributes = std::span<const Attribute>;

    // Receives the events of one parse. Returning false from a callback stops the parse at
    // once; no further event arrives. Both callbacks do nothing by default.
    class Handler {
    public:
        virtual ~Handler() = default;
        virtual bool StartElement(std::string_view localName, Attributes attributes);
        virtual bool EndElement();

        // During a callback: the line of the document the event comes from, as libxml2
        // records it for an element (the line where its start tag ends); 0 when unknown. The
        // reader sets it before each callback.
        long Line() const { return line_; }
        void SetLine(long line) { line_ = line; }

    private:
        long line_ = 0;
    };

    // How a parse ended. `code` is 0 for a complete, well-formed document; otherwise it is
    // libxml2's error number of the first error, and `reason`, `line` and `column` describe it.
    // `stopped` tells that a handler callback asked for the stop.
    struct Result {
        int code = 0;
        std::string reason;
        int line = 0;
        int column = 0;
        bool stopped = false;
    };

    // Parses the file at `path`, a plain file-system path (not a URL).
    static Result ParseFile(const std::string& path, Handler& handler);
    // Parses a document held in memory.
    static Result ParseMemory(std::string_view document, Handler& handler);
};

// Reads a database file back: recognises it by its type and creator (the configuration
// database or the exchange settings database), decodes every record into one JSON document
// and checks it. The library entry point of quilinspect, also used by the tests on every
// database they write.
//
// The document: {"file", "kind" ("configuration", "exchange" or "unknown"), "header",
// "records": [{"index", "offset", "size", "what"}], then "configuration" or "exchange", then
// "problems": [{"record", "offset", "message", "severity"}], "warnings" the same} (README,
// "quilinspect"). Problems are damage, warnings doubt (CProblemList).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "CProblemList.h"
#include "InspectJson.h"

class CInspector {
public:
    // The whole document for the bytes of a database file; `path` is only shown. `budget` bounds
    // what is decoded (see CProblemList).
    static Json Inspect(std::span<const uint8_t> file, const std::string& path,
                        CProblemList::Budget budget = {});

    // The problems of a document, one line each: "record R, offset O: message" (or "file,
    // offset O: ..." for the header and the record list).
    static std::vector<std::string> ProblemLines(const Json& document);
    // The warnings of a document the same way.
    static std::vector<std::string> WarningLines(const Json& document);

    // The problem lines of the database file at `path` (warnings are not listed); one line
    // saying why when it cannot be read.
    static std::vector<std::string> CheckFile(const std::string& path);

    // Reads a whole file; false with the reason (UTF-8) when it cannot.
    static bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

private:
    // The lines of the list `key` ("problems" or "warnings") of a document.
    static std::vector<std::string> Lines(const Json& document, const char* key);
};

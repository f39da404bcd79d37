// The readable report of a database: the document of CInspector written out as text, section
// by section, texts in UTF-8, action code disassembled, controls named by their index (#N) as
// the action code names them (the ids of the configuration do not reach the database).
#pragma once

#include <ostream>
#include <string>

#include "InspectJson.h"

class CTextReport {
public:
    // Writes the report to `out` line by line, so that no copy of the whole is held.
    static void Write(const Json& document, std::ostream& out);
    static std::string Write(const Json& document);

private:
    explicit CTextReport(std::ostream& out) : out_(out) {}

    void Line(int depth, const std::string& text);
    void Header(const Json& document);
    void Configuration(const Json& configuration);
    void MenuItem(int depth, const Json& item);
    void Objects(const char* title, const char* kind, const Json& objects);
    void Entries(int depth, const Json& entries);
    void Form(int depth, const Json& form);
    void Control(int depth, const Json& control);
    void Exchange(const Json& exchange);
    void Document(int depth, const Json& document);

    std::ostream& out_;
};

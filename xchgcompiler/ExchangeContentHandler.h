// Reads an exchange description (root `palm-client`) from the events of a streaming XML
// reader into a settings table: a small state machine over the open elements, with a stack of
// their names that decides which list a `field` belongs to. Text content is ignored.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "CExchangeLog.h"
#include "CSaxReader.h"
#include "CSettingsTable.h"

class ExchangeContentHandler : public CSaxReader::Handler {
public:
    // Where the reader stands: the innermost element that decides what may follow.
    enum ReaderState : int32_t {
        Start = 0,
        InRoot = 1,
        InExchange = 10,
        InPost = 11,
        InPostDocuments = 12,
        InPostTables = 13,
        InPostDocument = 14,
        InPostFiles = 15,
        InGet = 20,
        InGetTables = 22,
        InGetDbs = 23,
        InGetFiles = 24,
    };

    // Error classes of ReportError.
    static constexpr int kInternalError = 1;
    static constexpr int kValidationError = 10;

    // Element names are compared, stacked and reported cut to this many UTF-16 units.
    static constexpr size_t kMaxNameUnits = 999;

    // Fatal errors are printed on `console`.
    explicit ExchangeContentHandler(std::ostream& console);

    bool StartElement(std::string_view localName, CSaxReader::Attributes attributes) override;
    bool EndElement() override;

    // Puts "FILE:LINE: " in front of every error about an element (FILE as given), and keeps
    // each exchange's location in the table for the errors found when its records are built.
    // Off until called.
    void ShowLocations(std::string fileName);
    // "FILE:LINE: " of the current event with locations shown and the line known, otherwise
    // nothing.
    std::string Location() const;
    // The console the handler reports to, with its location setting.
    CExchangeLog& Log() { return log_; }

    const CSettingsTable& Table() const { return table_; }
    ReaderState State() const { return state_; }
    // True once a fatal error was printed; the parse was stopped then.
    bool Failed() const { return failed_; }

    // The value of the last attribute whose local name begins with `wanted` (only the first
    // wanted.size() bytes are compared), converted to Windows-1251; nothing when none matches.
    static std::optional<std::string> GetAttribute(CSaxReader::Attributes attributes,
                                                   std::string_view wanted);

    // A UTF-8 element name cut to kMaxNameUnits UTF-16 units (never inside a character).
    static std::string CutName(std::string_view name);

private:
    struct OpenElement {
        std::string name;
        ReaderState stateBefore;
    };

    // Prints the message of the class with `text`, marks the run failed and returns false
    // (which stops the parse).
    bool ReportError(int errorClass, std::string_view text);
    // Prints "Too much <element> tags. Maximum: <maximum>" (no line feed), marks the run
    // failed and returns false.
    bool ReportTooMany(std::string_view element, int maximum);
    // Whether the element is accepted; false after a fatal error was reported. One function
    // per reader state reads the elements that state allows.
    bool Accept(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptRoot(const std::string& name);
    bool AcceptExchange(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptDirection(const std::string& name);
    bool AcceptPostGroup(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptPostDocument(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptPostTable(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptPostFile(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptGetGroup(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptGetTable(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptGetDb(const std::string& name, CSaxReader::Attributes attributes);
    bool AcceptGetFile(const std::string& name, CSaxReader::Attributes attributes);
    // ReportError of a validation error about the element; ReportTooMany of a full list.
    bool Invalid(std::string_view name);
    bool TooMany(std::string_view name);
    // The `name` attribute of an entry element of a list, which must be named one of
    // `expected`; nothing, after the validation error was reported, when it is not or has no
    // `name`.
    std::optional<std::string> EntryName(const std::string& name,
                                         std::initializer_list<std::string_view> expected,
                                         CSaxReader::Attributes attributes);
    bool ReadField(const std::string& name, CSaxReader::Attributes attributes);

    CSettingsTable table_;
    std::deque<OpenElement> elements_;
    ReaderState state_ = Start;
    CExchangeLog log_;
    bool failed_ = false;
};

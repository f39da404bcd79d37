#include "CReadContext.h"

#include "CConverter.h"
#include "CLog.h"
#include "CStringsReader.h"
#include "ConsoleLine.h"

CReadContext::CReadContext(const CXMLDOM& document, CStringsReader& pool, CLog& log)
    : document_(document), pool_(pool), log_(log) {}

CReadContext::~CReadContext() = default;

void CReadContext::ShowLocations(std::string fileName) {
    locations_ = true;
    fileName_ = std::move(fileName);
}

bool CReadContext::LimitExceeded() const {
    return limitExceeded_ || pool_.Overflowed();
}

std::string CReadContext::Location(XmlNode node) const {
    if (!locations_ || node == nullptr) {
        return {};
    }
    return ConsoleLine::FormatLocation(fileName_, CXMLDOM::LineOf(node));
}

void CReadContext::Error(int code, std::string_view message, XmlNode node) {
    log_.Line(true, code, Location(node), message, nullptr);
}

void CReadContext::Error(int code, std::string_view message, std::string_view detail,
                         XmlNode node) {
    log_.Line(true, code, Location(node), message, &detail);
}

void CReadContext::Warning(int code, std::string_view message, XmlNode node) {
    log_.Line(false, code, Location(node), message, nullptr);
}

void CReadContext::Warning(int code, std::string_view message, std::string_view detail,
                           XmlNode node) {
    log_.Line(false, code, Location(node), message, &detail);
}

void CReadContext::TooLong(int code, std::string_view label, size_t limit, std::string_view text,
                           XmlNode node) {
    limitExceeded_ = true;
    Error(code, std::string(label) + " длиннее " + std::to_string(limit) + " байт:", Excerpt(text),
          node);
}

void CReadContext::TooMany(int code, std::string_view what, size_t limit, std::string_view detail,
                           XmlNode node) {
    limitExceeded_ = true;
    Error(code,
          "Слишком много " + std::string(what) + " (больше " + std::to_string(limit) + "):", detail,
          node);
}

void CReadContext::TooLarge(int code, std::string_view what, size_t limit, std::string_view subject,
                            XmlNode node) {
    limitExceeded_ = true;
    const std::string message = std::string(what) + " превышает " + std::to_string(limit) + " байт";
    if (subject.empty()) {
        Error(code, message, node);
    } else {
        Error(code, message + ":", subject, node);
    }
}

std::string CReadContext::Excerpt(std::string_view text) {
    constexpr size_t kShown = 64;
    if (text.size() <= kShown) {
        return std::string(text);
    }
    // The detail is Windows-1251 like the text it shows.
    return std::string(text.substr(0, kShown)) + "... (" + std::to_string(text.size()) +
           CConverter::ToNarrow(" байт)");
}

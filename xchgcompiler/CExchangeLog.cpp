#include "CExchangeLog.h"

#include <ostream>
#include <utility>

#include "ConsoleLine.h"

CExchangeLog::CExchangeLog(std::ostream& console) : console_(console) {}

void CExchangeLog::ShowLocations(std::string fileName) {
    locations_ = true;
    fileName_ = std::move(fileName);
}

std::string CExchangeLog::Location(long line) const {
    return locations_ ? ConsoleLine::FormatLocation(fileName_, line) : std::string{};
}

void CExchangeLog::Line(std::string_view location, std::string_view text) {
    console_ << location << text << '\n' << std::flush;
}

void CExchangeLog::OpenLine(std::string_view location, std::string_view text) {
    console_ << location << text << std::flush;
}

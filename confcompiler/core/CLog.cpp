#include "CLog.h"

#include <ostream>

#include "CConverter.h"
#include "ConsoleLine.h"

CLog::CLog(std::ostream& out) : out_(out) {}

CLog::~CLog() = default;

void CLog::Line(bool error, int code, std::string_view where, std::string_view message,
                const std::string_view* detail) {
    Put(where);
    out_ << (error ? "[ERROR " : "[WARNING ") << code << "] ";
    Put(message);
    if (detail != nullptr) {
        out_ << ' ';
        Put(CConverter::ToUtf8(*detail));
    }
    out_ << std::endl;
    if (observer_) {
        Message line{.error = error,
                     .code = code,
                     .where = std::string(where),
                     .text = ConsoleLine::Joined(message)};
        if (detail != nullptr) {
            line.text += ' ' + ConsoleLine::Joined(CConverter::ToUtf8(*detail));
        }
        observer_(line);
    }
}

void CLog::Put(std::string_view text) {
    if (ConsoleLine::HasBreak(text)) {
        out_ << ConsoleLine::Joined(text);
    } else {
        out_ << text;
    }
}

void CLog::Error(int code, std::string_view message) {
    Line(true, code, {}, message, nullptr);
}

void CLog::Warning(int code, std::string_view message) {
    Line(false, code, {}, message, nullptr);
}

void CLog::Error(int code, std::string_view message, std::string_view detail) {
    Line(true, code, {}, message, &detail);
}

void CLog::Warning(int code, std::string_view message, std::string_view detail) {
    Line(false, code, {}, message, &detail);
}

void CLog::Info(std::string_view message) {
    out_ << "[INFO] ";
    Put(message);
    out_ << std::endl;
}

void CLog::WideLine(std::string_view first, std::string_view second) {
    Put(first);
    Put(second);
    out_ << std::endl;
}

void CLog::BlankLine() {
    out_ << std::endl;
}

#include "CInspector.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CConfCompiler.h"
#include "CConfigurationInspector.h"
#include "CConverter.h"
#include "CExchangeInspector.h"
#include "CPdb.h"
#include "CPdbFile.h"
#include "CPlatform.h"
#include "CProblemList.h"
#include "CSettingsTable.h"
#include "PdbLayout.h"

Json CInspector::Inspect(std::span<const uint8_t> file, const std::string& path,
                         CProblemList::Budget budget) {
    CProblemList problems(budget);
    const CPdbFile pdb(file, problems);
    // file, kind, header, records, the content, problems, warnings
    Json document = ObjectWithRoom(7);
    document["file"] = ValidUtf8(path);
    document["kind"] = "unknown";
    document["header"] = pdb.HeaderJson();
    std::vector<std::string> what;
    Json content;
    if (pdb.HasHeader()) {
        const auto check = [&](const char* name, const char* kind) {
            if (pdb.Name() != name) {
                problems.Add(CProblemList::kFile, PdbHeader::kName.offset,
                             "the database name is \"" + CConverter::ToUtf8(pdb.Name()) +
                                 "\", not \"" + name + "\" as a " + kind + " database's");
            }
        };
        if (pdb.Type() == CPdb::kConfigurationType &&
            pdb.Creator() == CPdb::kConfigurationCreator) {
            document["kind"] = "configuration";
            check(CConfCompiler::kDatabaseName, "configuration");
            content = CConfigurationInspector(pdb, problems).Read(what);
        } else if (pdb.Type() == CSettingsTable::kDatabaseType &&
                   pdb.Creator() == CSettingsTable::kDatabaseCreator) {
            document["kind"] = "exchange";
            check(CSettingsTable::kDatabaseName, "exchange settings");
            content = CExchangeInspector(pdb, problems).Read(what);
        } else {
            problems.Add(CProblemList::kFile, PdbHeader::kType.offset,
                         "type " + CPdbFile::FourCharacters(pdb.Type()) + " and creator " +
                             CPdbFile::FourCharacters(pdb.Creator()) +
                             " are neither the configuration database's (" +
                             CPdbFile::FourCharacters(CPdb::kConfigurationType) + ", " +
                             CPdbFile::FourCharacters(CPdb::kConfigurationCreator) +
                             ") nor the exchange settings database's (" +
                             CPdbFile::FourCharacters(CSettingsTable::kDatabaseType) + ", " +
                             CPdbFile::FourCharacters(CSettingsTable::kDatabaseCreator) + ")");
        }
    }
    Json records = pdb.RecordsJson();
    for (size_t i = 0; i < records.size(); ++i) {
        records[i]["what"] = i < what.size() ? what[i] : std::string();
    }
    document["records"] = std::move(records);
    if (document["kind"] != "unknown") {
        document[document["kind"].get<std::string>()] = std::move(content);
    }
    document["problems"] = problems.ToJson();
    document["warnings"] = problems.WarningsJson();
    return document;
}

std::vector<std::string> CInspector::ProblemLines(const Json& document) {
    return Lines(document, "problems");
}

std::vector<std::string> CInspector::WarningLines(const Json& document) {
    return Lines(document, "warnings");
}

std::vector<std::string> CInspector::Lines(const Json& document, const char* key) {
    std::vector<std::string> lines;
    for (const Json& problem : At(document, key)) {
        const std::string where =
            problem["record"].is_null() ? "file" : "record " + problem["record"].dump();
        lines.push_back(where + ", offset " + problem["offset"].dump() + ": " +
                        problem["message"].get<std::string>());
    }
    return lines;
}

std::vector<std::string> CInspector::CheckFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFile(path, bytes, error)) {
        return {error};
    }
    return ProblemLines(Inspect(bytes, path));
}

bool CInspector::ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                          std::string& error) {
    std::error_code code;
    const std::filesystem::file_status status =
        std::filesystem::status(CPlatform::Path(path), code);
    if (!std::filesystem::exists(status)) {
        error = "cannot read " + path + ": no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = "cannot read " + path + ": not a regular file";
        return false;
    }
    std::ifstream in(CPlatform::Path(path), std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

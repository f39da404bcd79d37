// The exchange compile in memory: the streaming reader fills the settings table, which is
// dumped and turned into the database image. A crash, a sanitizer report, a leak or a slow
// input is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "CPdb.h"
#include "CSaxReader.h"
#include "CSettingsTable.h"
#include "ExchangeContentHandler.h"
#include "NullStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NullStream console;
    ExchangeContentHandler handler(console);
    const CSaxReader::Result result = CSaxReader::ParseMemory(
        std::string_view(reinterpret_cast<const char*>(data), size), handler);
    if (result.code != 0 || handler.Failed()) {
        return 0;
    }
    handler.Table().Dump(console);
    CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
             CSettingsTable::kDatabaseDate);
    if (handler.Table().BuildDatabase(pdb, console)) {
        pdb.Image();
    }
    return 0;
}

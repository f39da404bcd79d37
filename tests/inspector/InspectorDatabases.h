// The two example databases, compiled in memory, for the inspector's tests; and where a
// record starts in a database file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "CConfCompiler.h"
#include "CPdb.h"
#include "CSaxReader.h"
#include "CSettingsTable.h"
#include "ExchangeContentHandler.h"
#include "PdbLayout.h"

using Bytes = std::vector<uint8_t>;

inline std::string ReadExample(const std::string& name) {
    std::ifstream in(std::string(QUIL_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline const Bytes& ExampleConfiguration() {
    static const Bytes image = [] {
        std::ostringstream console;
        Bytes bytes;
        EXPECT_EQ(CConfCompiler(console).CompileMemory(ReadExample("configuration.xml"), bytes), 0);
        return bytes;
    }();
    return image;
}

inline const Bytes& ExampleExchange() {
    static const Bytes image = [] {
        std::ostringstream console;
        ExchangeContentHandler handler(console);
        EXPECT_EQ(CSaxReader::ParseMemory(ReadExample("exchange.xml"), handler).code, 0);
        CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
                 CSettingsTable::kDatabaseDate);
        pdb.SetName(CSettingsTable::kDatabaseName);
        EXPECT_TRUE(handler.Table().BuildDatabase(pdb, console));
        return pdb.Image();
    }();
    return image;
}

// The file offset of record `index`, from the record list.
inline size_t RecordStart(const Bytes& file, size_t index) {
    return ByteOrder::Load32(file.data() + PdbHeader::kSize + PdbRecordEntry::kSize * index +
                             PdbRecordEntry::kDataOffset.offset);
}

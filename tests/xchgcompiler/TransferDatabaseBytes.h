// Expected bytes of the exchange settings database.
#pragma once

#include "ExpectedBytes.h"

// The header of QL_PalmClientTransferDB with one entry per record size.
inline ExpectedBytes TransferHeader(std::initializer_list<size_t> recordSizes) {
    return ExpectedBytes::PdbHeader("QL_PalmClientTransferDB",
                                    {0x00, 0x0C, 0x30, 0x4B},  // 1261440000
                                    {0x41, 0x54, 0x41, 0x44},  // type
                                    {0x5F, 0x4E, 0x52, 0x54},  // creator
                                    recordSizes);
}

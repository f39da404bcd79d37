// The exchange settings database read back (CExchangeInspector) written as the exchange
// description that quilxdb compiles to the same bytes: one `exchange` per index entry, a
// `post` and a `get` element for the groups it has, a `url` only where the group's is not
// empty. A get table stores its path and name joined with "/"; the joined text is written
// as the table's name, which compiles to the same bytes.
#pragma once

#include "CXmlText.h"
#include "InspectJson.h"

class CExchangeDecompiler {
public:
    // `exchange` is the "exchange" member of the inspector's document.
    static void Write(const Json& exchange, CXmlText& xml);
};

// Generates a legal exchange description for quilxdb whose lists all stand near their limit:
// each exchange lists 250 documents, post tables, post files, get tables, get databases and
// get files, and its first document 250 send flags, head fields and table fields.
#pragma once

#include <string>

class CExchangeGenerator {
public:
    // Entries of every list, a few below the limit of 255.
    static constexpr int kListSize = 250;

    // A description of `exchanges` exchanges (at most 10), one element per line without
    // indentation. With a seed other than 0 the exchanges are small and varied instead: each
    // group there or not, with a URL or not, lists of up to five entries, flags, types and
    // paths picked from the seed.
    static std::string Generate(int exchanges, unsigned seed = 0);
};

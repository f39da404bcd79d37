// The analysis of an exchange description (root `palm-client`): the exchange compiler's own
// run in memory (the description read, the database built, nothing written), each of its
// error lines a finding on the line it names.
#pragma once

#include <vector>

#include "CAnalysis.h"
#include "CDocumentTree.h"

class CExchangeAnalysis {
public:
    // Adds the findings of the run and returns quilxdb's exit status for the description (0
    // when the database would be written, 1 otherwise).
    static int Run(const CDocumentTree& tree, std::vector<SFinding>& findings);
};

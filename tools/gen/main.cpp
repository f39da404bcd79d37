// quilgen: writes the large inputs that scripts/bench.sh measures the compilers on.
//
//   quilgen exchange|configuration full|half OUTPUT
//   quilgen configuration dense OUTPUT
//
// "full" is the large input, "half" the same kind of input with half as many exchanges (or
// objects of each kind). "dense" is a configuration dense in controls and expressions: one
// object of each kind whose form holds 520 controls, each with events, close to the record
// and pool limits. A line on the error stream tells what was written.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "CConfigurationGenerator.h"
#include "CExchangeGenerator.h"

namespace {

constexpr int kFullExchanges = 10;
constexpr int kFullObjects = 6;
// One object of each kind with one form of 520 controls, each with events: 1.16 MB, the
// string pool 85 % full and the largest section record at 61 %.
constexpr CConfigurationGenerator::Shape kDense = {1, 1, 520, true};

int Usage() {
    std::cerr << "Usage: quilgen exchange|configuration full|half OUTPUT\n"
                 "       quilgen configuration dense OUTPUT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return Usage();
    }
    const std::string_view kind = argv[1];
    const std::string_view size = argv[2];
    if ((kind != "exchange" && kind != "configuration") ||
        (size != "full" && size != "half" && (size != "dense" || kind != "configuration"))) {
        return Usage();
    }
    const bool half = size == "half";

    std::string text;
    std::string summary;
    if (kind == "exchange") {
        const int exchanges = half ? kFullExchanges / 2 : kFullExchanges;
        text = CExchangeGenerator::Generate(exchanges);
        summary = std::to_string(exchanges) + " exchanges";
    } else {
        const int objects = half ? kFullObjects / 2 : kFullObjects;
        const CConfigurationGenerator::Shape shape =
            size == "dense" ? kDense : CConfigurationGenerator::Shape{objects, 2, 50, false};
        CConfigurationGenerator generator(shape);
        text = generator.Generate();
        if (text.empty()) {
            std::cerr << "quilgen: " << generator.Error() << "\n";
            return 1;
        }
        summary = std::to_string(shape.objects) + " objects of each kind, " +
                  std::to_string(shape.formsPerObject) + " forms of " +
                  std::to_string(shape.controlsPerForm) + " controls each, string pool " +
                  std::to_string(generator.PoolBytes()) + " bytes, largest section record " +
                  std::to_string(generator.LargestRecord()) + " bytes";
    }

    std::ofstream out(argv[3], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "quilgen: cannot write " << argv[3] << "\n";
        return 1;
    }
    std::cerr << "quilgen: " << argv[3] << ": " << text.size() << " bytes, " << summary << "\n";
    return 0;
}

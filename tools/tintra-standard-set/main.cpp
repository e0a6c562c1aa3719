#include "StandardSet.h"

#include <iostream>

// Writes the built-in sound set at the path given: tintra-standard-set BUNDLE.tintraset
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tintra-standard-set BUNDLE.tintraset\n";
        return 2;
    }
    if (auto written = tintra::standardset::writeStandardSet(argv[1]); !written) {
        std::cerr << "tintra-standard-set: " << written.error().description() << '\n';
        return 1;
    }
    return 0;
}

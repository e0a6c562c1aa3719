#include "support/PropertyList.h"

#include <cstdio>
#include <cstdlib>
#include <span>

// Reads the bytes, writes what was read as XML and reads that again: the
// second read must succeed and write the same XML, or the writer and reader
// disagree about what a value means.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tintra;
    auto read = readPropertyList(std::span(data, size));
    if (!read) {
        if (read.error().description().empty())
            std::abort();
        return 0;
    }
    auto xml = writePropertyListXML(*read);
    if (!xml)
        return 0;
    auto again = readPropertyList(std::span(reinterpret_cast<const std::uint8_t*>(xml->data()), xml->size()));
    if (!again) {
        std::fprintf(stderr, "written XML does not read back: %s\n%s\n", again.error().description().c_str(), xml->c_str());
        std::abort();
    }
    auto xmlAgain = writePropertyListXML(*again);
    if (!xmlAgain || *xmlAgain != *xml) {
        std::fprintf(stderr, "XML changed on a second round trip:\n%s\n---\n%s\n", xml->c_str(),
                     xmlAgain ? xmlAgain->c_str() : "(unwritable)");
        std::abort();
    }
    return 0;
}

// Feeds arbitrary bytes to the projection catalogue reader and walks every
// table it builds.

#include "proj/ProjectionCatalogue.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    trekora::ProjectionCatalogue catalogue;
    catalogue.parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const QString& group : catalogue.groups())
        for (const QString& description : catalogue.descriptions(group))
            trekora::ProjectionCatalogue::parametersOf(
                catalogue.definitionLine(group, description));
    for (const QString& code : catalogue.codes())
        catalogue.findCode(code);
    return 0;
}

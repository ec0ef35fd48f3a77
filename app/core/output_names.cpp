#include "app/core/output_names.h"

#include "platform/rtl/files.h"

std::string XmlFileNameFor(const std::string& OutputFileName) {
    return ChangeFileExt(OutputFileName, ".xml");
}

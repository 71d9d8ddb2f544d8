#include "pipeline/pipelinedocument.h"

#include "numtext/completenumber.h"

namespace dorvent {

std::optional<double> readCellNumber(std::string_view text)
{
    const std::optional<double> value = readCompleteNumber(text);
    return value && isDocumentNumber(*value) ? value : std::nullopt;
}

std::string notNumberReason(std::string_view text)
{
    const std::string quoted = "“" + std::string(text) + "”";
    return quoted + (readCompleteNumber(text) ? "超出范围" : "不是数值");
}

}  // namespace dorvent

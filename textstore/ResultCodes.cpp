// Message texts of the result codes.
#include "ResultCodes.h"

std::string ResultCodeMessage(int Code) {
    switch (Code) {
    case erOutOfMemory:
        return "insufficient memory for requested operation";
    case erRegionTooLarge:
        return "Region is too large to copy to clipboard (> 64K)";
    case erTooManyParas:
        return "Current operation will exceed the maximum number of allowed paragraphs";
    case erCannotJoin:
        return "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size";
    case erTextTooLarge:
        return "Current operation will exceed the maximum editor text size";
    case erParaTooLong:
        return "Current operation will exceed the maximum paragraph size";
    default:
        return "Unknown Error condition";
    }
}

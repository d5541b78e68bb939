#include "plugin/host_resources.h"

std::u16string MessageText(const char* key) {
    ProLine text = {};
    ProMessageToBuffer(text, kMessageFile, key);
    text[PRO_LINE_SIZE - 1] = 0;  // a host that filled the line to its end still ends here
    return std::u16string(text);
}

// Host memory and text: host arrays, wide strings and string arrays that the host hands out and
// the plug-in gives back, and the host's narrow/wide text conversion. A free of something the
// host never handed out is refused and noted, never passed on to the heap.
#include <cstring>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"
#include "simhost/wide_text.h"

namespace sim {

ProError ProWcharSizeVerify(size_t wchar_size) {
    return wchar_size == sizeof(ProWchar) ? PRO_TK_NO_ERROR : PRO_TK_GENERAL_ERROR;
}

ProError ProArrayAlloc(int count, int element_size, int /*reallocation_step*/, ProArray* array) {
    if (!array) return PRO_TK_BAD_INPUTS;
    void* block = NewHostArray(count, element_size);
    if (!block) {
        Session().Problem("ProArrayAlloc", "cannot allocate " + std::to_string(count) + " x " +
                                               std::to_string(element_size) + " bytes");
        return PRO_TK_BAD_INPUTS;
    }
    *array = block;
    return PRO_TK_NO_ERROR;
}

ProError ProArraySizeGet(ProArray array, int* size) {
    const int count = HostArraySize(array);
    if (count < 0 || !size) {
        Session().Problem("ProArraySizeGet", "not a host array");
        return PRO_TK_BAD_INPUTS;
    }
    *size = count;
    return PRO_TK_NO_ERROR;
}

ProError ProArrayFree(ProArray* array) {
    if (!array || !*array) return PRO_TK_BAD_INPUTS;
    if (!FreeHostArray(*array)) {
        Session().Problem("ProArrayFree", "not a live host array (freed twice?)");
        return PRO_TK_BAD_INPUTS;
    }
    *array = nullptr;
    return PRO_TK_NO_ERROR;
}

ProError ProWstringFree(ProWchar* text) {
    if (!text) return PRO_TK_BAD_INPUTS;
    if (!FreeHostWstring(text)) {
        Session().Problem("ProWstringFree", "not a live host wide string (freed twice?)");
        return PRO_TK_BAD_INPUTS;
    }
    return PRO_TK_NO_ERROR;
}

// A string array is a host array of pointers to host arrays of chars (see
// NewHostStringArray); every text goes with it.
ProError ProStringarrayFree(char** texts, int count) {
    if (!texts) return PRO_TK_BAD_INPUTS;
    const int size = HostArraySize(texts);
    if (size < 0 || HostArrayElementSize(texts) != static_cast<int>(sizeof(char*))) {
        Session().Problem("ProStringarrayFree", "not a live host string array (freed twice?)");
        return PRO_TK_BAD_INPUTS;
    }
    if (count != size)
        Session().Problem("ProStringarrayFree", "given " + std::to_string(count) +
                                                    " texts for an array of " + std::to_string(size));
    for (int i = 0; i < size; ++i)
        if (texts[i] && !FreeHostArray(texts[i]))
            Session().Problem("ProStringarrayFree", "a text of the array is no host text");
    FreeHostArray(texts);
    return PRO_TK_NO_ERROR;
}

char* ProWstringToString(char* narrow, const ProWchar* wide) {
    if (!narrow) return nullptr;
    const std::string text = WideToAnsi(WideFromBuffer(wide, static_cast<size_t>(-1)));
    std::memcpy(narrow, text.c_str(), text.size() + 1);
    return narrow;
}

ProWchar* ProStringToWstring(ProWchar* wide, const char* narrow) {
    if (!wide) return nullptr;
    const std::u16string text = AnsiToWide(narrow ? narrow : "");
    std::memcpy(wide, text.c_str(), (text.size() + 1) * sizeof(ProWchar));
    return wide;
}

void RegisterMemoryFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProWcharSizeVerify);
    SIM_ADD_FUNCTION(table, ProArrayAlloc);
    SIM_ADD_FUNCTION(table, ProArraySizeGet);
    SIM_ADD_FUNCTION(table, ProArrayFree);
    SIM_ADD_FUNCTION(table, ProWstringFree);
    SIM_ADD_FUNCTION(table, ProStringarrayFree);
    SIM_ADD_FUNCTION(table, ProWstringToString);
    SIM_ADD_FUNCTION(table, ProStringToWstring);
}

}  // namespace sim

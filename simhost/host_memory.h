// Host memory handed to the plug-in: host arrays (ProArray) and wide strings. Every block is
// counted from allocation to free, so the simulated host can report at exit what the plug-in
// never gave back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

// A host array of count elements of elementSize bytes, zero-filled; ProArraySizeGet reads its
// count, ProArrayFree frees it.
void* NewHostArray(int count, int elementSize);
// Grows or shrinks a host array (ProArrayObjectAdd and the like); the array may move.
void* ResizeHostArray(void* array, int count);
int HostArraySize(const void* array);          // -1 when array is no live host array
int HostArrayElementSize(const void* array);   // -1 when array is no live host array
bool FreeHostArray(void* array);               // false when array is no live host array
bool IsHostArray(const void* array);

// A wide string owned by the host, freed with ProWstringFree.
char16_t* NewHostWstring(const std::u16string& text);
bool FreeHostWstring(char16_t* text);

// A host string array (ProUIRadiogroupSelectednamesGet): a host array of char pointers, each
// text a host array of chars with its terminator; released whole with ProStringarrayFree.
char** NewHostStringArray(const std::vector<std::string>& texts);

// Blocks handed out and not freed yet (arrays and wide strings).
size_t LiveHostBlocks();
// One line per live block ("array of 3 x 24 bytes", "wide string \"abc\""), sorted, for the
// report at exit.
std::vector<std::string> DescribeLiveHostBlocks();
// Frees every live block and forgets it (end of a session, or between tests).
void FreeAllHostBlocks();

}  // namespace sim

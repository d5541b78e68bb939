// Host memory: every block handed to the plug-in is kept in a registry from allocation to free,
// so a free of something the host never handed out is refused instead of corrupting the heap,
// and what is still live at the end can be reported.
#include "simhost/host_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

namespace sim {
namespace {

enum class BlockKind { Array, Wstring };

struct Block {
    BlockKind kind;
    int count;        // elements (arrays) or characters without the terminator (strings)
    int elementSize;  // bytes per element
};

std::map<const void*, Block>& Registry() {
    static std::map<const void*, Block> registry;
    return registry;
}

// Bytes of count elements, or 0 when the request is negative or does not fit an int-sized
// allocation; never less than 1 so that every live block has an address of its own.
size_t BlockBytes(int count, int elementSize) {
    if (count < 0 || elementSize <= 0) return 0;
    const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(elementSize);
    if (count != 0 && bytes / static_cast<size_t>(count) != static_cast<size_t>(elementSize))
        return 0;
    if (bytes > static_cast<size_t>(std::numeric_limits<int>::max())) return 0;
    return bytes == 0 ? 1 : bytes;
}

const Block* FindBlock(const void* address, BlockKind kind) {
    auto found = Registry().find(address);
    if (found == Registry().end() || found->second.kind != kind) return nullptr;
    return &found->second;
}

}  // namespace

void* NewHostArray(int count, int elementSize) {
    const size_t bytes = BlockBytes(count, elementSize);
    if (bytes == 0) return nullptr;
    // Freed again when the registry cannot take it: a test may make that allocation fail.
    std::unique_ptr<void, void (*)(void*)> array(std::calloc(1, bytes), std::free);
    if (!array) return nullptr;
    Registry()[array.get()] = Block{BlockKind::Array, count, elementSize};
    return array.release();
}

void* ResizeHostArray(void* array, int count) {
    const Block* block = FindBlock(array, BlockKind::Array);
    if (!block) return nullptr;
    const int elementSize = block->elementSize;
    const int oldCount = block->count;
    const size_t bytes = BlockBytes(count, elementSize);
    if (bytes == 0) return nullptr;
    void* moved = std::realloc(array, bytes);
    if (!moved) return nullptr;
    Registry().erase(array);
    if (count > oldCount) {
        std::memset(static_cast<char*>(moved) + static_cast<size_t>(oldCount) * elementSize, 0,
                    static_cast<size_t>(count - oldCount) * elementSize);
    }
    Registry()[moved] = Block{BlockKind::Array, count, elementSize};
    return moved;
}

int HostArraySize(const void* array) {
    const Block* block = FindBlock(array, BlockKind::Array);
    return block ? block->count : -1;
}

int HostArrayElementSize(const void* array) {
    const Block* block = FindBlock(array, BlockKind::Array);
    return block ? block->elementSize : -1;
}

bool FreeHostArray(void* array) {
    if (!FindBlock(array, BlockKind::Array)) return false;
    Registry().erase(array);
    std::free(array);
    return true;
}

bool IsHostArray(const void* array) { return FindBlock(array, BlockKind::Array) != nullptr; }

char16_t* NewHostWstring(const std::u16string& text) {
    if (text.size() >= static_cast<size_t>(std::numeric_limits<int>::max() / 2)) return nullptr;
    const int length = static_cast<int>(text.size());
    auto* copy = static_cast<char16_t*>(std::calloc(static_cast<size_t>(length) + 1, sizeof(char16_t)));
    if (!copy) return nullptr;
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    Registry()[copy] = Block{BlockKind::Wstring, length, static_cast<int>(sizeof(char16_t))};
    return copy;
}

bool FreeHostWstring(char16_t* text) {
    if (!FindBlock(text, BlockKind::Wstring)) return false;
    Registry().erase(text);
    std::free(text);
    return true;
}

char** NewHostStringArray(const std::vector<std::string>& texts) {
    auto** array = static_cast<char**>(NewHostArray(static_cast<int>(texts.size()), sizeof(char*)));
    if (!array) return nullptr;
    for (size_t i = 0; i < texts.size(); ++i) {
        auto* text = static_cast<char*>(NewHostArray(static_cast<int>(texts[i].size()) + 1, 1));
        if (text) std::memcpy(text, texts[i].c_str(), texts[i].size() + 1);
        array[i] = text;
    }
    return array;
}

size_t LiveHostBlocks() { return Registry().size(); }

std::vector<std::string> DescribeLiveHostBlocks() {
    std::vector<std::string> descriptions;
    for (const auto& entry : Registry()) {
        const Block& block = entry.second;
        if (block.kind == BlockKind::Wstring) {
            const auto* text = static_cast<const char16_t*>(entry.first);
            std::string narrow;
            for (int i = 0; i < block.count && i < 40; ++i)
                narrow += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
            descriptions.push_back("wide string \"" + narrow + "\"");
        } else {
            descriptions.push_back("array of " + std::to_string(block.count) + " x " +
                                   std::to_string(block.elementSize) + " bytes");
        }
    }
    std::sort(descriptions.begin(), descriptions.end());
    return descriptions;
}

void FreeAllHostBlocks() {
    for (const auto& entry : Registry()) std::free(const_cast<void*>(entry.first));
    Registry().clear();
}

}  // namespace sim

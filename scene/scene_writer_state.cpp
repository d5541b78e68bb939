#include "scene/scene_writer_state.h"

#include <clocale>
#include <cstring>

#include "scene/shader_buffer.h"

SceneWriterState::SceneWriterState(FILE* outputFile, bool binary)
    : savedIndents(), savedMemoryModes(), savedStyles(), accumulator()
{
    InitWriter(outputFile, binary);
}

void SceneWriterState::InitWriter(FILE* outputFile, bool binary)
{
    file = outputFile;

    binaryArrays = binary ? 1 : 0;
    outputMode = 1;
    indent = 0;
    memoryMode = 0;
    openBlock = TopBlock::None;
    paramStyle = 0;
    inGeometryDefinition = 0;
    currentBuffer = nullptr;

    // Chosen start values of the fields that the operations set before balanced use: a fresh
    // object's flags, no text elements, and the float kind.
    objectFlags = 0xF00;
    arrayCount = 0;
    pendingKind = BinaryKindFloat;

    shaderBuffers.reset(new WordStack());
    PushPointer<ShaderBuffer>(*shaderBuffers, nullptr);
    savedBuffers.reset(new WordStack());

    formatBuffer.reset(new char[WorkingBufferSize]);
    indentBuffer.reset(new char[WorkingBufferSize]);

    // Numbers are written with a decimal point whatever the host process's locale says; the
    // locale in force is put back when the writer goes. Switched last, once nothing else can
    // fail: a writer whose making fails has no destructor to put it back.
    if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) {
        const std::size_t size = std::strlen(current) + 1;
        savedNumericLocale.reset(new char[size]);
        std::memcpy(savedNumericLocale.get(), current, size);
    }
    std::setlocale(LC_NUMERIC, "C");
}

bool SceneWriterState::CloseFile()
{
    if (file == nullptr)
        return false;
    const bool written = std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return written && closed;
}

SceneWriterState::~SceneWriterState()
{
    formatBuffer.reset();
    indentBuffer.reset();
    CloseFile();
    if (savedNumericLocale) {
        std::setlocale(LC_NUMERIC, savedNumericLocale.get());
        savedNumericLocale.reset();
    }
    savedBuffers.reset();
    if (shaderBuffers) {
        // The null bottom entry ends the registry: popping an empty stack answers it again.
        while (ShaderBuffer* buffer = PopPointer<ShaderBuffer>(*shaderBuffers))
            FreeShaderBuffer(buffer);
        shaderBuffers.reset();
    }
    accumulator.data.reset();
    // The stacks savedStyles, savedMemoryModes and savedIndents go with the members.
}

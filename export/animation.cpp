#include "export/animation.h"

#include <cstdio>
#include <istream>
#include <streambuf>

#include "export/component_path.h"
#include "export/frame_file.h"
#include "plugin/plugin_application.h"

namespace {

// A C file as a read-only stream buffer, for the frame-file reader.
class FileReadBuffer : public std::streambuf {
public:
    explicit FileReadBuffer(FILE* file) : file_(file) {}

protected:
    int_type underflow() override {
        const std::size_t got = std::fread(chunk_, 1, sizeof chunk_, file_);
        if (got == 0) return traits_type::eof();
        setg(chunk_, chunk_, chunk_ + got);
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    FILE* file_;
    char chunk_[16 * 1024];
};

// A time in milliseconds as the int32 of a timestamp, truncated toward zero; a value beyond the
// int32 range (or a NaN) would make the conversion undefined, so it is held at the range's ends.
int32_t Milliseconds(double time) {
    if (!(time > -2147483648.0)) return time < 0 ? INT32_MIN : 0;
    if (!(time < 2147483648.0)) return INT32_MAX;
    return static_cast<int32_t>(time);
}

void WriteMatrices(trvScene_api& scene, const std::vector<FramePlacement>& placements,
                   const ProMatrix currentInverse) {
    scene.BeginArray("matrices");
    for (const FramePlacement& placement : placements) {
        ProMatrix relative;
        MultiplyMatrix(placement.matrix, relative, currentInverse);
        scene.AddArrayElement(SceneValueType::Matrix, &relative[0][0]);
    }
    scene.EndArray();
}

void WriteTimestamps(trvScene_api& scene, int32_t frameCount, float frameInterval) {
    // Rounded to single precision: exactly 40 ms at 25 frames per second.
    const float step = static_cast<float>(static_cast<double>(frameInterval) * 1000.0);
    scene.BeginArray("timestamps");
    for (int32_t i = 0; i < frameCount; ++i) {
        const int32_t time = Milliseconds(static_cast<double>(static_cast<float>(i)) * step);
        scene.AddArrayElement(SceneValueType::Int, &time);
    }
    scene.EndArray();
}

}  // namespace

void WriteAnimationBlock(trvScene_api& scene, const char* name,
                         const std::vector<FramePlacement>& placements,
                         const ProMatrix currentInverse, int32_t frameCount,
                         int32_t framesPerSecond) {
    if (frameCount < 0) frameCount = 0;
    if (frameCount > kMaxFrameCount) frameCount = kMaxFrameCount;
    // The interval and the duration are single-precision values, as the renderer reads them.
    const float frameInterval = static_cast<float>(1.0 / framesPerSecond);
    const float duration =
        static_cast<float>(static_cast<double>(static_cast<float>(frameCount)) * frameInterval);
    const int32_t startTime = 0;

    scene.BeginAnimation("fbx_animation", name);
    scene.SetParameter("start_time", SceneValueType::Int, &startTime);
    scene.SetParameter("duration", SceneValueType::Float, &duration);
    scene.SetParameter("folder", SceneValueType::String, "Creo animation");
    WriteMatrices(scene, placements, currentInverse);
    WriteTimestamps(scene, frameCount, frameInterval);
    scene.EndAnimation();
}

void PluginApplication::ReadFrameFile(FILE* file) {
    // Read into a map of its own and taken over only once read whole: a read that fails on the
    // way (memory ran out) leaves the frames of the last whole read in force. The frames and
    // their count are those of this file alone, none without a file.
    AnimationFrames frames;
    int32_t count = 0;
    if (file != nullptr) {
        std::fseek(file, 0, SEEK_SET);
        FileReadBuffer buffer(file);
        std::istream in(&buffer);
        frames = ReadFrames(in, count);
    }
    animationFrames.swap(frames);
    frameCount = count;
}

void PluginApplication::WriteComponentAnimation(ProAsmcomppath fullPath, ProAsmcomppath localPath,
                                                const char* name) {
    const auto frames = animationFrames.find(fullPath);
    trvScene_api* scene = sceneBuilder.GetSceneApi();
    if (frames == animationFrames.end() || scene == nullptr) return;

    // The placements are written relative to the component's placement now. When the host gives
    // none, or one without an inverse, they go out as the file has them.
    ProMatrix current;
    ProMatrix currentInverse = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    if (ProAsmcomppathTrfGet(&localPath, PRO_B_TRUE, current) == PRO_TK_NO_ERROR)
        InvertTransform(&current, currentInverse);
    WriteAnimationBlock(*scene, name != nullptr ? name : "", frames->second, currentInverse,
                        frameCount, FramesPerSecond);
}

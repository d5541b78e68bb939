// A stand-in live-link library for the loader's tests, built in several variants (see
// link_tests.cmake): FAKE_LIBRARY_TAG tells the variants apart, FAKE_NO_ENTRY leaves out the
// entry point and FAKE_NULL_FACTORY makes it answer null. Its instance lister answers a text
// that tells which variant answered and how often it was used:
// "tag=<tag> initialized=<calls of the entry point> scenes=<scene objects of this factory>".
// Its export "fake_live_link_ends" tells how its factories ended, for a test that keeps the
// library loaded past the loader's unload: "destroyed=<factories destroyed> freed=<factories
// whose memory was freed> flags=<the flags of the last destruction through place 0>".
#include <cstdio>
#include <memory>
#include <vector>

#include "link/live_link_interface.h"
#include "scene/scene_api_file.h"

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

int initializeCalls = 0;
int factoriesDestroyed = 0;
int factoriesFreed = 0;
unsigned int lastDestroyFlags = 0;

class FakeLister final : public InstanceLister {
public:
    const char* GetInstancesText() override { return text_; }
    bool Reserved2() override { return false; }
    bool IsOpen() override { return false; }
    void Close() override {}

    char text_[64] = "";
};

class FakeFactory final : public LiveLinkFactory {
public:
    ~FakeFactory() { ++factoriesDestroyed; }
    static void operator delete(void* memory)
    {
        ++factoriesFreed;
        ::operator delete(memory);
    }

    void DeletingDestructor(unsigned int flags) override
    {
        lastDestroyFlags = flags;
        DestroyImplementation(this, flags);
    }

    // Writers without a file: a complete scene interface that writes nothing.
    trvScene_api* CreateSceneApi() override
    {
        scenes_.push_back(std::make_unique<trvScene_api_file>(nullptr, false));
        return scenes_.back().get();
    }

    InstanceLister* GetInstanceLister() override
    {
        // snprintf rather than std::to_string, whose inline tables would be unique symbols
        // that keep the library from ever being unloaded.
        std::snprintf(lister_.text_, sizeof lister_.text_, "tag=%d initialized=%d scenes=%zu",
                      FAKE_LIBRARY_TAG, initializeCalls, scenes_.size());
        return &lister_;
    }

private:
    std::vector<std::unique_ptr<trvScene_api_file>> scenes_;
    FakeLister lister_;
};

}  // namespace

#ifndef FAKE_NO_ENTRY
FAKE_EXPORT LiveLinkFactory* vistrel_live_initialize()
{
    ++initializeCalls;
#ifdef FAKE_NULL_FACTORY
    return nullptr;
#else
    return new FakeFactory;
#endif
}
#endif

FAKE_EXPORT const char* fake_live_link_ends()
{
    static char text[64];
    std::snprintf(text, sizeof text, "destroyed=%d freed=%d flags=%u", factoriesDestroyed,
                  factoriesFreed, lastDestroyFlags);
    return text;
}

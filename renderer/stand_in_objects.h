// What the stand-in live-link library's factory hands out: its instance lister, and scene
// objects that live until the factory goes, as the plug-in never deletes one.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/live_link_interface.h"
#include "renderer/instance_directory.h"

// Lists the stand-in renderers announced in the instance folder, afresh at each call.
class StandInInstanceLister final : public InstanceLister {
public:
    const char* GetInstancesText() override
    {
        try {
            text_ = ListInstances(InstanceFolder());
        } catch (...) {
            return nullptr;  // nothing may escape into the host
        }
        open_ = true;
        return text_.c_str();
    }
    bool Reserved2() override { return false; }
    // Open from the first listing until Close.
    bool IsOpen() override { return open_; }
    void Close() override { open_ = false; }

private:
    std::string text_;
    bool open_ = false;
};

// The scene objects a factory made, Scene being the object as the plug-in receives it.
template <typename Scene>
class SceneObjects {
public:
    // A new scene object made from arguments, or null when it cannot be made.
    template <typename... Arguments>
    Scene* Add(Arguments&&... arguments) noexcept
    {
        try {
            objects_.push_back(std::make_unique<Scene>(std::forward<Arguments>(arguments)...));
            return objects_.back().get();
        } catch (...) {
            return nullptr;
        }
    }

private:
    std::vector<std::unique_ptr<Scene>> objects_;
};

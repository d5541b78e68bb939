// The host's commands as the plug-in registered them (ProCmdActionAdd, ProCmdDesignate,
// ProCmdIconSet): names, actions, message-file keys and icons, numbered from 1.
#pragma once

#include <string>
#include <vector>

#include "toolkit/pro_toolkit.h"

namespace sim {

struct HostCommand {
    uiCmdCmdId id = 0;
    std::string name;
    uiCmdCmdActFn action = nullptr;
    uiCmdAccessFn access = nullptr;
    int priority = 0;
    bool nonActiveWindow = false;
    bool accessoryWindow = false;
    bool designated = false;
    std::string labelKey, helpKey, description, messageFile;
    std::string icon;                       // the current icon; empty until one is set
    std::vector<std::string> iconHistory;   // every icon set, in order
};

class CommandRegistry {
public:
    // Adds a command and answers its new identifier, or 0 when a command of that name exists
    // already (the host refuses a second registration) or the name is empty.
    uiCmdCmdId Add(const std::string& name, uiCmdCmdActFn action, uiCmdAccessFn access,
                   int priority, bool nonActiveWindow, bool accessoryWindow);
    HostCommand* Find(uiCmdCmdId id);
    HostCommand* Find(const std::string& name);
    const std::vector<HostCommand>& All() const { return commands_; }
    void Clear() { commands_.clear(); }

private:
    std::vector<HostCommand> commands_;
};

}  // namespace sim

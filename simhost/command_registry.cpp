#include "simhost/command_registry.h"

namespace sim {

uiCmdCmdId CommandRegistry::Add(const std::string& name, uiCmdCmdActFn action,
                                uiCmdAccessFn access, int priority, bool nonActiveWindow,
                                bool accessoryWindow) {
    if (name.empty() || Find(name)) return 0;
    HostCommand command;
    command.id = static_cast<uiCmdCmdId>(commands_.size()) + 1;
    command.name = name;
    command.action = action;
    command.access = access;
    command.priority = priority;
    command.nonActiveWindow = nonActiveWindow;
    command.accessoryWindow = accessoryWindow;
    commands_.push_back(command);
    return command.id;
}

HostCommand* CommandRegistry::Find(uiCmdCmdId id) {
    if (id < 1 || static_cast<size_t>(id) > commands_.size()) return nullptr;
    return &commands_[static_cast<size_t>(id) - 1];
}

HostCommand* CommandRegistry::Find(const std::string& name) {
    for (HostCommand& command : commands_)
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace sim

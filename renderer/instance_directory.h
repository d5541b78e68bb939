// How the running stand-in renderers are found: each one announces itself by a small file in
// one folder (VISTREL_RENDERER_INSTANCES, or "vistrel_renderer_instances" in the temporary
// folder) and withdraws it when it ends; the live-link library's instance lister reads the
// folder. A file names the renderer's process, so the file of a renderer that died without
// withdrawing it is passed over.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

std::filesystem::path InstanceFolder();

// The instance-list entry of one renderer:
// "<vistrel_instance><version_major>5</version_major><livelink_port>4000</livelink_port></vistrel_instance>".
std::string InstanceEntry(int majorVersion, int port);

// Writes the announcement of this process for port, whole or not at all. False when the
// folder cannot be written.
bool AnnounceInstance(const std::filesystem::path& folder, int majorVersion, int port);
void WithdrawInstance(const std::filesystem::path& folder, int port);

// The instance list of the renderers announced in folder that still run, ordered by port:
// "<vistrel_instances>\n", one entry and a line feed per renderer, "</vistrel_instances>\n".
// Files that do not have the form that AnnounceInstance writes are passed over.
std::string ListInstances(const std::filesystem::path& folder);

// The id of this process, and whether a process with the id runs: one that has ended but is not
// collected by its parent yet (a renderer killed while its host had not reaped it) does not.
std::uint32_t CurrentProcessId();
bool IsProcessRunning(std::uint32_t processId);

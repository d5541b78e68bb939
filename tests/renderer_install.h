// Test support: the stand-in renderer installed as its installer leaves it, in a fresh folder
// below the temporary folder, for the length of a test: the executable and its live-link
// library copied from the build into "Vistrel 5", the renderer's environment (the folder where
// it lists itself, the folder where it stores each session as a file, how long it waits idle),
// and on request the registry that names the installation and a range of 20 free-looking ports.
// Everything goes at the end; a renderer still running may keep its files on Windows.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ScopedEnvironment;
class ScopedRegistry;

class RendererInstall {
public:
    // idleMs: how long a started renderer waits for a session before it ends by itself.
    explicit RendererInstall(const std::string& idleMs);
    ~RendererInstall();

    RendererInstall(const RendererInstall&) = delete;
    RendererInstall& operator=(const RendererInstall&) = delete;

    // Writes the registry of the installation; without the executable's path when asked.
    void Register(bool withExecutable = true);
    // Sets a variable of the renderer's environment until the end.
    void SetVariable(const std::string& name, const std::string& value);

    // Starts the renderer as the plug-in does: by path, no command line, our environment. A
    // test failure when it does not start.
    void StartRenderer() const;

    // The file the renderer stores the number-th (from 1) session on port in.
    std::filesystem::path SessionFile(int port, int number) const;
    // Whether the installed live-link library is loaded in this process.
    bool LibraryIsLoaded() const;

    // The folder that holds the installation, the sessions and the instance list.
    const std::filesystem::path& Root() const { return root_; }
    // The first port of the registry's range; the range holds 20.
    int FirstPort() const { return firstPort_; }

private:
    std::filesystem::path root_;
    std::filesystem::path install_;
    std::filesystem::path output_;
    int firstPort_ = 0;
    std::vector<std::unique_ptr<ScopedEnvironment>> variables_;
    std::unique_ptr<ScopedRegistry> registry_;
};

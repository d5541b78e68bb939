// The stand-in renderer, started by path with no arguments as the plug-in starts the real one.
#include "renderer/loopback_socket.h"
#include "renderer/renderer_config.h"
#include "renderer/renderer_server.h"

int main()
{
    SocketLibrary sockets;
    return RunRenderer(ReadRendererConfig());
}

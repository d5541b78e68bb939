// The renderer's live-link port range, as its installation records it for the current user:
// the numbers "LiveLinkPort" and "LiveLinkMaxPort" of HKEY_CURRENT_USER "SOFTWARE\Tarvex\<v>",
// where <v> is the machine's "SOFTWARE\Tarvex" value "VistrelVersion", or "Vistrel 4" without it.
#pragma once

// Answers 0 when both values were read, -1 when the port was read and the maximum is missing,
// -2 when the port is missing, -3 when the user's key cannot be opened. Each out-parameter is
// written only when its value was read (a null one is left alone), so callers preset them.
int ReadLiveLinkPortRange(int* port, int* maxPort);

// Keeps the library defined while its folder has no sources of its own yet.

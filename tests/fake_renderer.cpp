// A renderer executable that only notes that it was started: it appends the line "started" to
// the file that VISTREL_FAKE_RENDERER_LOG names, and ends.
#include <cstdio>
#include <cstdlib>

int main()
{
    const char* log = std::getenv("VISTREL_FAKE_RENDERER_LOG");
    if (log == nullptr || *log == '\0') return 1;
    std::FILE* file = std::fopen(log, "ab");
    if (file == nullptr) return 1;
    std::fputs("started\n", file);
    return std::fclose(file) == 0 ? 0 : 1;
}

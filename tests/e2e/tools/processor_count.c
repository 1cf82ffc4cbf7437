/* Makes a program on this machine see as many processors as PLIX_PROCESSORS
 * says. Wine takes its processor count from sysconf at start, so a Wine
 * program started with LD_PRELOAD naming this library and PLIX_PROCESSORS=64
 * reports 64 processors through GetSystemInfo. Every other sysconf name, and
 * an unset or unusable count, goes to the C library's own sysconf. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

static long requestedProcessors(void)
{
    const char* text = getenv("PLIX_PROCESSORS");
    if (text == NULL)
        return 0;
    char* end = NULL;
    long count = strtol(text, &end, 10);
    return (end != text && *end == '\0' && count > 0) ? count : 0;
}

long sysconf(int name)
{
    static long (*librarySysconf)(int) = NULL;
    if (librarySysconf == NULL)
        librarySysconf = (long (*)(int))dlsym(RTLD_NEXT, "sysconf");
    long processors = requestedProcessors();
    if (processors > 0 && (name == _SC_NPROCESSORS_ONLN || name == _SC_NPROCESSORS_CONF))
        return processors;
    return librarySysconf(name);
}

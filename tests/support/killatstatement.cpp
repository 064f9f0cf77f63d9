// Preloaded (LD_PRELOAD) into a program that a test wants to end at a database statement of
// its choice, as a kill -9 would at that moment: every sqlite3_step passes here on its way to
// the library, and statement TQM_KILL_AT_STATEMENT (counted from 1) raises SIGKILL. With
// TQM_STATEMENT_COUNT_FILE set, the number of statements run is written there at exit, so the
// test can choose its kill points among them.

#include <dlfcn.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

struct sqlite3_stmt;

namespace {
long statements = 0;

long killAt()
{
    static const long at = [] {
        const char *text = std::getenv("TQM_KILL_AT_STATEMENT");
        return text ? std::atol(text) : 0L;
    }();
    return at;
}

__attribute__((destructor)) void writeCount()
{
    const char *path = std::getenv("TQM_STATEMENT_COUNT_FILE");
    if (!path)
        return;
    if (FILE *file = std::fopen(path, "w")) {
        std::fprintf(file, "%ld\n", statements);
        std::fclose(file);
    }
}
} // namespace

extern "C" int sqlite3_step(sqlite3_stmt *statement)
{
    // The program links the library, so it is loaded by the time this is called.
    static const auto real = reinterpret_cast<int (*)(sqlite3_stmt *)>(
        dlsym(dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD), "sqlite3_step"));
    if (++statements == killAt())
        std::raise(SIGKILL);
    return real(statement);
}

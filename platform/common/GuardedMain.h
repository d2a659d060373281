#pragma once
// A tool's main runs its body through runGuarded, so that nothing the body throws (a
// failed allocation on a hostile file, an error deep in a library) ends the process with
// an abort and a core dump: the user reads what went wrong, and the exit status is 1.

#include <cstdio>
#include <exception>
#include <new>

template <typename Body>
int runGuarded(const char* tool, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", tool);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", tool, error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: stopped by an unexpected error\n", tool);
    }
    return 1;
}

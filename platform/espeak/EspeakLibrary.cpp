#include "platform/espeak/EspeakLibrary.h"

#include <espeak-ng/speak_lib.h>

namespace {

std::recursive_mutex& libraryMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace

EspeakLibrary::Session EspeakLibrary::acquire()
{
    std::unique_lock lock(libraryMutex());
    // Initialised under the lock, once; espeak_Initialize returns the sample rate or -1.
    static const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    lock.unlock();
    return Session(libraryMutex(), sampleRate > 0, sampleRate > 0 ? sampleRate : 0);
}

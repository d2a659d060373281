#include "platform/espeak/EspeakLibrary.h"

#include <espeak-ng/speak_lib.h>

namespace {

std::recursive_mutex& libraryMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

// The voice last selected; read and written only while a session holds the mutex.
std::string& currentVoice()
{
    static std::string name;
    return name;
}

} // namespace

bool EspeakLibrary::Session::setVoice(const std::string& name)
{
    if (name == currentVoice())
        return true;
    if (espeak_SetVoiceByName(name.c_str()) != EE_OK)
        return false;
    currentVoice() = name;
    return true;
}

EspeakLibrary::Session EspeakLibrary::acquire()
{
    std::unique_lock lock(libraryMutex());
    // Initialised under the lock, once; espeak_Initialize returns the sample rate or -1.
    static const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    lock.unlock();
    return Session(libraryMutex(), sampleRate > 0, sampleRate > 0 ? sampleRate : 0);
}

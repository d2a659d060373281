#pragma once
// The one owner of libespeak-ng, whose state is global: the character's speech and the
// recogniser's pronunciation lookup both use it, from different threads. Every use
// holds a Session, so no two threads are ever inside the library at once. The library
// is initialised once, on the first session, in synchronous mode (callers collect the
// samples in their synth callback; nothing is played by the library itself).

#include <mutex>
#include <string>

class EspeakLibrary {
public:
    class Session {
    public:
        bool isAvailable() const { return m_available; }   // false: no voice data, library unusable
        int sampleRate() const { return m_sampleRate; }    // Hz of the samples the synth callback gets
        // Selects a voice by name (with an optional "+variant"). Every change of voice makes
        // the library keep about a kilobyte it never frees, so an unchanged voice is not set
        // again. False: no such voice; the voice in use stays.
        bool setVoice(const std::string& name);

    private:
        friend class EspeakLibrary;
        Session(std::recursive_mutex& mutex, bool available, int sampleRate)
            : m_lock(mutex), m_available(available), m_sampleRate(sampleRate) {}
        std::unique_lock<std::recursive_mutex> m_lock;
        bool m_available;
        int m_sampleRate;
    };

    // Blocks while another thread holds a session. Re-entrant on the same thread.
    static Session acquire();
};

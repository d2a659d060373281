#pragma once
// The recogniser itself: PocketSphinx with the en-us model, listening for the phrases it is
// given and for nothing else. Out-of-menu speech and noise are absorbed by a phone loop in
// the grammar (the garbage branch), which may also follow a whole phrase, so that words said
// after it make the utterance garbage; a phrase that wins is then verified against a free
// phone loop over the finished utterance, and its score (0-100) compared with the
// threshold. An utterance ends after the short silence when its words so far are a whole
// phrase nothing continues, after the longer one otherwise. In loud noise the utterance is
// decoded again with the noise taken out, by a model fitted to speech so cleaned, and a
// short phrase must be surer to fire. Plain class, not thread-safe: one thread feeds it and
// reads its results.

#include "platform/common/Result.h"

#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class PronunciationDictionary;
struct ps_decoder_s;

struct Hearing {
    QString phrase;                 // the phrase (as given to setPhrases) the best path matched, or empty
    QString heard;                  // the best path in words, "…" where only the garbage loop fit
    int score = 0;                  // 0-100, how sure the recogniser is that `phrase` was said
    bool fired = false;             // `phrase` and a score that passes the threshold
    bool withheld = false;          // held back at any threshold: only the start of a phrase, or too unsure for the noise
    int64_t speechStartSample = 0;  // stream positions, 16 kHz
    int64_t speechEndSample = 0;    // where the pause after the last words was detected
    int64_t endedSample = 0;        // where the utterance ended: later, when it waited for more words
    double snrDb = 0;               // how far the speech stood above the noise around it
    double decodeMs = 0;            // processing after the utterance ended: search end and verification
};
Q_DECLARE_METATYPE(Hearing)

class SphinxRecognizer {
public:
    static constexpr int kSampleRateHz = 16000;

    struct Options {
        QString mllrFile;   // a speaker adaptation of the model's means; empty: none
        QString modelDir = QStringLiteral("/usr/share/pocketsphinx/model/en-us");
        int trailingSilenceMs = 300;      // silence that ends a phrase nothing can continue
        int continuationSilenceMs = 800;  // silence that ends words another phrase may still continue
        int threshold = 50;
        bool espeakReadings = true;       // espeak-ng's reading of every word beside the dictionary's
    };

    static Result<std::unique_ptr<SphinxRecognizer>> create(const Options& options);
    ~SphinxRecognizer();
    SphinxRecognizer(const SphinxRecognizer&) = delete;
    SphinxRecognizer& operator=(const SphinxRecognizer&) = delete;

    // The phrases to listen for, as users write them. Compiled lazily, at the next
    // utterance boundary, so registering on every keystroke costs nothing here.
    void setPhrases(const QStringList& phrases);
    // 0 accepts the most, 100 the least; values outside are clamped.
    void setThreshold(int value);
    int threshold() const { return m_threshold; }

    // Feeds 16 kHz mono samples; returns the utterances that ended within them.
    std::vector<Hearing> process(const int16_t* samples, size_t count);
    // Ends the utterance in progress as if silence followed.
    std::vector<Hearing> finish();
    // Forgets the utterance in progress without a result.
    void discardUtterance();

    bool isInSpeech() const { return m_inSpeech || m_waitedSamples >= 0; }
    int64_t samplesProcessed() const { return m_samplesProcessed; }
    // Compiles the grammar now, if it changed; returns the phrases that could not be
    // made sayable by the last compilation.
    QStringList compile();
    // Whether a hearing passes a threshold: the one rule, shared with the training dialog.
    static bool passes(const Hearing& hearing, int threshold);

private:
    // The menu grammar with its garbage loop, and a free phone loop over the same audio for
    // the score.
    struct Decoders {
        ps_decoder_s* grammar = nullptr;
        ps_decoder_s* loop = nullptr;
    };

    explicit SphinxRecognizer(const Options& options);
    ps_decoder_s* makeDecoder(bool forLoop, const QString& mllrFile) const;
    bool setPhoneLoop(ps_decoder_s* decoder);
    bool addWord(const QString& word, const QString& phones);
    // Where a decoder's best path so far stands in the menu, in whichever state it ends.
    enum class PathEnd { Complete, Continuable, Prefix, Other };
    PathEnd pathEndSoFar(ps_decoder_s* grammarDecoder);
    void startUtterance();
    Hearing endUtterance();
    int longestPause() const;
    void readResult(const Decoders& decoders, Hearing& hearing);
    // Decodes this audio as the utterance just ended, with its own normalisation, in both
    // decoders; openPathEnd, if given, gets where the grammar's path ended before the search
    // was closed.
    void lookAgain(const Decoders& decoders, const std::vector<int16_t>& audio, PathEnd* openPathEnd = nullptr);
    void learnNoise(const Decoders& decoders);
    void decodeWholeUtterance(ps_decoder_s* decoder, const std::vector<int16_t>& audio, PathEnd* openPathEnd = nullptr);
    int verify(ps_decoder_s* loop, int grammarScore, int grammarFrames);

    Options m_options;
    Decoders m_live;       // hears the stream as it comes
    Decoders m_denoised;   // looks again at an utterance the noise was taken out of, with the model fitted to such speech
    std::unique_ptr<PronunciationDictionary> m_dictionary;
    QStringList m_phrases;
    QHash<QString, QString> m_phraseBySpoken;
    QHash<QString, int> m_phonesBySpoken;   // how many sounds each phrase has, by its first reading
    QHash<QString, int> m_phonesOfWord;     // of every word in the decoder
    QSet<QString> m_spokenPrefixes;   // the first words of longer phrases, "front" of "front left"
    QSet<QString> m_wordsInDecoder;
    QSet<QString> m_reportedUnsayable;
    int m_threshold = 50;
    bool m_grammarDirty = true;
    bool m_hasGrammar = false;
    bool m_uttStarted = false;
    bool m_inSpeech = false;
    int64_t m_samplesProcessed = 0;
    int64_t m_speechStartSample = 0;
    int64_t m_speechSamples = 0;
    int64_t m_pauseSample = 0;      // stream position where the last pause was detected
    int64_t m_waitedSamples = -1;   // silence since the speaker paused, while waiting for more; -1 otherwise
    PathEnd m_pathAtPause = PathEnd::Other;
    std::vector<int16_t> m_utterance;   // the audio of the utterance in progress, with its lead-in
};

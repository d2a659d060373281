#include "platform/vcmd/SphinxRecognizer.h"

#include "platform/vcmd/NoiseReduction.h"
#include "platform/vcmd/PhraseNormalizer.h"
#include "platform/vcmd/PronunciationDictionary.h"
#include "platform/vcmd/SpeakerAdaptation.h"
#include "platform/vcmd/SteadyTone.h"
#include "platform/vcmd/WavFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <sphinxbase/fe.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fsg_model.h>

#include <algorithm>
#include <cmath>
#include <functional>


Q_LOGGING_CATEGORY(lcRecognizer, "vorlix.vcmd.recognizer", QtInfoMsg)

namespace {

// The acoustic score of a decoder's best path and the frames it spans; each word of the
// path goes to onWord with the frames it spans.
struct PathScore {
    int64_t acoustic = 0;
    int frames = 0;
};

PathScore scorePath(ps_decoder_t* decoder, const std::function<void(const char* word, int frames)>& onWord = {})
{
    PathScore score;
    int firstFrame = -1, lastFrame = -1;
    for (ps_seg_t* seg = ps_seg_iter(decoder); seg; seg = ps_seg_next(seg)) {
        int32 ascr = 0, lscr = 0, lback = 0;
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        score.acoustic += ascr;
        int sf = 0, ef = 0;
        ps_seg_frames(seg, &sf, &ef);
        if (firstFrame < 0)
            firstFrame = sf;
        lastFrame = ef;
        if (onWord)
            onWord(ps_seg_word(seg), ef - sf + 1);
    }
    score.frames = lastFrame - firstFrame + 1;
    return score;
}

constexpr const char* kMenuSearch = "menu";
constexpr const char* kPhoneSearch = "phones";
constexpr int kChunkSamples = 320;                       // 20 ms: the step at which ends are found
constexpr int kPreSpeechSamples = 16000 / 5;             // the detector's lead-in, 20 frames
constexpr int kMaxUtteranceSamples = 16000 * 15;         // nobody says a 15 s command
constexpr int kLeadSamples = 16000 / 2;                  // kept before speech is detected: the lead-in and more

// The model's phones, each also a word of the garbage loop.
const char* const kPhones[] = {"AA", "AE", "AH", "AO", "AW", "AY", "B", "CH", "D", "DH", "EH", "ER",
    "EY", "F", "G", "HH", "IH", "IY", "JH", "K", "L", "M", "N", "NG", "OW", "OY", "P", "R", "S",
    "SH", "T", "TH", "UH", "UW", "V", "W", "Y", "Z", "ZH"};

// Everyday words in the garbage loop besides the phones: ordinary speech is then matched by
// real words, which fit it far better than context-free phones, and falls to the loop.
const char* const kFillerWords[] = {"the", "a", "to", "and", "of", "i", "you", "it", "is", "in", "that", "we",
    "he", "she", "they", "was", "for", "on", "are", "with", "be", "have", "this", "at", "my", "your", "me",
    "can", "will", "do", "not", "what", "there", "so", "up", "out", "about", "get", "like", "go", "just",
    "know", "some", "time", "could", "would", "please", "yes", "no", "well", "okay", "last", "new", "too",
    "very", "one", "day", "today", "night", "from", "by", "our", "her", "his", "has", "had", "were", "been",
    "but", "all", "an", "or", "if", "when", "need", "let", "after", "before", "into", "over", "still"};

// In the decoder's 10 ms frames.
int trailingSilenceFrames(const SphinxRecognizer::Options& options) { return std::max(5, options.trailingSilenceMs / 10); }

// The model fitted to what noise reduction leaves of speech (made by the benchmark's
// vcmd_denoised_transform), after the speaker's own adaptation when there is one.
QByteArray denoisedSpeechTransform(const QString& speakerTransform)
{
    QFile shipped(QStringLiteral(":/vcmd/denoised.mllr"));
    shipped.open(QIODevice::ReadOnly);
    const QByteArray denoised = shipped.readAll();
    if (speakerTransform.isEmpty())
        return denoised;
    QFile speaker(speakerTransform);
    if (!speaker.open(QIODevice::ReadOnly))
        return denoised;   // the live decoders report it: they cannot start without it
    const auto both = SpeakerAdaptation::composeTransforms(denoised, speaker.readAll());
    if (!both) {
        qCWarning(lcRecognizer).noquote() << both.error().message << "In noise the recogniser does without it.";
        return denoised;
    }
    return both.value();
}

bool isGarbageWord(const char* word) { return word && word[0] == '~'; }

QString baseWord(const char* word)
{
    QString w = QString::fromUtf8(word);
    if (const auto paren = w.indexOf(QLatin1Char('(')); paren > 0)
        w.truncate(paren);
    return w;
}

// Tuned on the benchmark in bench/vcmd (log10 probability per garbage word; score points).
// The loop stays dear across the range: a cheap loop steals short phrases said with an
// accent the dictionary does not know, and the score does the rest of the rejection.
constexpr double kGarbageLog10AtLeastStrict = -16.0;
constexpr double kGarbageLog10AtMostStrict = -12.0;
constexpr double kScoreNeededAtMostStrict = 25.0;
// The loop after a complete phrase is dearer still: the phrase's own last sounds and the
// noise after them must not fall to it, only whole words said after it. From -15 to -30 the
// clean hits held; at -40 the loop was as good as gone and near misses fired more than before.
constexpr double kPhraseTailLog10 = -20.0;
constexpr double kScorePointsPerLogUnit = 2.5;
// Below kNoisySnrDb the live look hears words in the noise. A short phrase is the easiest to
// make out of noise, so the score needed grows with the noise and falls with the phrase's
// sounds: in loud noise 50 for "cut" (3 sounds), 30 for "paste" (5), none from 8 sounds up.
// Tuned on the benchmark's speech at 10 and 20 dB.
constexpr double kNoisySnrDb = 25;
constexpr double kLoudNoiseSnrDb = 14;
constexpr int kScoreNeededInLoudNoise = 80;
constexpr int kScoreForgivenPerPhone = 10;

int scoreNeededInNoise(int phones, double snrDb)
{
    const double loudness = std::clamp((kNoisySnrDb - snrDb) / (kNoisySnrDb - kLoudNoiseSnrDb), 0.0, 1.0);
    return int(std::lround(std::max(0, kScoreNeededInLoudNoise - kScoreForgivenPerPhone * phones) * loudness));
}

// The loud 10 ms frames of the utterance against its quiet ones, which with the lead-in and
// the trailing silence are noise alone.
double signalToNoiseDb(const std::vector<int16_t>& audio)
{
    std::vector<double> frames = WavFile::windowPowers(audio);
    if (frames.size() < 10)
        return 0;
    std::sort(frames.begin(), frames.end());
    return 10 * std::log10((frames[frames.size() * 9 / 10] + 1) / (frames[frames.size() / 10] + 1));
}

// The decoder's best path in words, "…" where only the garbage loop fit. A pause longer than
// longestPause frames is speech the decoder could only explain as silence: words around the
// phrase ("stop listening to the radio"); it counts as garbage too.
QStringList pathWords(ps_decoder_t* decoder, int longestPause, bool* garbage, PathScore* score = nullptr)
{
    QStringList words;
    *garbage = false;
    const PathScore scored = scorePath(decoder, [&](const char* word, int frames) {
        const bool pause = word && (word[0] == '<' || word[0] == '[');
        if (isGarbageWord(word) || (pause && frames > longestPause)) {
            if (words.isEmpty() || words.last() != QStringLiteral("…"))
                words << QStringLiteral("…");
            *garbage = true;
        } else if (word && !pause && word[0] != '(') {
            words << baseWord(word);
        }
    });
    if (score)
        *score = scored;
    return words;
}

} // namespace

SphinxRecognizer::SphinxRecognizer(const Options& options) : m_options(options) {}

SphinxRecognizer::~SphinxRecognizer()
{
    for (ps_decoder_t* decoder : {m_live.grammar, m_live.loop, m_denoised.grammar, m_denoised.loop})
        if (decoder)
            ps_free(decoder);
}

ps_decoder_t* SphinxRecognizer::makeDecoder(bool forLoop, const QString& mllrFile) const
{
    const QByteArray hmm = (m_options.modelDir + QStringLiteral("/en-us")).toUtf8();
    const QByteArray postSpeech = QByteArray::number(trailingSilenceFrames(m_options));
    // No -dict: the decoder holds only the menu's words, added as they are needed, which
    // saves the time and memory of the full dictionary. (-cmn is not set: the model's own
    // settings override it, and audio fed piece by piece is always normalised live.)
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-samprate", "16000",
        "-vad_postspeech", postSpeech.constData(), "-vad_prespeech", "20", "-bestpath", "no", "-fwdflat", "no",
        nullptr);
    if (!config)
        return nullptr;
    if (!mllrFile.isEmpty())
        cmd_ln_set_str_r(config, "-mllr", QFile::encodeName(mllrFile).constData());
    if (forLoop) {
        // The phone loop only has to score the audio, not to win: narrow beams keep it cheap.
        cmd_ln_set_float_r(config, "-beam", 1e-30);
        cmd_ln_set_float_r(config, "-wbeam", 1e-20);
        cmd_ln_set_int_r(config, "-maxhmmpf", 1500);
    }
    ps_decoder_t* decoder = ps_init(config);
    cmd_ln_free_r(config);
    return decoder;
}

Result<std::unique_ptr<SphinxRecognizer>> SphinxRecognizer::create(const Options& options)
{
    Q_INIT_RESOURCE(vcmd);
    const QString acoustic = options.modelDir + QStringLiteral("/en-us");
    if (!QFileInfo::exists(acoustic + QStringLiteral("/mdef")))
        return Error{QStringLiteral("The speech model is missing (%1); install the package pocketsphinx-en-us.")
                         .arg(acoustic)};
    err_set_logfp(nullptr);   // the library's chatter goes nowhere; we log what matters

    std::unique_ptr<SphinxRecognizer> self(new SphinxRecognizer(options));
    // The decoders read the transform as they start; the file is not needed after.
    QTemporaryFile denoisedTransform;
    QString denoisedMllr;
    if (denoisedTransform.open() && denoisedTransform.write(denoisedSpeechTransform(options.mllrFile)) > 0
        && denoisedTransform.flush())
        denoisedMllr = denoisedTransform.fileName();
    else
        qCWarning(lcRecognizer).noquote() << QStringLiteral("cannot write a temporary file (%1); in noise the "
                                                            "recogniser does without its fitted model")
                                                 .arg(denoisedTransform.errorString());
    self->m_live = {self->makeDecoder(false, options.mllrFile), self->makeDecoder(true, options.mllrFile)};
    self->m_denoised = {self->makeDecoder(false, denoisedMllr), self->makeDecoder(true, denoisedMllr)};
    const auto all = {self->m_live.grammar, self->m_live.loop, self->m_denoised.grammar, self->m_denoised.loop};
    if (std::find(all.begin(), all.end(), nullptr) != all.end())
        return Error{QStringLiteral("The speech recogniser could not load its model from %1.").arg(acoustic)};
    self->m_dictionary = std::make_unique<PronunciationDictionary>(
        options.modelDir + QStringLiteral("/cmudict-en-us.dict"), options.espeakReadings);
    for (ps_decoder_t* decoder : all) {
        for (const char* phone : kPhones) {
            const QByteArray name = QByteArray("~") + QByteArray(phone).toLower();
            ps_add_word(decoder, name.constData(), phone, FALSE);
        }
    }
    if (!self->setPhoneLoop(self->m_live.loop) || !self->setPhoneLoop(self->m_denoised.loop))
        return Error{QStringLiteral("The speech recogniser could not set up its phone loop.")};
    self->m_threshold = std::clamp(options.threshold, 0, 100);
    return self;
}

bool SphinxRecognizer::setPhoneLoop(ps_decoder_t* decoder)
{
    logmath_t* logmath = ps_get_logmath(decoder);
    const float languageWeight = float(cmd_ln_float32_r(ps_get_config(decoder), "-lw"));
    fsg_model_t* fsg = fsg_model_init(kPhoneSearch, logmath, languageWeight, 2);
    fsg->start_state = 0;
    fsg->final_state = 1;
    for (const char* phone : kPhones) {
        const QByteArray name = QByteArray("~") + QByteArray(phone).toLower();
        const int wid = fsg_model_word_add(fsg, name.constData());
        fsg_model_trans_add(fsg, 0, 0, 0, wid);
        fsg_model_trans_add(fsg, 0, 1, 0, wid);
    }
    const bool ok = ps_set_fsg(decoder, kPhoneSearch, fsg) >= 0 && ps_set_search(decoder, kPhoneSearch) >= 0;
    fsg_model_free(fsg);
    return ok;
}

void SphinxRecognizer::setPhrases(const QStringList& phrases)
{
    if (phrases == m_phrases)
        return;
    m_phrases = phrases;
    m_grammarDirty = true;
}

void SphinxRecognizer::setThreshold(int value)
{
    value = std::clamp(value, 0, 100);
    if (value == m_threshold && !m_grammarDirty)
        return;
    m_threshold = value;
    m_grammarDirty = true;   // the garbage loop's weight depends on it
}

bool SphinxRecognizer::passes(const Hearing& hearing, int threshold)
{
    // Up to the middle the garbage loop alone decides; above it the score must rise too.
    const double required = std::max(0, threshold - 50) * kScoreNeededAtMostStrict / 50.0;
    return !hearing.phrase.isEmpty() && !hearing.withheld && hearing.score >= required;
}

bool SphinxRecognizer::addWord(const QString& word, const QString& phones)
{
    const QByteArray w = word.toUtf8();
    const QByteArray p = phones.toLatin1();
    return ps_add_word(m_live.grammar, w.constData(), p.constData(), FALSE) >= 0
        && ps_add_word(m_denoised.grammar, w.constData(), p.constData(), FALSE) >= 0;
}

QStringList SphinxRecognizer::compile()
{
    QStringList unsayable;
    if (!m_grammarDirty)
        return unsayable;
    m_grammarDirty = false;

    // Unique spoken forms, each with the first phrase written that way.
    std::vector<QStringList> paths;
    m_phraseBySpoken.clear();
    m_spokenPrefixes.clear();
    m_phonesBySpoken.clear();
    for (const QString& phrase : std::as_const(m_phrases)) {
        const QStringList words = PhraseNormalizer::spokenWords(phrase);
        const QString spoken = words.join(QLatin1Char(' '));
        if (m_phraseBySpoken.contains(spoken))
            continue;
        bool sayable = !words.isEmpty();
        int phones = 0;
        for (const QString& word : words) {
            if (!sayable)
                break;
            if (!m_wordsInDecoder.contains(word)) {
                const QStringList prons = m_dictionary->pronunciations(word);
                int added = 0;
                for (const QString& pron : prons) {
                    const QString name = added == 0 ? word : QStringLiteral("%1(%2)").arg(word).arg(added + 1);
                    if (!addWord(name, pron))
                        continue;
                    if (added == 0)
                        m_phonesOfWord.insert(word, int(pron.count(QLatin1Char(' '))) + 1);
                    ++added;
                }
                if (added == 0) {
                    sayable = false;
                    break;
                }
                m_wordsInDecoder.insert(word);
            }
            phones += m_phonesOfWord.value(word);
        }
        if (!sayable) {
            unsayable << phrase;
            if (!m_reportedUnsayable.contains(phrase)) {
                m_reportedUnsayable.insert(phrase);
                qCWarning(lcRecognizer).noquote() << "cannot make the phrase" << phrase
                                                  << "sayable; it stays in the menu but will not be heard";
            }
            continue;
        }
        m_phraseBySpoken.insert(spoken, phrase);
        m_phonesBySpoken.insert(spoken, phones);
        for (qsizetype n = 1; n < words.size(); ++n)
            m_spokenPrefixes.insert(words.mid(0, n).join(QLatin1Char(' ')));
        paths.push_back(words);
    }

    m_hasGrammar = !paths.empty();
    if (!m_hasGrammar)
        return unsayable;

    QList<QByteArray> garbageWords;
    for (const char* phone : kPhones)
        garbageWords << QByteArray("~") + QByteArray(phone).toLower();
    for (const char* filler : kFillerWords) {
        const QString word = QString::fromLatin1(filler);
        const QString name = QStringLiteral("~w-") + word;
        if (!m_wordsInDecoder.contains(name)) {
            const QStringList prons = m_dictionary->pronunciations(word);
            if (prons.isEmpty() || !addWord(name, prons.first()))
                continue;
            m_wordsInDecoder.insert(name);
        }
        garbageWords << name.toUtf8();
    }

    // 0 start, 1 final, 2 garbage loop, 3 the end of a phrase, from where words said after it
    // fall to the loop: "what time is the meeting" is then a phrase and garbage, not "what time
    // is it".
    int states = 4;
    for (const auto& words : paths)
        states += int(words.size()) - 1;
    // A stricter threshold makes the garbage loop cheaper, so doubtful speech falls to it.
    const double garbageLog10 = kGarbageLog10AtLeastStrict
        + (kGarbageLog10AtMostStrict - kGarbageLog10AtLeastStrict) * m_threshold / 100.0;
    // Each decoder gets a grammar of its own: setting one adds the decoder's pauses to it.
    const auto setGrammar = [&](ps_decoder_t* decoder) {
        logmath_t* logmath = ps_get_logmath(decoder);
        const float languageWeight = float(cmd_ln_float32_r(ps_get_config(decoder), "-lw"));
        fsg_model_t* fsg = fsg_model_init(kMenuSearch, logmath, languageWeight, states);
        fsg->start_state = 0;
        fsg->final_state = 1;
        int next = 4;
        for (const auto& words : paths) {
            int from = 0;
            for (qsizetype i = 0; i < words.size(); ++i) {
                const int to = i + 1 == words.size() ? 3 : next++;
                const QByteArray w = words[i].toUtf8();
                fsg_model_trans_add(fsg, from, to, 0, fsg_model_word_add(fsg, w.constData()));
                from = to;
            }
        }
        const auto logp = [&](double log10) {
            return int32(logmath_log10_to_log(logmath, log10 / languageWeight) * languageWeight);
        };
        const int32 garbageLogp = logp(garbageLog10);
        const int32 tailLogp = logp(garbageLog10 + kPhraseTailLog10);
        for (const QByteArray& name : std::as_const(garbageWords)) {
            const int wid = fsg_model_word_add(fsg, name.constData());
            fsg_model_trans_add(fsg, 0, 2, garbageLogp, wid);
            fsg_model_trans_add(fsg, 2, 2, garbageLogp, wid);
            fsg_model_trans_add(fsg, 3, 2, tailLogp, wid);
        }
        fsg_model_null_trans_add(fsg, 2, 1, 0);
        fsg_model_null_trans_add(fsg, 3, 1, 0);
        const bool ok = ps_set_fsg(decoder, kMenuSearch, fsg) >= 0 && ps_set_search(decoder, kMenuSearch) >= 0;
        fsg_model_free(fsg);
        return ok;
    };

    discardUtterance();
    if (!setGrammar(m_live.grammar) || !setGrammar(m_denoised.grammar)) {
        qCWarning(lcRecognizer) << "the menu grammar was refused by the recogniser";
        m_hasGrammar = false;
    }
    return unsayable;
}

void SphinxRecognizer::startUtterance()
{
    ps_start_utt(m_live.grammar);
    ps_start_utt(m_live.loop);
    m_uttStarted = true;
    m_inSpeech = false;
}

void SphinxRecognizer::discardUtterance()
{
    if (m_uttStarted) {
        ps_end_utt(m_live.grammar);
        ps_end_utt(m_live.loop);
    }
    m_uttStarted = false;
    m_inSpeech = false;
    m_waitedSamples = -1;
    m_speechSamples = 0;
    m_utterance.clear();
}

std::vector<Hearing> SphinxRecognizer::process(const int16_t* samples, size_t count)
{
    std::vector<Hearing> results;
    for (size_t at = 0; at < count; at += kChunkSamples) {
        const size_t n = std::min<size_t>(kChunkSamples, count - at);
        if (!isInSpeech() && m_grammarDirty) {
            discardUtterance();
            compile();
        }
        m_samplesProcessed += int64_t(n);
        if (!m_hasGrammar)
            continue;
        if (!m_uttStarted)
            startUtterance();
        // The utterance is kept for a second look at its end; before speech, only its lead-in.
        m_utterance.insert(m_utterance.end(), samples + at, samples + at + n);
        if (!isInSpeech() && m_utterance.size() > size_t(kLeadSamples))
            m_utterance.erase(m_utterance.begin(), m_utterance.end() - kLeadSamples);
        // Both decoders see the same audio and the same speech detection, so their
        // utterances line up; silence costs them nothing.
        ps_process_raw(m_live.grammar, samples + at, n, FALSE, FALSE);
        ps_process_raw(m_live.loop, samples + at, n, FALSE, FALSE);
        const bool inSpeech = ps_get_in_speech(m_live.grammar);
        if (inSpeech) {
            if (!isInSpeech())
                m_speechStartSample = std::max<int64_t>(0, m_samplesProcessed - kPreSpeechSamples);
            m_inSpeech = true;
            m_waitedSamples = -1;   // the speaker went on: the same utterance
            m_pathAtPause = PathEnd::Other;
            if ((m_speechSamples += int64_t(n)) > kMaxUtteranceSamples) {
                qCInfo(lcRecognizer) << "dropped an utterance longer than 15 s";
                discardUtterance();
            }
        } else if (isInSpeech()) {
            // A pause as long as the trailing silence. A complete phrase that nothing
            // continues ends here; anything else may be the first words of a phrase said
            // with a pause, so the utterance stays open until the longer silence.
            if (m_inSpeech) {
                m_inSpeech = false;
                m_pathAtPause = pathEndSoFar(m_live.grammar);
                m_pauseSample = m_samplesProcessed;
                m_waitedSamples = 0;
            } else {
                m_waitedSamples += int64_t(n);
            }
            const int64_t extraWait = int64_t(std::max(0, m_options.continuationSilenceMs - m_options.trailingSilenceMs))
                * kSampleRateHz / 1000;
            if (m_pathAtPause == PathEnd::Complete || m_waitedSamples >= extraWait)
                results.push_back(endUtterance());
        }
    }
    return results;
}

std::vector<Hearing> SphinxRecognizer::finish()
{
    std::vector<Hearing> results;
    if (isInSpeech())
        results.push_back(endUtterance());
    else
        discardUtterance();
    return results;
}

Hearing SphinxRecognizer::endUtterance()
{
    QElapsedTimer timer;
    timer.start();
    Hearing hearing;
    ps_end_utt(m_live.grammar);
    ps_end_utt(m_live.loop);
    const int64_t speechEnd = m_waitedSamples >= 0 ? m_pauseSample : m_samplesProcessed;
    m_uttStarted = false;
    m_inSpeech = false;
    m_waitedSamples = -1;
    m_speechSamples = 0;

    const double snrDb = signalToNoiseDb(m_utterance);
    // Music or a beep is not listened to at all: the second look below would only lend it
    // the shape of speech.
    if (!SteadyTone::isSteadyTone(m_utterance.data(), m_utterance.size())) {
        // Where the words ended: in quiet, the live path at the pause says it; in noise that
        // path is a guess among the hiss, and the denoised look says it instead.
        PathEnd pathEnd = m_pathAtPause;
        if (snrDb < kNoisySnrDb && !m_utterance.empty()) {
            // In noise the live look hears words in the hiss: the utterance with the steady
            // noise taken out, looked at on its own, decides alone.
            learnNoise(m_denoised);
            // The look ends at the pause that ended the utterance: the silence waited out
            // after it, in case the speaker went on, holds no words, yet what the reduction
            // leaves of it was heard as more words after the phrase.
            const size_t waited = size_t(m_samplesProcessed - speechEnd);   // none when cut off in speech
            std::vector<int16_t> denoised = NoiseReduction::reduce(m_utterance);
            denoised.resize(denoised.size() - std::min(denoised.size(), waited));
            lookAgain(m_denoised, denoised, &pathEnd);
            readResult(m_denoised, hearing);
            if (!hearing.phrase.isEmpty() && hearing.score < scoreNeededInNoise(m_phonesBySpoken.value(hearing.heard), snrDb)) {
                hearing.withheld = true;
                hearing.fired = false;
            }
        } else {
            readResult(m_live, hearing);
            if (!hearing.fired && !m_utterance.empty()) {
                // Live normalisation follows the voices heard before; after a change of
                // speaker or microphone it can still be off for the first phrases. A second
                // look with the utterance's own normalisation catches those, at the cost of
                // one more decode, spent only on what did not fire.
                lookAgain(m_live, m_utterance);
                Hearing second;
                readResult(m_live, second);
                if (second.fired || hearing.phrase.isEmpty())
                    hearing = second;
            }
        }
        // The speaker stopped after the first words of a phrase: whatever the end of the
        // search made of them, it is not what was said.
        if (pathEnd == PathEnd::Prefix) {
            hearing.withheld = true;
            hearing.fired = false;
        }
    }
    m_pathAtPause = PathEnd::Other;
    hearing.snrDb = snrDb;
    m_utterance.clear();
    hearing.speechStartSample = m_speechStartSample;
    hearing.speechEndSample = speechEnd;
    hearing.endedSample = m_samplesProcessed;
    hearing.decodeMs = double(timer.nsecsElapsed()) / 1e6;
    return hearing;
}

int SphinxRecognizer::longestPause() const
{
    // The silence that ends an utterance, and the detector's lead-in.
    return trailingSilenceFrames(m_options) + kPreSpeechSamples / 160;
}

SphinxRecognizer::PathEnd SphinxRecognizer::pathEndSoFar(ps_decoder_t* grammarDecoder)
{
    // While the search is open its best path may end in any state of the grammar.
    bool garbage = false;
    const QString spoken = pathWords(grammarDecoder, longestPause(), &garbage).join(QLatin1Char(' '));
    qCDebug(lcRecognizer).noquote() << "path so far" << spoken << garbage;
    if (garbage || spoken.isEmpty())
        return PathEnd::Other;
    const bool continued = m_spokenPrefixes.contains(spoken);
    if (m_phraseBySpoken.contains(spoken))
        return continued ? PathEnd::Continuable : PathEnd::Complete;
    return continued ? PathEnd::Prefix : PathEnd::Other;
}

void SphinxRecognizer::readResult(const Decoders& decoders, Hearing& hearing)
{
    bool garbage = false;
    PathScore grammar;
    const QStringList words = pathWords(decoders.grammar, longestPause(), &garbage, &grammar);
    hearing.heard = words.join(QLatin1Char(' '));
    if (!garbage && !words.isEmpty()) {
        hearing.phrase = m_phraseBySpoken.value(hearing.heard);
        hearing.score = verify(decoders.loop, int(grammar.acoustic), grammar.frames);
        hearing.fired = passes(hearing, m_threshold);
    }
}

void SphinxRecognizer::lookAgain(const Decoders& decoders, const std::vector<int16_t>& audio, PathEnd* openPathEnd)
{
    decodeWholeUtterance(decoders.grammar, audio, openPathEnd);
    decodeWholeUtterance(decoders.loop, audio);
}

void SphinxRecognizer::learnNoise(const Decoders& decoders)
{
    // The front end's own noise removal set to the noise as it was heard, not to what an
    // earlier utterance left: at the look it takes out what the reduction left of it too.
    for (ps_decoder_t* decoder : {decoders.grammar, decoders.loop}) {
        fe_t* fe = ps_get_fe(decoder);
        fe_start_stream(fe);
        fe_start_utt(fe);
        mfcc_t** cepstra = nullptr;
        int32 frames = 0;
        if (fe_process_utt(fe, m_utterance.data(), m_utterance.size(), &cepstra, &frames) >= 0 && cepstra)
            fe_free_2d(cepstra);
        std::vector<mfcc_t> last(size_t(fe_get_output_size(fe)));
        fe_end_utt(fe, last.data(), &frames);
    }
}

void SphinxRecognizer::decodeWholeUtterance(ps_decoder_t* decoder, const std::vector<int16_t>& audio, PathEnd* openPathEnd)
{
    // Batch normalisation over the utterance, then the live state back as it was, so the
    // second look leaves no trace on what follows.
    feat_t* feat = ps_get_feat(decoder);
    cmn_t* cmn = feat->cmn_struct;
    const std::vector<mfcc_t> mean(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen);
    const std::vector<mfcc_t> sum(cmn->sum, cmn->sum + cmn->veclen);
    const int32 frames = cmn->nframe;
    const cmn_type_t mode = feat->cmn;
    feat->cmn = CMN_BATCH;
    ps_start_utt(decoder);
    ps_process_raw(decoder, audio.data(), audio.size(), FALSE, TRUE);
    if (openPathEnd)
        *openPathEnd = pathEndSoFar(decoder);
    ps_end_utt(decoder);
    feat->cmn = mode;
    std::copy(mean.begin(), mean.end(), cmn->cmn_mean);
    std::copy(sum.begin(), sum.end(), cmn->sum);
    cmn->nframe = frames;
}

int SphinxRecognizer::verify(ps_decoder_t* loopDecoder, int grammarScore, int grammarFrames)
{
    // The phrase's acoustic score per frame against the phone loop's on the same audio: a
    // phrase really said beats the loop's context-free phones clearly, a sound-alike barely.
    if (grammarFrames <= 0)
        return 0;
    const PathScore loop = scorePath(loopDecoder);
    const int loopFrames = loop.frames;
    if (loopFrames <= 0)
        return 0;
    const double perFrame = double(grammarScore) / grammarFrames - double(loop.acoustic) / loopFrames;
    qCDebug(lcRecognizer) << "verification" << perFrame;
    return int(std::clamp(50.0 + perFrame * kScorePointsPerLogUnit, 0.0, 100.0));
}

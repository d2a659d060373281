#include "platform/vcmd/SpeakerAdaptation.h"

#include "platform/vcmd/PhraseNormalizer.h"
#include "platform/vcmd/PronunciationDictionary.h"
#include "platform/vcmd/ToolRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

extern "C" {
// Exported by libpocketsphinx, though its header is not installed.
struct bin_mdef_s;
bin_mdef_s* bin_mdef_read(void* config, const char* path);
int bin_mdef_write_text(bin_mdef_s* mdef, const char* path);
int bin_mdef_free(bin_mdef_s* mdef);
}

namespace {

const QString kToolDir = QStringLiteral("/usr/lib/sphinxtrain");
const QString kTransform = QStringLiteral("mllr_matrix");
const QString kModelSub = QStringLiteral("model");
const QString kSessionSub = QStringLiteral("session");

QString missingToolsMessage(const QString& program)
{
    return QObject::tr("The voice adaptation tools are not installed (%1 is missing). "
                       "Install the packages sphinxtrain and sphinxbase-utils.")
        .arg(QFileInfo(program).fileName());
}

Result<void> writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Error::io(path, file.errorString());
    return {};
}

// An MLLR transform of one class: per feature stream, mean' = a * mean + b, variance' = h * variance.
struct Transform {
    struct Stream {
        int size = 0;
        std::vector<double> a, b, h;   // a row by row
    };
    std::vector<Stream> streams;
};

std::optional<Transform> parseTransform(const QByteArray& text)
{
    const QList<QByteArray> tokens = text.simplified().split(' ');
    qsizetype at = 0;
    bool ok = true;
    const auto next = [&] {
        bool number = false;
        const double value = at < tokens.size() ? tokens[at++].toDouble(&number) : 0.0;
        ok = ok && number;
        return value;
    };
    const auto count = [&](int most) {
        const double n = next();
        ok = ok && n >= 1 && n <= most && n == std::floor(n);
        return ok ? int(n) : 0;
    };
    if (count(1) != 1)
        return std::nullopt;
    Transform t;
    t.streams.resize(size_t(count(16)));
    for (Transform::Stream& stream : t.streams) {
        stream.size = count(256);
        for (auto* values : {&stream.a, &stream.b, &stream.h}) {
            values->resize(size_t(values == &stream.a ? stream.size * stream.size : stream.size));
            for (double& v : *values)
                v = next();
        }
    }
    if (!ok || t.streams.empty() || at != tokens.size())
        return std::nullopt;
    return t;
}

QByteArray formatTransform(const Transform& t)
{
    QByteArray text = "1\n" + QByteArray::number(qsizetype(t.streams.size())) + '\n';
    for (const Transform::Stream& stream : t.streams) {
        text += QByteArray::number(stream.size) + '\n';
        const auto row = [&](const double* values) {
            for (int i = 0; i < stream.size; ++i)
                text += QByteArray::number(values[i], 'f', 6) + ' ';
            text += '\n';
        };
        for (int r = 0; r < stream.size; ++r)
            row(stream.a.data() + r * stream.size);
        row(stream.b.data());
        row(stream.h.data());
    }
    return text;
}

QString lastLine(const QString& output)
{
    const QStringList lines = output.trimmed().split(QLatin1Char('\n'));
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

ToolRun ProcessToolRunner::run(const QString& program, const QStringList& arguments, const QString& workingDir)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    ToolRun result;
    if (!process.waitForStarted())
        return result;
    result.started = true;
    // A few minutes of speech take the tools seconds; a tool still busy after ten minutes is stuck.
    if (!process.waitForFinished(10 * 60 * 1000)) {
        process.kill();
        process.waitForFinished();
        result.output = QObject::tr("stopped after ten minutes");
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

SpeakerAdaptation::SpeakerAdaptation(QString folder, ToolRunner& tools, QString modelDir)
    : m_folder(std::move(folder)), m_tools(tools), m_modelDir(std::move(modelDir))
{
}

QString SpeakerAdaptation::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vorlix/adaptation");
}

QStringList SpeakerAdaptation::sessionPhrases()
{
    return {
        QStringLiteral("Open the morning news"),
        QStringLiteral("Read my new mail aloud"),
        QStringLiteral("Show the weather for today"),
        QStringLiteral("Close every window on the screen"),
        QStringLiteral("Start the music player"),
        QStringLiteral("Turn the volume down a little"),
        QStringLiteral("What time is it in Tokyo"),
        QStringLiteral("Print the shopping list twice"),
        QStringLiteral("Search the web for cheap flights"),
        QStringLiteral("Call the judge at the garage"),
        QStringLiteral("The quick brown fox jumps over the dog"),
        QStringLiteral("Move the file to the desktop"),
        QStringLiteral("Copy this paragraph to the clipboard"),
        QStringLiteral("Zoom in on the yellow chair"),
        QStringLiteral("Her voice was thin and pleasant"),
        QStringLiteral("Check the spelling of the letter"),
        QStringLiteral("Go back to the previous page"),
        QStringLiteral("Save the document as a draft"),
        QStringLiteral("Find the nearest shoe shop"),
        QStringLiteral("Play the fourth song again"),
        QStringLiteral("Switch off the lights at nine"),
        QStringLiteral("Remind me to buy fresh bread"),
        QStringLiteral("Send a short message to Joe"),
        QStringLiteral("The boy enjoyed the thick soup"),
        QStringLiteral("Measure the width of the bridge"),
        QStringLiteral("Delete the old photos from June"),
        QStringLiteral("Pause the video for a moment"),
        QStringLiteral("Add the usual vision test to the calendar"),
        QStringLiteral("Scroll down to the bottom of the list"),
        QStringLiteral("Thank you, that is all for now"),
    };
}

QString SpeakerAdaptation::storedTransform(const QString& folder)
{
    const QString path = folder + QLatin1Char('/') + kTransform;
    return QFileInfo(path).isFile() ? path : QString();
}

Result<QByteArray> SpeakerAdaptation::composeTransforms(const QByteArray& outer, const QByteArray& inner)
{
    const auto o = parseTransform(outer), i = parseTransform(inner);
    if (!o || !i)
        return Error{QObject::tr("A voice adaptation transform is damaged.")};
    if (o->streams.size() != i->streams.size())
        return Error{QObject::tr("The voice adaptation transforms do not fit together.")};
    Transform both = *i;
    for (size_t s = 0; s < both.streams.size(); ++s) {
        const Transform::Stream &os = o->streams[s], &is = i->streams[s];
        Transform::Stream& bs = both.streams[s];
        const int n = is.size;
        if (os.size != n)
            return Error{QObject::tr("The voice adaptation transforms do not fit together.")};
        for (int r = 0; r < n; ++r) {
            double b = os.b[size_t(r)];
            for (int k = 0; k < n; ++k) {
                double a = 0;
                for (int m = 0; m < n; ++m)
                    a += os.a[size_t(r * n + m)] * is.a[size_t(m * n + k)];
                bs.a[size_t(r * n + k)] = a;
                b += os.a[size_t(r * n + k)] * is.b[size_t(k)];
            }
            bs.b[size_t(r)] = b;
            bs.h[size_t(r)] = os.h[size_t(r)] * is.h[size_t(r)];
        }
    }
    return formatTransform(both);
}

Result<void> SpeakerAdaptation::forget()
{
    QDir dir(m_folder);
    if (dir.exists() && !dir.removeRecursively())
        return Error{QObject::tr("The voice adaptation in %1 could not be removed completely.").arg(m_folder)};
    return {};
}

Result<void> SpeakerAdaptation::convertModelDefinition(const QString& binaryMdef, const QString& textMdef)
{
    // Only the binary form is handed over: the library's text reader ends the process on a bad file.
    QFile in(binaryMdef);
    const QByteArray magic = in.open(QIODevice::ReadOnly) ? in.read(4) : QByteArray();
    bin_mdef_s* mdef = magic == "BMDF" || magic == "FDMB" ? bin_mdef_read(nullptr, QFile::encodeName(binaryMdef).constData())
                                                         : nullptr;
    if (!mdef)
        return Error::io(binaryMdef, QObject::tr("not a model definition"));
    const QString temporary = textMdef + QStringLiteral(".part");
    const int written = bin_mdef_write_text(mdef, QFile::encodeName(temporary).constData());
    bin_mdef_free(mdef);
    if (written != 0 || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(textMdef).constData()) != 0) {
        QFile::remove(temporary);
        return Error::io(textMdef, QObject::tr("cannot be written"));
    }
    return {};
}

// The compressed form: a header of length-prefixed strings ended by an empty one, the
// numbers of codewords and of senones, then per feature stream and codeword one byte per
// senone holding -log1.0001(weight) >> shift.
Result<void> SpeakerAdaptation::convertMixtureWeights(const QString& sendump, const QString& mixtureWeights)
{
    QFile in(sendump);
    if (!in.open(QIODevice::ReadOnly))
        return Error::io(sendump, in.errorString());
    const QByteArray data = in.readAll();
    const auto bad = [&] { return Error::io(sendump, QObject::tr("not a compressed mixture weight file")); };
    qsizetype at = 0;
    bool swapped = false;
    const auto readInt = [&](uint32_t& value) {
        if (at + 4 > data.size())
            return false;
        std::memcpy(&value, data.constData() + at, 4);
        at += 4;
        if (swapped || value > 0xffffff) {
            swapped = true;
            value = __builtin_bswap32(value);
        }
        return true;
    };
    int shift = 10, features = 1;
    for (bool title = true;; title = false) {
        uint32_t length = 0;
        if (!readInt(length) || at + qsizetype(length) > data.size())
            return bad();
        if (length == 0)
            break;
        const QByteArray line = data.mid(at, length).chopped(1);
        at += length;
        if (title)
            continue;
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2)
            continue;
        if (parts[0] == "mixw_shift")
            shift = parts[1].toInt();
        else if (parts[0] == "feature_count")
            features = parts[1].toInt();
        else if (parts[0] == "cluster_count" && parts[1].toInt() != 0)
            return Error::io(sendump, QObject::tr("clustered weights are not supported"));
    }
    uint32_t codewords = 0, senones = 0;
    if (!readInt(codewords) || !readInt(senones) || features < 1 || features > 8 || shift < 0 || shift > 20
        || codewords == 0 || senones == 0 || data.size() - at != qsizetype(features) * codewords * senones)
        return bad();

    // Written as the tools read it: [senone][feature][codeword] float weights.
    const uint32_t count = uint32_t(features) * codewords * senones;
    std::vector<float> weights(count);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData() + at);
    for (int f = 0; f < features; ++f) {
        for (uint32_t c = 0; c < codewords; ++c) {
            for (uint32_t s = 0; s < senones; ++s) {
                const int logWeight = int(*bytes++) << shift;
                weights[(size_t(s) * features + f) * codewords + c] = float(std::pow(1.0001, -logWeight));
            }
        }
    }
    QByteArray out("s3\nversion 1.0\n");
    // The binary part starts on a four-byte boundary.
    const qsizetype misalign = (out.size() + 7) & 3;
    out += QByteArray(misalign ? 4 - misalign : 0, ' ') + "endhdr\n";
    const uint32_t header[] = {0x11223344, senones, uint32_t(features), codewords, count};
    out.append(reinterpret_cast<const char*>(header), sizeof header);
    out.append(reinterpret_cast<const char*>(weights.data()), qsizetype(weights.size() * sizeof(float)));
    return writeFile(mixtureWeights, out);
}

Result<void> SpeakerAdaptation::prepareModel()
{
    const QString model = m_folder + QLatin1Char('/') + kModelSub;
    if (!QDir().mkpath(model))
        return Error::io(model, QObject::tr("the folder cannot be created"));
    const QString installed = m_modelDir + QStringLiteral("/en-us/");
    if (!QFileInfo::exists(model + QStringLiteral("/mdef.txt"))) {
        if (auto done = convertModelDefinition(installed + QStringLiteral("mdef"), model + QStringLiteral("/mdef.txt")); !done)
            return done;
    }
    if (!QFileInfo::exists(model + QStringLiteral("/mixture_weights"))) {
        if (auto done = convertMixtureWeights(installed + QStringLiteral("sendump"), model + QStringLiteral("/mixture_weights")); !done)
            return done;
    }
    return {};
}

Result<QString> SpeakerAdaptation::runTool(const QString& program, const QStringList& arguments, const QString& workDir)
{
    const ToolRun run = m_tools.run(program, arguments, workDir);
    if (!run.started)
        return Error{missingToolsMessage(program)};
    if (run.exitCode != 0)
        return Error{QObject::tr("%1 failed: %2").arg(QFileInfo(program).fileName(), lastLine(run.output))};
    return run.output;
}

Result<void> SpeakerAdaptation::adapt(const std::vector<AdaptationRecording>& recordings, const Progress& progress)
{
    const auto step = [&](int percent, const QString& what) {
        if (progress)
            progress(percent, what);
    };
    step(0, QObject::tr("Preparing the model"));
    if (auto prepared = prepareModel(); !prepared)
        return prepared;

    const QString session = m_folder + QLatin1Char('/') + kSessionSub;
    QDir(session).removeRecursively();
    if (!QDir().mkpath(session))
        return Error::io(session, QObject::tr("the folder cannot be created"));
    struct Cleanup {
        QString path;
        ~Cleanup() { QDir(path).removeRecursively(); }
    } cleanup{session};

    // One raw audio file, one transcript line and the dictionary's words per usable recording.
    PronunciationDictionary dictionary(m_modelDir + QStringLiteral("/cmudict-en-us.dict"));
    QByteArray ids, transcripts, dict;
    QSet<QString> inDictionary;
    int usable = 0;
    for (const AdaptationRecording& recording : recordings) {
        const QStringList words = PhraseNormalizer::spokenWords(recording.phrase);
        QByteArray entries;
        bool sayable = !words.isEmpty() && !recording.audio.empty();
        for (const QString& word : words) {
            const QStringList pronunciations = dictionary.pronunciations(word);
            if (pronunciations.isEmpty()) {
                sayable = false;
                break;
            }
            if (!inDictionary.contains(word))
                entries += word.toUtf8() + ' ' + pronunciations.first().toUtf8() + '\n';
        }
        if (!sayable)
            continue;
        for (const QString& word : words)
            inDictionary.insert(word);
        dict += entries;
        const QByteArray id = "u" + QByteArray::number(usable++);
        const QByteArray audio(reinterpret_cast<const char*>(recording.audio.data()),
                               qsizetype(recording.audio.size() * sizeof(int16_t)));
        if (auto written = writeFile(session + QLatin1Char('/') + QString::fromLatin1(id) + QStringLiteral(".raw"), audio); !written)
            return written;
        ids += id + '\n';
        transcripts += "<s> " + words.join(QLatin1Char(' ')).toUtf8() + " </s> (" + id + ")\n";
    }
    if (usable < kMinimumAligned)
        return Error{QObject::tr("Too few recordings to adapt to: %1 of at least %2.").arg(usable).arg(kMinimumAligned)};
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("/ids"), ids}, {QStringLiteral("/transcripts"), transcripts},
                                      {QStringLiteral("/dictionary"), dict}}) {
        if (auto written = writeFile(session + name, bytes); !written)
            return written;
    }

    const QString installed = m_modelDir + QStringLiteral("/en-us/");
    const QString model = m_folder + QLatin1Char('/') + kModelSub + QLatin1Char('/');
    step(10, QObject::tr("Measuring the recordings"));
    auto features = runTool(QStringLiteral("sphinx_fe"),
        {QStringLiteral("-argfile"), installed + QStringLiteral("feat.params"), QStringLiteral("-samprate"),
         QStringLiteral("16000"), QStringLiteral("-raw"), QStringLiteral("yes"), QStringLiteral("-input_endian"),
         QStringLiteral("little"), QStringLiteral("-c"), QStringLiteral("ids"), QStringLiteral("-di"), session,
         QStringLiteral("-do"), session, QStringLiteral("-ei"), QStringLiteral("raw"), QStringLiteral("-eo"),
         QStringLiteral("mfc")},
        session);
    if (!features)
        return features.error();

    step(30, QObject::tr("Comparing your voice with the model"));
    auto statistics = runTool(kToolDir + QStringLiteral("/bw"),
        {QStringLiteral("-hmmdir"), installed, QStringLiteral("-moddeffn"), model + QStringLiteral("mdef.txt"),
         QStringLiteral("-mixwfn"), model + QStringLiteral("mixture_weights"), QStringLiteral("-ts2cbfn"),
         QStringLiteral(".ptm."), QStringLiteral("-feat"), QStringLiteral("1s_c_d_dd"), QStringLiteral("-svspec"),
         QStringLiteral("0-12/13-25/26-38"), QStringLiteral("-cmn"), QStringLiteral("batch"), QStringLiteral("-agc"),
         QStringLiteral("none"), QStringLiteral("-dictfn"), QStringLiteral("dictionary"), QStringLiteral("-fdictfn"),
         installed + QStringLiteral("noisedict"), QStringLiteral("-ctlfn"), QStringLiteral("ids"),
         QStringLiteral("-lsnfn"), QStringLiteral("transcripts"), QStringLiteral("-cepdir"), session,
         QStringLiteral("-accumdir"), session},
        session);
    if (!statistics)
        return statistics.error();
    // A recording that does not match its phrase (misread, cut off) is left out by the tool.
    const int aligned = usable - int(statistics.value().count(QStringLiteral("Failed to align")));
    if (aligned < kMinimumAligned)
        return Error{QObject::tr("Only %1 of %2 recordings matched their phrases; read each phrase as shown "
                                 "and try again.").arg(aligned).arg(usable)};

    step(80, QObject::tr("Computing the adaptation"));
    const QString computed = session + QLatin1Char('/') + kTransform;
    auto solved = runTool(kToolDir + QStringLiteral("/mllr_solve"),
        {QStringLiteral("-meanfn"), installed + QStringLiteral("means"), QStringLiteral("-varfn"),
         installed + QStringLiteral("variances"), QStringLiteral("-outmllrfn"), computed, QStringLiteral("-accumdir"),
         session},
        session);
    if (!solved)
        return solved.error();
    QFile result(computed);
    if (!result.open(QIODevice::ReadOnly))
        return Error{QObject::tr("The adaptation tool wrote no result.")};
    const QByteArray transform = result.readAll().toLower();
    if (transform.isEmpty() || transform.contains("nan") || transform.contains("inf"))
        return Error{QObject::tr("The adaptation could not be computed from these recordings.")};
    if (auto stored = writeFile(m_folder + QLatin1Char('/') + kTransform, transform); !stored)
        return stored;
    step(100, QObject::tr("Done"));
    return {};
}

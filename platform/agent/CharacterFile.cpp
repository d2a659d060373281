#include "platform/agent/CharacterFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSvgRenderer>

namespace {

constexpr int kMaxImages = 1024;
constexpr int kMaxAnimations = 512;
constexpr int kMaxFramesPerAnimation = 1024;
constexpr int kMaxLayersPerFrame = 16;
constexpr int kMaxFrameMs = 60000;
constexpr int kMaxNameLength = 64;
constexpr int kFormatVersion = 1;

const char* const kMouthNames[] = {"closed", "half", "open"};

class Parser {
public:
    explicit Parser(const QByteArray& text) : m_lines(text.split('\n')) {}

    Result<CharacterFile> run()
    {
        if (auto header = readHeader(); !header)
            return header.error();
        while (nextLine()) {
            const QStringList words = m_line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty() || words.front().startsWith(QLatin1Char('#')))
                continue;
            Result<void> step = directive(words);
            if (!step)
                return step.error();
        }
        return finish();
    }

private:
    bool nextLine()
    {
        if (m_next >= m_lines.size())
            return false;
        QByteArray raw = m_lines[m_next++];
        if (raw.endsWith('\r'))
            raw.chop(1);
        m_line = QString::fromUtf8(raw).simplified();
        m_raw = raw;
        return true;
    }

    Error error(const QString& what) const { return Error{QStringLiteral("line %1: %2").arg(m_next).arg(what)}; }

    static bool isValidName(const QString& name)
    {
        return !name.isEmpty() && name.size() <= kMaxNameLength;
    }

    Result<void> readHeader()
    {
        while (nextLine()) {
            if (m_line.isEmpty() || m_line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList words = m_line.split(QLatin1Char(' '));
            if (words.size() != 2 || words[0] != QLatin1String("vorlix-character"))
                return error(QStringLiteral("not a character file (it must start with \"vorlix-character %1\")").arg(kFormatVersion));
            if (words[1] != QString::number(kFormatVersion))
                return error(QStringLiteral("unsupported format version %1").arg(words[1]));
            return {};
        }
        return Error{QStringLiteral("the file is empty")};
    }

    Result<void> directive(const QStringList& words)
    {
        const QString& keyword = words.front();
        if (keyword == QLatin1String("name")) {
            m_file.name = m_line.mid(keyword.size()).trimmed();
            return {};
        }
        if (keyword == QLatin1String("size"))
            return readSize(words);
        if (keyword == QLatin1String("image"))
            return readImage(words);
        if (keyword == QLatin1String("animation"))
            return readAnimation(words);
        if (keyword == QLatin1String("pose")) {
            m_poseLine = m_next;
            m_poseNames = words.mid(1);
            return {};
        }
        if (keyword == QLatin1String("mouth")) {
            if (words.size() != 3)
                return error(QStringLiteral("expected \"mouth closed|half|open IMAGE\""));
            for (int shape = 0; shape < 3; ++shape) {
                if (words[1] == QLatin1String(kMouthNames[shape])) {
                    m_mouthNames[shape] = {words[2], m_next};
                    return {};
                }
            }
            return error(QStringLiteral("unknown mouth shape \"%1\" (closed, half or open)").arg(words[1]));
        }
        return error(QStringLiteral("unknown keyword \"%1\"").arg(keyword));
    }

    Result<void> readSize(const QStringList& words)
    {
        bool widthOk = false;
        bool heightOk = false;
        const int width = words.value(1).toInt(&widthOk);
        const int height = words.value(2).toInt(&heightOk);
        if (words.size() != 3 || !widthOk || !heightOk)
            return error(QStringLiteral("expected \"size WIDTH HEIGHT\""));
        if (width < 1 || height < 1 || width > CharacterFile::kMaxDesignSide || height > CharacterFile::kMaxDesignSide)
            return error(QStringLiteral("design size %1 x %2 is outside 1..%3 pixels")
                             .arg(width).arg(height).arg(CharacterFile::kMaxDesignSide));
        m_file.designSize = QSize(width, height);
        return {};
    }

    Result<void> readImage(const QStringList& words)
    {
        if (words.size() != 2 || !isValidName(words[1]))
            return error(QStringLiteral("expected \"image NAME\""));
        const QString name = words[1];
        if (m_imageIndex.contains(name))
            return error(QStringLiteral("image \"%1\" is defined twice").arg(name));
        if (int(m_file.images.size()) >= kMaxImages)
            return error(QStringLiteral("more than %1 images").arg(kMaxImages));
        const int startLine = m_next;
        QByteArray svg;
        bool closed = false;
        while (nextLine()) {
            if (m_line == QLatin1String("end")) {
                closed = true;
                break;
            }
            svg += m_raw;
            svg += '\n';
        }
        if (!closed)
            return Error{QStringLiteral("line %1: image \"%2\" has no \"end\" line").arg(startLine).arg(name)};
        QSvgRenderer renderer(svg);
        if (!renderer.isValid())
            return Error{QStringLiteral("line %1: image \"%2\" is not a valid SVG image").arg(startLine).arg(name)};
        m_imageIndex.insert(name, int(m_file.images.size()));
        m_file.images.push_back({name, svg});
        return {};
    }

    Result<void> readAnimation(const QStringList& words)
    {
        if (words.size() != 2 || !isValidName(words[1]))
            return error(QStringLiteral("expected \"animation NAME\""));
        const QString name = words[1];
        if (m_animationIndex.contains(name.toLower()))
            return error(QStringLiteral("animation \"%1\" is defined twice").arg(name));
        if (int(m_file.animations.size()) >= kMaxAnimations)
            return error(QStringLiteral("more than %1 animations").arg(kMaxAnimations));
        const int startLine = m_next;
        CharacterAnimation animation{name, {}};
        while (nextLine()) {
            const QStringList parts = m_line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (parts.isEmpty() || parts.front().startsWith(QLatin1Char('#')))
                continue;
            if (m_line == QLatin1String("end")) {
                if (animation.frames.empty())
                    return Error{QStringLiteral("line %1: animation \"%2\" has no frames").arg(startLine).arg(name)};
                m_animationIndex.insert(name.toLower(), int(m_file.animations.size()));
                m_file.animations.push_back(std::move(animation));
                return {};
            }
            if (parts.front() != QLatin1String("frame") || parts.size() < 3)
                return error(QStringLiteral("expected \"frame MILLISECONDS IMAGE...\" or \"end\""));
            if (int(animation.frames.size()) >= kMaxFramesPerAnimation)
                return error(QStringLiteral("animation \"%1\" has more than %2 frames").arg(name).arg(kMaxFramesPerAnimation));
            bool ok = false;
            CharacterFrame frame;
            frame.durationMs = parts[1].toInt(&ok);
            if (!ok || frame.durationMs < 1 || frame.durationMs > kMaxFrameMs)
                return error(QStringLiteral("frame duration \"%1\" is not 1..%2 ms").arg(parts[1]).arg(kMaxFrameMs));
            auto layers = resolveLayers(parts.mid(2));
            if (!layers)
                return layers.error();
            frame.layers = std::move(layers.value());
            animation.frames.push_back(std::move(frame));
        }
        return Error{QStringLiteral("line %1: animation \"%2\" has no \"end\" line").arg(startLine).arg(name)};
    }

    // Images must be defined before the frames that use them.
    Result<std::vector<int>> resolveLayers(const QStringList& names) const
    {
        if (names.size() > kMaxLayersPerFrame)
            return error(QStringLiteral("more than %1 layers in one frame").arg(kMaxLayersPerFrame));
        std::vector<int> layers;
        for (const QString& name : names) {
            const auto found = m_imageIndex.constFind(name);
            if (found == m_imageIndex.constEnd())
                return error(QStringLiteral("unknown image \"%1\"").arg(name));
            layers.push_back(*found);
        }
        return layers;
    }

    Result<CharacterFile> finish()
    {
        if (m_file.designSize.isEmpty())
            return Error{QStringLiteral("the design size (\"size WIDTH HEIGHT\") is missing")};
        if (m_file.animations.empty())
            return Error{QStringLiteral("the character has no animations")};
        if (m_poseNames.isEmpty())
            return Error{QStringLiteral("the resting frame (\"pose IMAGE...\") is missing")};
        m_next = m_poseLine;
        auto pose = resolveLayers(m_poseNames);
        if (!pose)
            return pose.error();
        m_file.pose = std::move(pose.value());
        for (int shape = 0; shape < 3; ++shape) {
            if (!m_mouthNames[shape])
                continue;
            m_next = m_mouthNames[shape]->second;
            auto layer = resolveLayers({m_mouthNames[shape]->first});
            if (!layer)
                return layer.error();
            m_file.mouths[shape] = layer.value().front();
        }
        return std::move(m_file);
    }

    QList<QByteArray> m_lines;
    qsizetype m_next = 0;   // 1-based number of the line just read
    QString m_line;
    QByteArray m_raw;
    CharacterFile m_file;
    QHash<QString, int> m_imageIndex;
    QHash<QString, int> m_animationIndex;   // lower-case name
    QStringList m_poseNames;
    qsizetype m_poseLine = 0;
    std::array<std::optional<std::pair<QString, qsizetype>>, 3> m_mouthNames;
};

} // namespace

Result<CharacterFile> CharacterFile::parse(const QByteArray& text)
{
    return Parser(text).run();
}

Result<CharacterFile> CharacterFile::load(const QString& path)
{
    const auto fail = [&](const QString& why) {
        return Error{QStringLiteral("Cannot load the character file %1: %2").arg(path, why)};
    };
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("there is no such file"));
    if (file.size() > kMaxFileBytes)
        return fail(QStringLiteral("the file is larger than %1 MB").arg(kMaxFileBytes / (1024 * 1024)));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    Result<CharacterFile> parsed = parse(file.read(kMaxFileBytes + 1));
    if (!parsed)
        return fail(parsed.error().message);
    return parsed;
}

QStringList CharacterFile::animationNames() const
{
    QStringList names;
    for (const CharacterAnimation& animation : animations)
        names << animation.name;
    return names;
}

const CharacterAnimation* CharacterFile::findAnimation(const QString& name) const
{
    for (const CharacterAnimation& animation : animations) {
        if (animation.name.compare(name, Qt::CaseInsensitive) == 0)
            return &animation;
    }
    return nullptr;
}

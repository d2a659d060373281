#pragma once
// A character read from its *.acs file: the design size, the images (SVG, one layer
// each, all drawn on the character's full canvas), the animations as frame sequences
// and the optional mouth images used while speaking. Parsing validates everything a
// renderer relies on, so a loaded character never refers to a missing image.
// The format is described in data/characters/README.md.

#include "platform/common/Result.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

struct CharacterFrame {
    int durationMs = 0;
    std::vector<int> layers;   // indexes into CharacterFile::images, drawn in this order
};

struct CharacterAnimation {
    QString name;
    std::vector<CharacterFrame> frames;
};

struct CharacterImage {
    QString name;
    QByteArray svg;
};

enum class MouthShape { Closed = 0, Half = 1, Open = 2 };

struct CharacterFile {
    static constexpr qsizetype kMaxFileBytes = 8 * 1024 * 1024;
    static constexpr int kMaxDesignSide = 1024;   // pixels

    QString name;
    QSize designSize;
    std::vector<CharacterImage> images;
    std::vector<CharacterAnimation> animations;   // in the file's order
    std::vector<int> pose;                        // layers of the resting frame
    std::array<std::optional<int>, 3> mouths;     // image index per MouthShape

    // Reads and validates a file; the error names the file and, where it applies, the line.
    static Result<CharacterFile> load(const QString& path);
    static Result<CharacterFile> parse(const QByteArray& text);

    QStringList animationNames() const;
    // Animation names compare ignoring letter case; nullptr when there is none.
    const CharacterAnimation* findAnimation(const QString& name) const;
    bool hasMouth() const { return mouths[0] || mouths[1] || mouths[2]; }
};

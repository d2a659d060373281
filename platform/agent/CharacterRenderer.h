#pragma once
// Draws a character's frames (stacks of SVG layers) at any displayed size, so the
// character stays sharp from half to twice its design size. Rendered frames are
// cached, since animations repeat the same few frames. Any thread, one at a time.

#include "platform/agent/CharacterFile.h"

#include <QCache>
#include <QImage>

#include <memory>
#include <vector>

class QSvgRenderer;

class CharacterRenderer {
public:
    explicit CharacterRenderer(const CharacterFile& file);
    ~CharacterRenderer();

    QImage frame(const std::vector<int>& layers, QSize size);
    QImage renderUncached(const std::vector<int>& layers, QSize size) const;

private:
    std::vector<std::unique_ptr<QSvgRenderer>> m_images;
    QCache<QString, QImage> m_cache;
};

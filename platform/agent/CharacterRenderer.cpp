#include "platform/agent/CharacterRenderer.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

constexpr int kCacheKilobytes = 48 * 1024;

} // namespace

CharacterRenderer::CharacterRenderer(const CharacterFile& file)
    : m_cache(kCacheKilobytes)
{
    for (const CharacterImage& image : file.images)
        m_images.push_back(std::make_unique<QSvgRenderer>(image.svg));
}

CharacterRenderer::~CharacterRenderer() = default;

QImage CharacterRenderer::renderUncached(const std::vector<int>& layers, QSize size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const int layer : layers) {
        if (layer >= 0 && layer < int(m_images.size()))
            m_images[size_t(layer)]->render(&painter, QRectF(QPointF(0, 0), size));
    }
    return image;
}

QImage CharacterRenderer::frame(const std::vector<int>& layers, QSize size)
{
    if (size.isEmpty())
        return {};
    QString key = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    for (const int layer : layers)
        key += QLatin1Char(':') + QString::number(layer);
    if (const QImage* cached = m_cache.object(key))
        return *cached;
    QImage image = renderUncached(layers, size);
    m_cache.insert(key, new QImage(image), int(std::max<qsizetype>(1, image.sizeInBytes() / 1024)));
    return image;
}

#include "platform/desktop/QtScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr int kFallbackWidth = 1024;
constexpr int kFallbackHeight = 768;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackTwipsPerPixel = 15.0;   // 96 DPI

QScreen* primaryScreen()
{
    return qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
}

double twipsPerPixel(double dotsPerInch)
{
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : kFallbackTwipsPerPixel;
}

} // namespace

int QtScreenMetrics::widthPixels() const
{
    const QScreen* screen = primaryScreen();
    return screen && screen->size().width() > 0 ? screen->size().width() : kFallbackWidth;
}

int QtScreenMetrics::heightPixels() const
{
    const QScreen* screen = primaryScreen();
    return screen && screen->size().height() > 0 ? screen->size().height() : kFallbackHeight;
}

double QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen* screen = primaryScreen();
    return screen ? twipsPerPixel(screen->logicalDotsPerInchX()) : kFallbackTwipsPerPixel;
}

double QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen* screen = primaryScreen();
    return screen ? twipsPerPixel(screen->logicalDotsPerInchY()) : kFallbackTwipsPerPixel;
}

#pragma once
// Primary screen size and twips per pixel from Qt, read at each call so a change of
// screens is seen. Without a screen: 1024 x 768 pixels at 96 DPI. UI thread only.

#include "platform/desktop/ScreenMetrics.h"

class QtScreenMetrics : public ScreenMetrics {
public:
    int widthPixels() const override;
    int heightPixels() const override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
};

#pragma once
// Size of the primary screen and the twips-per-pixel factors the stored positions use.

class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual int widthPixels() const = 0;
    virtual int heightPixels() const = 0;
    virtual double twipsPerPixelX() const = 0;   // 1440 / logical DPI (15 at 96 DPI)
    virtual double twipsPerPixelY() const = 0;
};

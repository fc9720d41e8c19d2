#pragma once
// Controls that only draw: a text, a window's title bar, a picture.

#include "toolkit/Image.h"
#include "toolkit/UiWin.h"

class UiStatic : public UiWin {
public:
    UiStatic();
    void PaintWin(HDC dc, const RECT& rect) override;
};

// The title bar at the top of a window, in the theme's caption colours.
class UiCaption : public UiStatic {
public:
    UiCaption();
    void PaintWin(HDC dc, const RECT& rect) override;
};

// One image, at its own size in the middle of the control, or stretched over it.
class UiPicture : public UiStatic {
public:
    void SetImage(ToolkitImage* image, bool stretch = false);
    void PaintWin(HDC dc, const RECT& rect) override;

private:
    ToolkitImage* m_image = nullptr;
    bool m_stretch = false;
};
